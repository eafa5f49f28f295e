// Figures, listeners and picture helpers shared by the scene and drill tests.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/testing/testing.h"
#include "platform/win32.h"
#include "scene/Figure.h"
#include "scene/Screen.h"
#include "tests/support/Pixels.h"

namespace testsupport {

// A figure whose surface is a block of one colour; single pixels can be painted on it,
// for example in the key colour to punch holes.
class SolidFigure : public Figure {
public:
    SolidFigure(Screen* owner, HWND window, int w, int h, COLORREF colour);
    ~SolidFigure() override;

    LPCWSTR GetTypeName() const override { return typeName; }
    HDC GetSurface() override { return surfaceCalls++, dc_; }
    void PaintPixel(int px, int py, COLORREF colour);

    // Tests set "Button" to have the screen treat the figure as one.
    LPCWSTR typeName = TEXT("Figure");
    int surfaceCalls = 0;

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
};

// A figure without a surface, like a hotspot.
class BareFigure : public Figure {
public:
    BareFigure(Screen* owner, HWND window, int w, int h);
    HDC GetSurface() override { return nullptr; }
};

// Writes every event it hears to a shared log as "<name> down <x>,<y>" or "<name> up …",
// then runs `onEvent` if set (to remove itself, say).
class LoggingListener : public FigureListener {
public:
    LoggingListener(std::string listenerName, std::vector<std::string>& sharedLog)
        : name(std::move(listenerName)), log(sharedLog) {}

    void OnFigureDown(Figure* figure, std::int32_t x, std::int32_t y) override;
    void OnFigureUp(Figure* figure, std::int32_t x, std::int32_t y) override;

    std::string name;
    std::vector<std::string>& log;
    std::function<void(Figure*)> onEvent;
    Figure* lastFigure = nullptr;
};

// A 240 × 320 headless window with a screen that loads from the program's resources, a
// sound recorder and the clock under the test's control.
class ScreenFixture : public ::testing::Test {
protected:
    ScreenFixture();
    ~ScreenFixture() override;

    // Places a figure, shows it if asked and adds it to the screen, which owns it.
    template <typename T>
    T* Place(T* figure, int x, int y, std::int32_t z = 10) {
        figure->SetX(x);
        figure->SetY(y);
        if (z != figure->GetZOrder()) figure->SetZOrder(z);
        screen->AddFigure(figure);
        return figure;
    }

    platform::testing::HeadlessWindow window;
    HINSTANCE instance;
    std::unique_ptr<Screen> screen;
    platform::testing::SoundRecorder sounds;
};

}  // namespace testsupport
