#include "tests/support/TestFigures.h"

#include <functional>

namespace testsupport {

SolidFigure::SolidFigure(Screen* owner, HWND figureWindow, int w, int h, COLORREF colour)
    : Figure(owner, figureWindow) {
    HDC windowDC = GetDC(figureWindow);
    dc_ = CreateCompatibleDC(windowDC);
    bitmap_ = CreateCompatibleBitmap(windowDC, w, h);
    previous_ = SelectObject(dc_, bitmap_);
    ReleaseDC(figureWindow, windowDC);
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ previousBrush = SelectObject(dc_, brush);
    HGDIOBJ previousPen = SelectObject(dc_, GetStockObject(NULL_PEN));
    Rectangle(dc_, 0, 0, w, h);
    SelectObject(dc_, previousPen);
    SelectObject(dc_, previousBrush);
    DeleteObject(brush);
    SetWidth(w);
    SetHeight(h);
}

SolidFigure::~SolidFigure() {
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
}

void SolidFigure::PaintPixel(int px, int py, COLORREF colour) {
    platform::testing::SetPixelAt(dc_, px, py, colour);
}

BareFigure::BareFigure(Screen* owner, HWND figureWindow, int w, int h)
    : Figure(owner, figureWindow) {
    SetWidth(w);
    SetHeight(h);
}

void LoggingListener::OnFigureDown(Figure* figure, std::int32_t x, std::int32_t y) {
    lastFigure = figure;
    log.push_back(name + " down " + std::to_string(x) + "," + std::to_string(y));
    if (onEvent) onEvent(figure);
}

void LoggingListener::OnFigureUp(Figure* figure, std::int32_t x, std::int32_t y) {
    lastFigure = figure;
    log.push_back(name + " up " + std::to_string(x) + "," + std::to_string(y));
    if (onEvent) onEvent(figure);
}

ScreenFixture::ScreenFixture()
    : instance(GetModuleHandleW(nullptr)), screen(std::make_unique<Screen>(window, instance)) {
    platform::testing::SetTickCount(1000);
}

ScreenFixture::~ScreenFixture() {
    screen->DeleteAllFigures();
    screen.reset();
    platform::testing::UseRealTickCount();
}

}  // namespace testsupport
