// The objects behind GDI handles. Internal to the platform: a handle is a pointer to one of
// these, checked against the set of live objects before use, so that a stale or foreign
// handle fails the call the way Win32 does instead of touching freed memory.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/portable/display_arithmetic.h"  // MatchesKey, the colour key's match
#include "platform/win32.h"

namespace platform {

enum class GdiKind : std::uint8_t { Bitmap, Pen, Brush, Font, Context };

struct GdiObject {
    explicit GdiObject(GdiKind objectKind) : kind(objectKind) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    GdiKind kind;
    bool stock = false;  // never deleted; DeleteObject on it succeeds without effect
    int selections = 0;  // number of contexts that hold it selected
};

// Pixels are 0x00RRGGBB, rows top to bottom without padding: the display's format.
struct Bitmap : GdiObject {
    Bitmap(int w, int h)
        : GdiObject(GdiKind::Bitmap),
          width(w),
          height(h),
          pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0u) {}

    std::uint32_t* Row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width; }
    const std::uint32_t* Row(int y) const {
        return pixels.data() + static_cast<std::size_t>(y) * width;
    }

    int width;
    int height;
    std::vector<std::uint32_t> pixels;
};

struct Pen : GdiObject {
    Pen(int penStyle, int penWidth, COLORREF penColour)
        : GdiObject(GdiKind::Pen), style(penStyle), width(penWidth), colour(penColour) {}
    int style;
    int width;
    COLORREF colour;
};

struct Brush : GdiObject {
    Brush(bool isHollow, COLORREF brushColour)
        : GdiObject(GdiKind::Brush), hollow(isHollow), colour(brushColour) {}
    bool hollow;
    COLORREF colour;
};

struct Window;

// A drawing context: a memory context draws on its selected bitmap, a window's display
// context on the window's client pixels.
struct Context : GdiObject {
    Context() : GdiObject(GdiKind::Context) {}

    Bitmap* Surface() const;

    Window* window = nullptr;  // set for a window's display context only
    Bitmap* bitmap = nullptr;  // the selected bitmap of a memory context
    Pen* pen = nullptr;
    Brush* brush = nullptr;
    GdiObject* font = nullptr;
    COLORREF backgroundColour = RGB(255, 255, 255);
    COLORREF textColour = RGB(0, 0, 0);
};

// The stock system font, which every new context holds; made by the text code.
GdiObject* StockFont();

// Keeps `object` among the live objects; handles to it are accepted from now on.
void RegisterObject(GdiObject* object);
// Removes and frees a live object.
void DestroyObject(GdiObject* object);
// The live object behind `handle`, or null when the handle is not a live object of `kind`.
GdiObject* LookupObject(const void* handle);
Bitmap* LookupBitmap(const void* handle);
Context* LookupContext(HDC handle);
int LiveObjectCount();

// Win32 colours are 0x00BBGGRR; pixels are 0x00RRGGBB.
inline std::uint32_t PixelFromColour(COLORREF colour) {
    return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
}

inline COLORREF ColourFromPixel(std::uint32_t pixel) {
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

// Fills the part of [left, right) × [top, bottom) that lies on the bitmap.
void FillPixels(Bitmap& bitmap, long long left, long long top, long long right, long long bottom,
                std::uint32_t pixel);

}  // namespace platform
