#include "scene/Button.h"

Button::Button(Screen* owner, HWND window, std::int32_t id) : Image(owner, window, id) {
    pressed = 0;
    halfWidth = width / 2;
    faceDC = CreateSurface(halfWidth, height, faceBitmap);
    SetVisible(true);
}

Button::~Button() {
    DeleteDC(faceDC);
    DeleteObject(faceBitmap);
}

LPCWSTR Button::GetTypeName() const { return TEXT("Button"); }

std::int32_t Button::GetWidth() const { return halfWidth; }

HDC Button::GetSurface() {
    const std::int32_t column = pressed == 1 ? GetWidth() : 0;
    BitBlt(faceDC, 0, 0, GetWidth(), GetHeight(), imageDC, column, 0, SRCCOPY);
    return faceDC;
}

void Button::OnPointerDown(std::int32_t px, std::int32_t py) {
    pressed = 1;
    Invalidate();
    Figure::OnPointerDown(px, py);
}

void Button::OnPointerUp(std::int32_t px, std::int32_t py) {
    // The screen hands every release to every button; only a pressed one answers.
    if (pressed != 1) return;
    pressed = 0;
    Invalidate();
    Figure::OnPointerUp(px, py);
}
