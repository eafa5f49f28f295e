// A figure shared by the scene tests and the paint benchmark.
#pragma once

#include <functional>

#include "scene/Screen.h"
#include "tests/support/Pixels.h"

namespace testsupport {

// A figure whose surface is a block of one colour; single pixels can be painted on it,
// in the key colour to punch holes, say, and `onSurface` runs when it is drawn.
class SolidFigure : public Figure {
public:
    SolidFigure(Screen* owner, HWND figureWindow, int w, int h, COLORREF colour)
        : Figure(owner, figureWindow), canvas(figureWindow, w, h, colour) {
        SetWidth(w);
        SetHeight(h);
    }
    HDC GetSurface() override {
        if (onSurface) onSurface();
        return canvas.dc;
    }
    void PaintPixel(int x, int y, COLORREF c) { platform::testing::SetPixelAt(canvas.dc, x, y, c); }

    Canvas canvas;
    std::function<void()> onSurface;
};

}  // namespace testsupport
