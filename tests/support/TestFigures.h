// Figures, a listener and the screen fixture shared by the scene and drill tests.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "scene/Screen.h"
#include "tests/support/Pixels.h"

namespace testsupport {

// A shown figure whose surface is a block of one colour; single pixels can be painted on it,
// in the key colour to punch holes, say, and `onSurface` runs when it is drawn.
class SolidFigure : public Figure {
public:
    SolidFigure(Screen* owner, HWND window, int w, int h, COLORREF colour);
    HDC GetSurface() override {
        if (onSurface) onSurface();
        return canvas.dc;
    }
    void PaintPixel(int x, int y, COLORREF colour) {
        platform::testing::SetPixelAt(canvas.dc, x, y, colour);
    }

    Canvas canvas;
    std::function<void()> onSurface;  // run whenever the surface is asked for
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
    void OnFigureDown(Figure* figure, int x, int y) override { Write(figure, " down ", x, y); }
    void OnFigureUp(Figure* figure, int x, int y) override { Write(figure, " up ", x, y); }

    std::string name;
    std::vector<std::string>& log;
    std::function<void(Figure*)> onEvent;

private:
    void Write(Figure* figure, const char* event, int x, int y);
};

// A 240 × 320 headless window with a screen that loads from the program's resources, a sound
// recorder and the clock at 1000 ms. The screen deletes its figures at the end, and no
// drawing object made after SetUp may outlive the test.
class ScreenFixture : public LeakCheckedTest {
protected:
    ScreenFixture() { platform::testing::SetTickCount(1000); }
    ~ScreenFixture() override { platform::testing::UseRealTickCount(); }
    void TearDown() override {
        screen->DeleteAllFigures();
        LeakCheckedTest::TearDown();
    }

    // Places a figure and adds it to the screen, which owns it.
    template <typename T>
    T* Place(T* figure, int x, int y, std::int32_t z = 10) {
        figure->SetX(x);
        figure->SetY(y);
        if (z != figure->GetZOrder()) figure->SetZOrder(z);
        screen->AddFigure(figure);
        return figure;
    }

    platform::testing::HeadlessWindow& window = window_;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    std::unique_ptr<Screen> screen = std::make_unique<Screen>(window, instance);
    platform::testing::SoundRecorder sounds;
};

}  // namespace testsupport
