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

    // The first picture needs only the title. The rest is built, and the tune started, from
    // a message handled once the title has been shown; any tap or key comes after it.
    splashScreen = new SplashScreen(window, instance);
    splashScreen->screenListeners.InsertAt(this, splashScreen->screenListeners.count);

    current = splashScreen;
    current->active = true;
    switchTime = GetTickCount();
    PostMessageW(window, kFinishStart, 0, 0);
}

void Application::FinishStart() {
    if (gameScreen != nullptr) return;
    // The drill draws the first problem from the generator seeded above: the title takes
    // nothing from it, so the problem is the one it always was.
    gameScreen = new GameScreen(window, instance);
    gameScreen->screenListeners.InsertAt(this, gameScreen->screenListeners.count);
    settingsScreen = new SettingsScreen(window, instance);
    settingsScreen->screenListeners.InsertAt(this, settingsScreen->screenListeners.count);
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
    current->ShowFocus(keyboardUsed);
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

namespace {

bool IsModifier(UINT key) {
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_LWIN ||
           key == VK_RWIN || key == VK_CAPITAL;
}

// The card in `slot` (0 at the left) while it can still be tapped.
Answer* CardInSlot(GameScreen& game, std::int32_t slot) {
    std::vector<Answer*> cards;
    for (auto* node = game.answers.head; node != nullptr; node = node->next) {
        cards.push_back(node->value);
    }
    std::sort(cards.begin(), cards.end(),
              [](const Answer* a, const Answer* b) { return a->GetX() < b->GetX(); });
    if (slot >= static_cast<std::int32_t>(cards.size())) return nullptr;
    Answer* card = cards[static_cast<std::size_t>(slot)];
    return card->visible && card->enabled ? card : nullptr;
}

}  // namespace

void Application::PressByKey(UINT key, POINT at) {
    keyHeld = key;
    keyPoint = at;
    current->PointerDown(at.x, at.y);
}

void Application::OnKeyDown(UINT key) {
    if (IsModifier(key) || keyHeld != 0) return;
    // Any key starts, as a tap on the title does.
    if (current == splashScreen) {
        PressByKey(key, {current->width / 2, current->height / 2});
        return;
    }
    std::int32_t slot = -1;
    if (key >= '1' && key <= '4') slot = static_cast<std::int32_t>(key - '1');
    if (key >= VK_NUMPAD1 && key <= VK_NUMPAD4) slot = static_cast<std::int32_t>(key - VK_NUMPAD1);
    if (slot >= 0) {
        if (current != gameScreen) return;
        if (Answer* card = CardInSlot(*gameScreen, slot)) PressByKey(key, card->GetMiddle());
        return;
    }
    const bool shown = keyboardUsed && current->focusShown;
    keyboardUsed = true;
    switch (key) {
        case VK_TAB: current->MoveFocus(GetKeyState(VK_SHIFT) < 0 ? -1 : 1); break;
        case VK_LEFT: current->MoveFocusToward(-1, 0); break;
        case VK_RIGHT: current->MoveFocusToward(1, 0); break;
        case VK_UP: current->MoveFocusToward(0, -1); break;
        case VK_DOWN: current->MoveFocusToward(0, 1); break;
        case VK_RETURN:
        case VK_SPACE: {
            // The first key shows where the focus is; from then on it presses it.
            current->ShowFocus(true);
            Figure* focused = current->FocusedFigure();
            if (shown && focused != nullptr) PressByKey(key, focused->GetMiddle());
            break;
        }
        case VK_ESCAPE:
            current->ShowFocus(true);
            if (current == settingsScreen) {
                for (auto* node = current->figures.head; node != nullptr; node = node->next) {
                    if (IsButton(node->value, IDB_OK_BUTTON)) {
                        PressByKey(key, node->value->GetMiddle());
                        break;
                    }
                }
            }
            break;
        default: current->ShowFocus(true); break;
    }
}

void Application::OnKeyUp(UINT key) {
    if (key != keyHeld) return;
    keyHeld = 0;
    current->PointerUp(keyPoint.x, keyPoint.y);
}

void Application::OnTap() {
    keyboardUsed = false;
    current->ShowFocus(false);
}
