#include "app/Application.h"

#include <cstdlib>

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
        SwitchTo(gameScreen);
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
