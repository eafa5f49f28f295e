#include "scene/Figure.h"

#include "scene/Screen.h"

Figure::Figure(Screen* figureOwner, HWND figureWindow) : owner(figureOwner), window(figureWindow) {
    SetZOrder(10);
}

Figure::~Figure() { listeners.Clear(); }

void Figure::Tick(DWORD) {}

LPCWSTR Figure::GetTypeName() const { return TEXT("Figure"); }

std::int32_t Figure::GetZOrder() const { return zOrder; }

std::int32_t Figure::GetX() const { return x; }
std::int32_t Figure::GetY() const { return y; }
std::int32_t Figure::GetWidth() const { return width; }
std::int32_t Figure::GetHeight() const { return height; }

void Figure::SetGeometry(std::int32_t& field, std::int32_t value) {
    // Both areas are reported even when nothing moves: the old one must be repainted
    // whatever now covers it, the new one because the figure is drawn there.
    owner->MarkDirty(GetBounds());
    field = value;
    Invalidate();
}

void Figure::SetX(std::int32_t value) { SetGeometry(x, value); }
void Figure::SetY(std::int32_t value) { SetGeometry(y, value); }
void Figure::SetWidth(std::int32_t value) { SetGeometry(width, value); }
void Figure::SetHeight(std::int32_t value) { SetGeometry(height, value); }

void Figure::SetZOrder(std::int32_t value) {
    zOrder = value;
    owner->ResortFigure(this);
    Invalidate();
}

void Figure::SetVisible(bool value) {
    if (value == visible) return;
    visible = value;
    // A hidden figure never receives stylus events, and showing it does not enable it.
    if (!value) enabled = false;
    Invalidate();
}

void Figure::SetEnabled(bool value) { enabled = value; }

void Figure::AddListener(FigureListener* listener) { listeners.AddOnce(listener); }

bool Figure::RemoveListener(FigureListener* listener) { return listeners.Remove(listener); }

POINT Figure::GetMiddle() const { return {GetX() + GetWidth() / 2, GetY() + GetHeight() / 2}; }

RECT Figure::GetBounds() const {
    const std::int32_t left = GetX();
    const std::int32_t top = GetY();
    return {left, top, left + GetWidth(), top + GetHeight()};
}

void Figure::Invalidate() { owner->MarkDirty(GetBounds()); }

void Figure::OnPointerDown(std::int32_t px, std::int32_t py) {
    listeners.ForEachInSnapshot(
        [&](FigureListener* listener) { listener->OnFigureDown(this, px, py); });
}

void Figure::OnPointerUp(std::int32_t px, std::int32_t py) {
    listeners.ForEachInSnapshot(
        [&](FigureListener* listener) { listener->OnFigureUp(this, px, py); });
}

HDC Figure::CreateSurface(std::int32_t w, std::int32_t h, HBITMAP& bitmap) {
    HDC windowDC = GetDC(window);
    HDC dc = CreateCompatibleDC(windowDC);
    bitmap = CreateCompatibleBitmap(windowDC, w, h);
    SelectObject(dc, bitmap);
    ReleaseDC(window, windowDC);
    return dc;
}

void Figure::ClearSurface(HDC dc) {
    HPEN pen = CreatePen(PS_NULL, 1, RGB(0, 0, 0));
    HBRUSH brush = CreateSolidBrush(TransparentKey);
    HGDIOBJ previousPen = SelectObject(dc, pen);
    HGDIOBJ previousBrush = SelectObject(dc, brush);
    Rectangle(dc, 0, 0, GetWidth(), GetHeight());
    SelectObject(dc, previousBrush);
    SelectObject(dc, previousPen);
    DeleteObject(pen);
    DeleteObject(brush);
}
