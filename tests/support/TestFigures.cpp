#include "tests/support/TestFigures.h"

namespace testsupport {

SolidFigure::SolidFigure(Screen* owner, HWND figureWindow, int w, int h, COLORREF colour)
    : Figure(owner, figureWindow), canvas(figureWindow, w, h, colour) {
    SetWidth(w);
    SetHeight(h);
    SetVisible(true);
}

BareFigure::BareFigure(Screen* owner, HWND figureWindow, int w, int h)
    : Figure(owner, figureWindow) {
    SetWidth(w);
    SetHeight(h);
}

void LoggingListener::Write(Figure* figure, const char* event, int x, int y) {
    log.push_back(name + event + std::to_string(x) + "," + std::to_string(y));
    if (onEvent) onEvent(figure);
}

}  // namespace testsupport
