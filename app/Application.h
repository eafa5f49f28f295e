// The top-level controller: builds the three screens once, keeps which one is current, and
// moves between them when their navigation figures are tapped.
#pragma once

#include <cstdint>

#include "drill/GameScreen.h"
#include "drill/SettingsScreen.h"
#include "drill/SplashScreen.h"
#include "scene/ScreenListener.h"

class Application final : public ScreenListener {
public:
    Application(HWND window, HINSTANCE instance);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    void SwitchTo(Screen* screen);
    void OnFigureDown(Screen* screen, Figure* figure, std::int32_t x, std::int32_t y) override;
    void OnFigureUp(Screen* screen, Figure* figure, std::int32_t x, std::int32_t y) override;

    HWND window;
    HINSTANCE instance;
    GameScreen* gameScreen = nullptr;
    SettingsScreen* settingsScreen = nullptr;
    SplashScreen* splashScreen = nullptr;
    Screen* current = nullptr;
    const void* tapSound = nullptr;
    // When the shown screen last changed: a press that follows within kSettleTime belongs to
    // a double tap on the screen that went, not to the one that came.
    DWORD switchTime = 0;
    static constexpr DWORD kSettleTime = 250;
};
