// The top-level controller: builds the screens once (the title first), keeps which one is
// current, moves between them when their navigation figures are tapped, and keeps which child
// is playing.
#pragma once

#include <cstdint>

#include "drill/ChildrenScreen.h"
#include "drill/GameScreen.h"
#include "drill/SettingsScreen.h"
#include "drill/SplashScreen.h"
#include "scene/ScreenListener.h"

class Application final : public ScreenListener, public ChildrenListener {
public:
    Application(HWND window, HINSTANCE instance);
    ~Application();
    // Builds the drill and the settings and starts the tune, once (at kFinishStart).
    void FinishStart();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    void SwitchTo(Screen* screen);
    void OnFigureDown(Screen* screen, Figure* figure, std::int32_t x, std::int32_t y) override;
    void OnFigureUp(Screen* screen, Figure* figure, std::int32_t x, std::int32_t y) override;
    void OnChildrenAction(Action action, std::int32_t value) override;

    // A key as the window hears it; auto-repeats never come here.
    void OnKeyDown(UINT key);
    void OnKeyUp(UINT key);
    // A tap hides the keyboard's focus until a key is used again.
    void OnTap();

    // Reads the household again; false (knowing what it knew) when the store cannot be read.
    bool ReadChildren();
    void ShowChildren(ChildrenScreen::Page page, std::int32_t child);
    // Makes the child's progress the one the drill and the settings show.
    void PlayAs(std::int32_t child);
    // The playing child's picture on the drill and the settings, while there are several.
    void ShowPlayingChild();

    HWND window;
    HINSTANCE instance;
    GameScreen* gameScreen = nullptr;
    SettingsScreen* settingsScreen = nullptr;
    SplashScreen* splashScreen = nullptr;
    ChildrenScreen* childrenScreen = nullptr;
    // As last read; empty until the title is tapped, which is a household of one.
    Household household;
    std::int32_t playing = 1;
    Screen* current = nullptr;
    const void* tapSound = nullptr;
    // When the shown screen last changed: a press that follows within kSettleTime belongs to
    // a double tap on the screen that went, not to the one that came.
    DWORD switchTime = 0;
    static constexpr DWORD kSettleTime = 250;
    // Posted to the window as the title is built; handled after its first paint.
    static constexpr UINT kFinishStart = WM_APP + 1;
    // Whether the keyboard was used since the last tap: the focus is shown on every screen.
    bool keyboardUsed = false;
    // The key that pressed the stylus down, and where: its release lifts it there.
    UINT keyHeld = 0;
    POINT keyPoint = {0, 0};

private:
    // Presses the stylus at (x, y) of the current screen until `key` is released.
    void PressByKey(UINT key, POINT at);
};
