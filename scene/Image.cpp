#include "scene/Image.h"

#include "scene/Screen.h"

Image::Image(Screen* owner, HWND window, std::int32_t id) : Figure(owner, window), resourceId(id) {
    SetX(0);
    SetY(0);
    HDC windowDC = GetDC(window);
    bitmap = LoadBitmapW(owner->instance, MAKEINTRESOURCEW(resourceId & 0xFFFF));
    imageDC = CreateCompatibleDC(windowDC);
    previousBitmap = SelectObject(imageDC, bitmap);
    GetObjectW(bitmap, sizeof bitmapInfo, &bitmapInfo);
    SetWidth(bitmapInfo.bmWidth);
    SetHeight(bitmapInfo.bmHeight);
    ReleaseDC(window, windowDC);
    SetVisible(true);
}

Image::~Image() {
    SelectObject(imageDC, previousBitmap);
    DeleteDC(imageDC);
    DeleteObject(bitmap);
}

LPCWSTR Image::GetTypeName() const { return TEXT("Image"); }

HDC Image::GetSurface() { return imageDC; }
