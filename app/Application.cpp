#include "app/Application.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "resources/ResourceIds.h"
#include "scene/Image.h"
#include "scene/WaveResource.h"

namespace {

bool IsButton(Figure* figure, std::int32_t resourceId) {
    return lstrcmpW(figure->GetTypeName(), TEXT("Button")) == 0 &&
           static_cast<Image*>(figure)->resourceId == resourceId;
}

}  // namespace

Application::Application(HWND applicationWindow, HINSTANCE applicationInstance)
    : window(applicationWindow), instance(applicationInstance) {
    // Seeded before any screen is built, so the first problem follows from the start time.
    SYSTEMTIME now{};
    GetLocalTime(&now);
    std::srand(((static_cast<unsigned>(now.wDay) * 24 + now.wHour) * 60 + now.wMinute) * 60 +
               now.wSecond);

    gameScreen = new GameScreen(window, instance);
    gameScreen->screenListeners.InsertAt(this, gameScreen->screenListeners.count);
    settingsScreen = new SettingsScreen(window, instance);
    settingsScreen->screenListeners.InsertAt(this, settingsScreen->screenListeners.count);
    splashScreen = new SplashScreen(window, instance);
    splashScreen->screenListeners.InsertAt(this, splashScreen->screenListeners.count);

    current = splashScreen;
    current->active = true;
    switchTime = GetTickCount();
    tapSound = LoadWaveResource(IDW_NAVIGATE);
    PlayWave(LoadWaveResource(IDW_WELCOME), true);
}

Application::~Application() {
    delete gameScreen;
    delete settingsScreen;
    delete splashScreen;
    delete childrenScreen;
}

void Application::SwitchTo(Screen* screen) {
    current->active = false;
    current = screen;
    current->active = true;
    switchTime = GetTickCount();
    // The new screen is painted in full at the paint request this makes.
    InvalidateRect(window, nullptr, FALSE);
}

void Application::OnFigureDown(Screen* screen, Figure* figure, std::int32_t, std::int32_t) {
    if (screen == splashScreen) {
        PlayWave(tapSound, true);
        ReadChildren();
        if (household.children.size() > 1) {
            ShowChildren(ChildrenScreen::Page::WhoIsPlaying, household.lastChild);
        } else {
            SwitchTo(gameScreen);
        }
    } else if (figure == gameScreen->childSpot) {
        PlayWave(tapSound, true);
        ReadChildren();
        ShowChildren(ChildrenScreen::Page::WhoIsPlaying, household.lastChild);
    } else if (figure == settingsScreen->childrenSpot || figure == settingsScreen->childPicture) {
        PlayWave(tapSound, true);
        ReadChildren();
        ShowChildren(ChildrenScreen::Page::Children, playing);
    } else if (IsButton(figure, IDB_SETTINGS_BUTTON) || IsButton(figure, IDB_OK_BUTTON)) {
        PlayWave(tapSound, true);
    }
}

void Application::OnFigureUp(Screen*, Figure* figure, std::int32_t, std::int32_t) {
    if (IsButton(figure, IDB_SETTINGS_BUTTON)) {
        SwitchTo(settingsScreen);
    } else if (IsButton(figure, IDB_OK_BUTTON)) {
        SwitchTo(gameScreen);
    }
}

bool Application::ReadChildren() {
    std::optional<Household> read = ReadHousehold();
    if (!read) return false;
    household = *read;
    // A child removed meanwhile (or never listed) plays no more.
    if (!household.Has(playing)) PlayAs(1);
    ShowPlayingChild();
    return true;
}

void Application::ShowChildren(ChildrenScreen::Page page, std::int32_t child) {
    // Built when first wanted: a household of one never waits for it at start.
    if (childrenScreen == nullptr) {
        childrenScreen = new ChildrenScreen(window, instance);
        childrenScreen->listener = this;
    }
    childrenScreen->Show(page, household, child);
    SwitchTo(childrenScreen);
}

void Application::PlayAs(std::int32_t child) {
    Progress* record = SelectChildProgress(child);
    if (record == nullptr) return;
    playing = child;
    gameScreen->progress = record;
    settingsScreen->progress = record;
    // The child's own problem at their own level, without a fanfare for reaching it.
    gameScreen->shownLevel = record->level;
    record->levelChanged = true;
    record->scoreChanged = true;
    ShowPlayingChild();
}

void Application::ShowPlayingChild() {
    const std::int32_t picture = household.children.size() > 1 ? household.PictureOf(playing) : 0;
    gameScreen->ShowChild(picture);
    settingsScreen->ShowChild(picture);
}

void Application::OnChildrenAction(Action action, std::int32_t value) {
    using Page = ChildrenScreen::Page;
    switch (action) {
        case Action::Choose:
            PlayWave(tapSound, true);
            PlayAs(value);
            household.lastChild = value;
            StoreLastChild(value);
            SwitchTo(gameScreen);
            break;
        case Action::Add:
            PlayWave(tapSound, true);
            ShowChildren(Page::NewChild, playing);
            break;
        case Action::Pick: {
            PlayWave(tapSound, true);
            const std::int32_t added = StoreNewChild(household, value);
            if (added != 0 && !ReadChildren()) {
                household.children.push_back({added, value});
                household.nextChild = added + 1;
                household.firstPictureStored = true;
                ShowPlayingChild();
            }
            ShowChildren(Page::Children, playing);
            break;
        }
        case Action::RemoveHeld:
            PlayWave(tapSound, true);
            ShowChildren(Page::Remove, value);
            break;
        case Action::Remove:
            PlayWave(tapSound, true);
            if (StoreRemoval(household, value)) {
                auto& children = household.children;
                children.erase(std::remove_if(children.begin(), children.end(),
                                              [value](const StoredChild& child) {
                                                  return child.number == value;
                                              }),
                               children.end());
                if (playing == value) PlayAs(1);
                ForgetChildProgress(value);
                ReadChildren();
                ShowPlayingChild();
            }
            ShowChildren(Page::Children, playing);
            break;
        case Action::Back:
            PlayWave(tapSound, true);
            if (childrenScreen->page == Page::Children) {
                SwitchTo(settingsScreen);
            } else {
                ShowChildren(Page::Children, playing);
            }
            break;
    }
}
