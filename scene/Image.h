// A figure showing one bitmap resource unchanged.
#pragma once

#include <cstdint>

#include "scene/Figure.h"

class Image : public Figure {
public:
    Image(Screen* owner, HWND window, std::int32_t resourceId);
    ~Image() override;
    LPCWSTR GetTypeName() const override;
    HDC GetSurface() override;

    HDC imageDC = nullptr;
    std::int32_t resourceId;
    BITMAP bitmapInfo = {};
    HGDIOBJ previousBitmap = nullptr;
    HBITMAP bitmap = nullptr;
};
