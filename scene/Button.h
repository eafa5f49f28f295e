// An image holding two faces side by side, resting on the left and pressed on the right;
// it shows the pressed face from stylus down until the stylus is lifted anywhere.
#pragma once

#include <cstdint>

#include "scene/Image.h"

class Button : public Image {
public:
    Button(Screen* owner, HWND window, std::int32_t resourceId);
    ~Button() override;
    LPCWSTR GetTypeName() const override;
    HDC GetSurface() override;
    void OnPointerDown(std::int32_t x, std::int32_t y) override;
    void OnPointerUp(std::int32_t x, std::int32_t y) override;
    std::int32_t GetWidth() const override;

    std::uint8_t pressed = 0;
    HDC faceDC = nullptr;
    HBITMAP faceBitmap = nullptr;
    std::int32_t halfWidth = 0;
};
