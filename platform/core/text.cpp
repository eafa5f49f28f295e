// Fonts, extents and bi-level text on the text backend's glyphs.
#include <algorithm>
#include <climits>

#include "platform/core/fonts.h"
#include "platform/core/utf16.h"

namespace platform {

bool IsSystemFace(const LOGFONTW& font) {
    return font.lfFaceName[0] == 0 && (font.lfPitchAndFamily & 0xF0) == FF_SWISS &&
           font.lfWeight >= 600 && font.lfItalic == 0 && font.lfUnderline == 0 &&
           font.lfStrikeOut == 0 && font.lfHeight <= kMaxFontHeight &&
           font.lfHeight >= -kMaxFontHeight;
}

namespace {

Font* MakeFont(const LOGFONTW& description) {
    TextBackend* backend = CurrentTextBackend();
    if (backend == nullptr || !IsSystemFace(description)) return nullptr;
    std::unique_ptr<TextFont> face = backend->OpenFont(description);
    return face != nullptr ? new Font(description, std::move(face)) : nullptr;
}

Font* SelectedFont(const Context& context) {
    // SelectObject only ever puts fonts in this slot.
    return static_cast<Font*>(context.font);
}

// Total advance of the text.
long long MeasureText(Font* font, LPCWSTR text, int count) {
    long long total = 0;
    for (int position = 0; position < count;) {
        total += font->face->GlyphFor(NextCodePoint(text, count, position)).advance;
    }
    return total;
}

// Where drawing may write: the rectangle given, cut to the surface.
struct Clip {
    long long left, top, right, bottom;
};

void DrawGlyph(Bitmap& surface, const Glyph& glyph, long long x, long long y, const Clip& clip,
               std::uint32_t ink) {
    const long long firstColumn = std::max(0LL, clip.left - x);
    const long long endColumn = std::min<long long>(glyph.width, clip.right - x);
    const long long firstRow = std::max(0LL, clip.top - y);
    const long long endRow = std::min<long long>(glyph.rows, clip.bottom - y);
    for (long long row = firstRow; row < endRow; ++row) {
        std::uint32_t* out = surface.Row(static_cast<int>(y + row));
        for (long long column = firstColumn; column < endColumn; ++column) {
            if (glyph.Ink(static_cast<int>(column), static_cast<int>(row))) out[x + column] = ink;
        }
    }
}

}  // namespace

GdiObject* StockFont() {
    static GdiObject* font = [] {
        LOGFONTW description{};
        description.lfHeight = 16;
        description.lfWeight = FW_BOLD;
        description.lfPitchAndFamily = FF_SWISS;
        Font* made = MakeFont(description);
        if (made == nullptr) return static_cast<GdiObject*>(nullptr);
        made->stock = true;
        RegisterObject(made);
        return static_cast<GdiObject*>(made);
    }();
    return font;
}

}  // namespace platform

using namespace platform;

HFONT CreateFontIndirectW(const LOGFONTW* font) {
    if (font == nullptr) return nullptr;
    Font* made = MakeFont(*font);
    if (made == nullptr) return nullptr;
    RegisterObject(made);
    return reinterpret_cast<HFONT>(static_cast<GdiObject*>(made));
}

BOOL GetTextExtentExPointW(HDC dc, LPCWSTR text, int count, int, INT* fit, INT* extents,
                           SIZE* size) {
    Context* context = LookupContext(dc);
    // Fitting text into a width is not supported: the program measures whole lines.
    if (context == nullptr || text == nullptr || count < 0 || fit != nullptr ||
        extents != nullptr) {
        return FALSE;
    }
    Font* font = SelectedFont(*context);
    if (size != nullptr) {
        size->cx =
            font != nullptr
                ? static_cast<LONG>(std::min<long long>(MeasureText(font, text, count), INT_MAX))
                : 0;
        size->cy = font != nullptr ? font->CellHeight() : 0;
    }
    return TRUE;
}

int DrawTextW(HDC dc, LPCWSTR text, int count, RECT* rect, UINT format) {
    constexpr UINT kSupported = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
    Context* context = LookupContext(dc);
    if (context == nullptr || text == nullptr || rect == nullptr) return 0;
    if ((format & DT_SINGLELINE) == 0 || (format & ~kSupported) != 0) return 0;
    if (count == -1) count = lstrlenW(text);
    if (count < 0) return 0;
    Font* font = SelectedFont(*context);
    if (font == nullptr) return 0;

    const long long width = MeasureText(font, text, count);
    const long long height = font->CellHeight();
    long long x = rect->left;
    long long y = rect->top;
    if ((format & DT_CENTER) != 0) {
        x += (static_cast<long long>(rect->right) - rect->left - width) / 2;
    }
    if ((format & DT_VCENTER) != 0) {
        y += (static_cast<long long>(rect->bottom) - rect->top - height) / 2;
    }

    Bitmap& surface = *context->Surface();
    const Clip clip{std::max<long long>(rect->left, 0), std::max<long long>(rect->top, 0),
                    std::min<long long>(rect->right, surface.width),
                    std::min<long long>(rect->bottom, surface.height)};
    if (clip.left >= clip.right || clip.top >= clip.bottom) return static_cast<int>(height);

    // The background mode is always opaque: the line's cell box takes the background colour.
    FillPixels(surface, std::max(x, clip.left), std::max(y, clip.top),
               std::min(x + width, clip.right), std::min(y + height, clip.bottom),
               PixelFromColour(context->backgroundColour));
    const std::uint32_t ink = PixelFromColour(context->textColour);
    const long long baseline = y + font->face->ascent;
    long long pen = x;
    int position = 0;
    while (position < count) {
        const Glyph& glyph = font->face->GlyphFor(NextCodePoint(text, count, position));
        DrawGlyph(surface, glyph, pen + glyph.left, baseline - glyph.top, clip, ink);
        pen += glyph.advance;
    }
    return static_cast<int>(height);
}
