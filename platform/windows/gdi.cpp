// GDI as the handheld drew: rectangles filled to their edge with the null pen, bi-level text,
// and copies that leave out the artwork's key colour on its 5-6-5 bits. The counterpart of the
// core's gdi.cpp.
#define CHALKMERE_WIN32_ADAPTER
#include "platform/windows/adapter.h"

#include <cstddef>
#include <optional>

#include "platform/portable/display_arithmetic.h"
#include "platform/windows/gdi_guards.h"

namespace win32adapter {

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    LOGPEN pen = {};
    if (GetObjectW(GetCurrentObject(dc, OBJ_PEN), sizeof pen, &pen) == sizeof pen &&
        pen.lopnStyle == PS_NULL) {
        ++right;
        ++bottom;
    }
    return ::Rectangle(dc, left, top, right, bottom);
}

HFONT CreateFontIndirectW(const LOGFONTW* font) {
    LOGFONTW adapted = *font;
    adapted.lfQuality = NONANTIALIASED_QUALITY;
    adapted.lfOutPrecision = OUT_TT_PRECIS;
    return ::CreateFontIndirectW(&adapted);
}

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    if (instance == nullptr) return ::LoadBitmapW(instance, name);  // the system's own
    return static_cast<HBITMAP>(
        LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace win32adapter

BOOL TransparentImage(HDC dest, LONG destX, LONG destY, LONG destWidth, LONG destHeight,
                      HANDLE source, LONG sourceX, LONG sourceY, LONG sourceWidth,
                      LONG sourceHeight, COLORREF transparentColor) {
    using namespace win32adapter;
    if (destWidth != sourceWidth || destHeight != sourceHeight || sourceWidth <= 0 ||
        sourceHeight <= 0) {
        return FALSE;
    }
    const DWORD kind = GetObjectType(source);
    HDC sourceDC = nullptr;
    MemoryDc madeDC;
    std::optional<Selection> sourceSelected;
    if (kind == OBJ_DC || kind == OBJ_MEMDC) {
        sourceDC = static_cast<HDC>(source);
    } else if (kind == OBJ_BITMAP) {
        madeDC.reset(CreateCompatibleDC(dest));
        sourceDC = madeDC.get();
        sourceSelected.emplace(sourceDC, source);
    } else {
        return FALSE;
    }

    // TransparentBlt leaves out only exact matches: the block is copied into a 32-bit
    // surface where every pixel that matches the key on the 5-6-5 bits becomes the key.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = sourceWidth;
    info.bmiHeader.biHeight = -sourceHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const GdiObject<HBITMAP> keyed(
        CreateDIBSection(dest, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const MemoryDc keyedDC(CreateCompatibleDC(dest));
    if (keyed == nullptr || keyedDC == nullptr) return FALSE;
    const Selection keyedSelected(keyedDC.get(), keyed.get());
    BitBlt(keyedDC.get(), 0, 0, sourceWidth, sourceHeight, sourceDC, sourceX, sourceY, SRCCOPY);
    GdiFlush();
    // DIB pixels are 0x00RRGGBB; a COLORREF is 0x00BBGGRR.
    const DWORD key = (GetRValue(transparentColor) << 16) | (GetGValue(transparentColor) << 8) |
                      GetBValue(transparentColor);
    auto* pixels = static_cast<DWORD*>(bits);
    const std::size_t count = static_cast<std::size_t>(sourceWidth) * sourceHeight;
    for (std::size_t i = 0; i < count; ++i) {
        if (platform::MatchesKey(pixels[i], key)) pixels[i] = key;
    }
    return TransparentBlt(dest, destX, destY, destWidth, destHeight, keyedDC.get(), 0, 0,
                          sourceWidth, sourceHeight, transparentColor & 0xFFFFFFu);
}
