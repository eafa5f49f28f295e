// Drawing contexts, bitmaps, pens, brushes and block copies on in-memory pixel buffers.
// All pixel work goes through FillPixels and CopyPixels; the exports only look up their
// handles, clip and delegate.
#include <algorithm>
#include <cstring>
#include <unordered_set>
#include <utility>

#include "platform/core/gdi_objects.h"
#include "platform/core/window.h"

namespace platform {
namespace {

// Larger requests are refused rather than allocated: no surface of the program comes near.
constexpr int kMaxBitmapSide = 16384;

std::unordered_set<GdiObject*>& LiveObjects() {
    static std::unordered_set<GdiObject*> objects;
    return objects;
}

template <typename T>
T* MakeStock(T* object) {
    object->stock = true;
    RegisterObject(object);
    return object;
}

// The 1 × 1 bitmap that a new memory context holds until another is selected.
Bitmap* DefaultBitmap() {
    static Bitmap* bitmap = MakeStock(new Bitmap(1, 1));
    return bitmap;
}

GdiObject* StockObject(int index) {
    static Brush* whiteBrush = MakeStock(new Brush(false, RGB(255, 255, 255)));
    static Brush* blackBrush = MakeStock(new Brush(false, RGB(0, 0, 0)));
    static Brush* nullBrush = MakeStock(new Brush(true, RGB(0, 0, 0)));
    static Pen* whitePen = MakeStock(new Pen(PS_SOLID, 1, RGB(255, 255, 255)));
    static Pen* blackPen = MakeStock(new Pen(PS_SOLID, 1, RGB(0, 0, 0)));
    static Pen* nullPen = MakeStock(new Pen(PS_NULL, 1, RGB(0, 0, 0)));
    switch (index) {
        case WHITE_BRUSH: return whiteBrush;
        case BLACK_BRUSH: return blackBrush;
        case NULL_BRUSH: return nullBrush;
        case WHITE_PEN: return whitePen;
        case BLACK_PEN: return blackPen;
        case NULL_PEN: return nullPen;
        case SYSTEM_FONT: return StockFont();
        default: return nullptr;
    }
}

void Hold(GdiObject* object) { ++object->selections; }
void Drop(GdiObject* object) {
    if (object != nullptr) --object->selections;
}

// A block copy after clipping: every coordinate lies inside both surfaces.
struct Block {
    int destX, destY, sourceX, sourceY, width, height;
};

// Clips a width × height copy from (sourceX, sourceY) to (destX, destY) against both
// surfaces. Works in 64 bits so that extreme coordinates cannot overflow.
bool ClipBlock(long long destX, long long destY, long long width, long long height,
               long long sourceX, long long sourceY, const Bitmap& dest, const Bitmap& source,
               Block& block) {
    if (width <= 0 || height <= 0) return false;
    const long long skipX = std::max({0LL, -destX, -sourceX});
    const long long skipY = std::max({0LL, -destY, -sourceY});
    destX += skipX;
    sourceX += skipX;
    width -= skipX;
    destY += skipY;
    sourceY += skipY;
    height -= skipY;
    width = std::min({width, dest.width - destX, source.width - sourceX});
    height = std::min({height, dest.height - destY, source.height - sourceY});
    if (width <= 0 || height <= 0) return false;
    block = {static_cast<int>(destX),   static_cast<int>(destY), static_cast<int>(sourceX),
             static_cast<int>(sourceY), static_cast<int>(width), static_cast<int>(height)};
    return true;
}

bool Overlaps(const Bitmap& dest, const Bitmap& source, const Block& b) {
    return &dest == &source && b.destX < b.sourceX + b.width && b.sourceX < b.destX + b.width &&
           b.destY < b.sourceY + b.height && b.sourceY < b.destY + b.height;
}

// Copies a clipped block; with `keyed`, source pixels equal to `key` on the 5-6-5 bits are
// left out.
void CopyPixels(Bitmap& dest, const Bitmap& source, const Block& b, bool keyed, std::uint32_t key) {
    // A copy within one bitmap whose areas overlap reads from a snapshot of the source.
    Bitmap snapshot(0, 0);
    const Bitmap* from = &source;
    int fromX = b.sourceX;
    int fromY = b.sourceY;
    if (Overlaps(dest, source, b)) {
        snapshot.width = b.width;
        snapshot.height = b.height;
        snapshot.pixels.resize(static_cast<std::size_t>(b.width) * b.height);
        for (int row = 0; row < b.height; ++row) {
            std::memcpy(snapshot.Row(row), source.Row(b.sourceY + row) + b.sourceX,
                        static_cast<std::size_t>(b.width) * sizeof(std::uint32_t));
        }
        from = &snapshot;
        fromX = 0;
        fromY = 0;
    }
    for (int row = 0; row < b.height; ++row) {
        const std::uint32_t* in = from->Row(fromY + row) + fromX;
        std::uint32_t* out = dest.Row(b.destY + row) + b.destX;
        if (!keyed) {
            std::memcpy(out, in, static_cast<std::size_t>(b.width) * sizeof(std::uint32_t));
            continue;
        }
        for (int column = 0; column < b.width; ++column) {
            const std::uint32_t pixel = in[column];
            out[column] = MatchesKey(pixel, key) ? out[column] : pixel;
        }
    }
}

// The band of pixels that a pen of `width` covers around the line at `coordinate`.
struct Band {
    long long first, end;
};
Band PenBand(long long coordinate, int width) {
    const long long first = coordinate - width / 2;
    return {first, first + width};
}

}  // namespace

Bitmap* Context::Surface() const { return window != nullptr ? &window->client : bitmap; }

void RegisterObject(GdiObject* object) { LiveObjects().insert(object); }

void DestroyObject(GdiObject* object) {
    LiveObjects().erase(object);
    delete object;
}

GdiObject* LookupObject(const void* handle) {
    auto& objects = LiveObjects();
    auto found = objects.find(static_cast<GdiObject*>(const_cast<void*>(handle)));
    return found == objects.end() ? nullptr : *found;
}

Bitmap* LookupBitmap(const void* handle) {
    GdiObject* object = LookupObject(handle);
    return object != nullptr && object->kind == GdiKind::Bitmap ? static_cast<Bitmap*>(object)
                                                                : nullptr;
}

Context* LookupContext(HDC handle) {
    GdiObject* object = LookupObject(handle);
    return object != nullptr && object->kind == GdiKind::Context ? static_cast<Context*>(object)
                                                                 : nullptr;
}

int LiveObjectCount() {
    int count = 0;
    for (GdiObject* object : LiveObjects()) {
        if (!object->stock) ++count;
    }
    return count;
}

void FillPixels(Bitmap& bitmap, long long left, long long top, long long right, long long bottom,
                std::uint32_t pixel) {
    left = std::max(left, 0LL);
    top = std::max(top, 0LL);
    right = std::min(right, static_cast<long long>(bitmap.width));
    bottom = std::min(bottom, static_cast<long long>(bitmap.height));
    if (left >= right) return;
    for (long long y = top; y < bottom; ++y) {
        std::uint32_t* row = bitmap.Row(static_cast<int>(y));
        std::fill(row + left, row + right, pixel);
    }
}

namespace {

Context* NewContext(Window* window, Bitmap* bitmap) {
    auto* context = new Context();
    context->window = window;
    context->bitmap = bitmap;
    context->pen = static_cast<Pen*>(StockObject(BLACK_PEN));
    context->brush = static_cast<Brush*>(StockObject(WHITE_BRUSH));
    context->font = StockFont();
    if (bitmap != nullptr) Hold(bitmap);
    Hold(context->pen);
    Hold(context->brush);
    if (context->font != nullptr) Hold(context->font);
    RegisterObject(context);
    return context;
}

void FreeContext(Context* context) {
    Drop(context->bitmap);
    Drop(context->pen);
    Drop(context->brush);
    Drop(context->font);
    DestroyObject(context);
}

}  // namespace
}  // namespace platform

using namespace platform;

HDC GetDC(HWND window) {
    Window* target = LookupWindow(window);
    if (target == nullptr) return nullptr;
    return reinterpret_cast<HDC>(NewContext(target, nullptr));
}

int ReleaseDC(HWND window, HDC dc) {
    Context* context = LookupContext(dc);
    if (context == nullptr || context->window == nullptr ||
        context->window != LookupWindow(window)) {
        return 0;
    }
    MarkDrawn(*context->window);
    FreeContext(context);
    return 1;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    Window* target = LookupWindow(window);
    if (target == nullptr || rect == nullptr) return FALSE;
    *rect = {0, 0, target->client.width, target->client.height};
    return TRUE;
}

int GetDeviceCaps(HDC dc, int index) {
    if (LookupContext(dc) == nullptr) return 0;
    switch (index) {
        case HORZRES: return EmulatedDisplay().width;
        case VERTRES: return EmulatedDisplay().height;
        default: return 0;
    }
}

HDC CreateCompatibleDC(HDC dc) {
    if (dc != nullptr && LookupContext(dc) == nullptr) return nullptr;
    return reinterpret_cast<HDC>(NewContext(nullptr, DefaultBitmap()));
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (LookupContext(dc) == nullptr || width < 0 || height < 0 || width > kMaxBitmapSide ||
        height > kMaxBitmapSide) {
        return nullptr;
    }
    // As on Win32, an empty size yields the 1 × 1 default bitmap.
    if (width == 0 || height == 0) return reinterpret_cast<HBITMAP>(DefaultBitmap());
    auto* bitmap = new Bitmap(width, height);
    RegisterObject(bitmap);
    return reinterpret_cast<HBITMAP>(bitmap);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    Context* context = LookupContext(dc);
    GdiObject* selected = LookupObject(object);
    if (context == nullptr || selected == nullptr) return nullptr;

    GdiObject** slot = nullptr;
    switch (selected->kind) {
        case GdiKind::Bitmap:
            // Only memory contexts take bitmaps, and a bitmap sits in one context at a time.
            if (context->window != nullptr) return nullptr;
            if (selected->selections > 0 && selected != context->bitmap && !selected->stock) {
                return nullptr;
            }
            slot = reinterpret_cast<GdiObject**>(&context->bitmap);
            break;
        case GdiKind::Pen: slot = reinterpret_cast<GdiObject**>(&context->pen); break;
        case GdiKind::Brush: slot = reinterpret_cast<GdiObject**>(&context->brush); break;
        case GdiKind::Font: slot = &context->font; break;
        case GdiKind::Context: return nullptr;
    }
    GdiObject* previous = *slot;
    Hold(selected);
    Drop(previous);
    *slot = selected;
    return previous;
}

BOOL DeleteDC(HDC dc) {
    Context* context = LookupContext(dc);
    if (context == nullptr || context->window != nullptr) return FALSE;
    FreeContext(context);
    return TRUE;
}

BOOL DeleteObject(HGDIOBJ object) {
    GdiObject* target = LookupObject(object);
    if (target == nullptr || target->kind == GdiKind::Context) return FALSE;
    if (target->stock) return TRUE;
    // Win32 refuses to delete an object that is still selected into a context.
    if (target->selections > 0) return FALSE;
    DestroyObject(target);
    return TRUE;
}

int GetObjectW(HANDLE object, int size, LPVOID buffer) {
    Bitmap* bitmap = LookupBitmap(object);
    if (bitmap == nullptr) return 0;
    constexpr int kSize = static_cast<int>(sizeof(BITMAP));
    if (buffer == nullptr) return kSize;
    if (size < kSize) return 0;
    BITMAP description{};
    description.bmType = 0;
    description.bmWidth = bitmap->width;
    description.bmHeight = bitmap->height;
    description.bmWidthBytes = bitmap->width * 4;
    description.bmPlanes = 1;
    description.bmBitsPixel = 32;
    description.bmBits = nullptr;
    std::memcpy(buffer, &description, sizeof description);
    return kSize;
}

HGDIOBJ GetStockObject(int index) { return StockObject(index); }

HPEN CreatePen(int style, int width, COLORREF colour) {
    if (style != PS_SOLID && style != PS_NULL) return nullptr;
    auto* pen = new Pen(style, std::max(width, 1), colour);
    RegisterObject(pen);
    return reinterpret_cast<HPEN>(pen);
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    auto* brush = new Brush(false, colour);
    RegisterObject(brush);
    return reinterpret_cast<HBRUSH>(brush);
}

// The brush fills [left, right) × [top, bottom); the pen's outline is centred on the
// outermost rows and columns of that area, so a wide pen reaches outside it.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    Context* context = LookupContext(dc);
    if (context == nullptr) return FALSE;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (left == right || top == bottom) return TRUE;
    Bitmap& surface = *context->Surface();

    if (!context->brush->hollow) {
        FillPixels(surface, left, top, right, bottom, PixelFromColour(context->brush->colour));
    }
    const Pen& pen = *context->pen;
    if (pen.style == PS_NULL) return TRUE;
    const std::uint32_t ink = PixelFromColour(pen.colour);
    const Band leftBand = PenBand(left, pen.width);
    const Band rightBand = PenBand(static_cast<long long>(right) - 1, pen.width);
    const Band topBand = PenBand(top, pen.width);
    const Band bottomBand = PenBand(static_cast<long long>(bottom) - 1, pen.width);
    FillPixels(surface, leftBand.first, topBand.first, rightBand.end, topBand.end, ink);
    FillPixels(surface, leftBand.first, bottomBand.first, rightBand.end, bottomBand.end, ink);
    FillPixels(surface, leftBand.first, topBand.first, leftBand.end, bottomBand.end, ink);
    FillPixels(surface, rightBand.first, topBand.first, rightBand.end, bottomBand.end, ink);
    return TRUE;
}

COLORREF SetBkColor(HDC dc, COLORREF colour) {
    Context* context = LookupContext(dc);
    if (context == nullptr) return 0xFFFFFFFFu;  // CLR_INVALID
    return std::exchange(context->backgroundColour, colour);
}

COLORREF SetTextColor(HDC dc, COLORREF colour) {
    Context* context = LookupContext(dc);
    if (context == nullptr) return 0xFFFFFFFFu;
    return std::exchange(context->textColour, colour);
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
            DWORD rop) {
    Context* to = LookupContext(dest);
    Context* from = LookupContext(source);
    if (to == nullptr || from == nullptr || rop != SRCCOPY) return FALSE;
    Block block{};
    if (ClipBlock(x, y, width, height, sourceX, sourceY, *to->Surface(), *from->Surface(), block)) {
        CopyPixels(*to->Surface(), *from->Surface(), block, false, 0);
    }
    return TRUE;
}

BOOL TransparentImage(HDC dest, LONG destX, LONG destY, LONG destWidth, LONG destHeight,
                      HANDLE source, LONG sourceX, LONG sourceY, LONG sourceWidth,
                      LONG sourceHeight, COLORREF transparentColor) {
    Context* to = LookupContext(dest);
    if (to == nullptr) return FALSE;
    const Bitmap* from = nullptr;
    if (Context* sourceContext = LookupContext(static_cast<HDC>(source))) {
        from = sourceContext->Surface();
    } else {
        from = LookupBitmap(source);
    }
    if (from == nullptr || destWidth != sourceWidth || destHeight != sourceHeight) return FALSE;
    Block block{};
    if (ClipBlock(destX, destY, destWidth, destHeight, sourceX, sourceY, *to->Surface(), *from,
                  block)) {
        CopyPixels(*to->Surface(), *from, block, true, PixelFromColour(transparentColor));
    }
    return TRUE;
}
