// The title screen shown at start: the title artwork with the version and years lines; any
// tap on it is passed on.
#pragma once

#include <cstdint>

#include "scene/ObjectList.h"
#include "scene/Screen.h"
#include "scene/ScreenListener.h"

class SplashScreen : public Screen, public FigureListener {
public:
    SplashScreen(HWND window, HINSTANCE instance);
    ~SplashScreen() override;

    void OnFigureDown(Figure* figure, std::int32_t x, std::int32_t y) override;
    void OnFigureUp(Figure* figure, std::int32_t x, std::int32_t y) override;

    ObjectList<ScreenListener*> screenListeners;
};
