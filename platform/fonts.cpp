// Fonts on fontconfig and FreeType: face choice, Win32 cell metrics, and bi-level glyphs
// (anti-aliased edges would turn into coloured fringes once text is colour-keyed).
#include "platform/fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace platform {

// A glyph as drawn: 1 bit per pixel, most significant bit first, rows of `stride` bytes.
struct Glyph {
    bool Ink(int column, int row) const {
        return (bits[static_cast<std::size_t>(row) * stride + (column >> 3)] &
                (0x80u >> (column & 7))) != 0;
    }

    int advance = 0;
    int left = 0;  // from the pen position to the bitmap's left edge
    int top = 0;   // from the baseline up to the bitmap's top edge
    int width = 0;
    int rows = 0;
    int stride = 0;
    std::vector<std::uint8_t> bits;
};

struct FontFace {
    ~FontFace() { FT_Done_Face(face); }

    FT_Face face = nullptr;
    // Vertical design extent in font units: usWinAscent and usWinDescent, which Win32 uses
    // for the cell, or the best substitute when the font has no OS/2 table.
    long unitsPerEm = 0;
    long ascender = 0;
    long descender = 0;
    int activePpem = 0;  // the size last set on `face`
    // Rendered glyphs by ppem << 32 | code point: one lookup per character once warm.
    std::unordered_map<std::uint64_t, Glyph> glyphs;
    std::size_t glyphBytes = 0;
};

namespace {

// Beyond this the glyph cache starts afresh; the program's texts need a few kilobytes.
constexpr std::size_t kGlyphCacheBytes = 1u << 20;

constexpr char32_t kReplacement = 0xFFFD;

long long RoundedRatio(long long value, long long numerator, long long denominator) {
    return (2 * value * numerator + denominator) / (2 * denominator);
}

// The process's one FreeType library and fontconfig set-up, with the faces opened so far.
// Never destroyed: stock fonts refer to its faces until the very end of the process.
class FontLibrary {
public:
    static FontLibrary& Instance() {
        static FontLibrary* library = new FontLibrary();
        return *library;
    }

    // The face fontconfig picks for the request; null when none can be opened. Each answer
    // is kept, so only the first request for a family and style touches the disk.
    FontFace* Match(const std::string& family, bool bold, bool italic) {
        const auto key = std::make_tuple(family, bold, italic);
        auto known = matches_.find(key);
        if (known != matches_.end()) return known->second;
        FontFace* face = ready_ ? FindFace(family, bold, italic) : nullptr;
        matches_.emplace(key, face);
        return face;
    }

    // The glyph for `codePoint` at `ppem`, rendered on first use. The reference is good
    // until the next call.
    const Glyph& GlyphFor(FontFace& face, int ppem, char32_t codePoint) {
        const std::uint64_t key = (static_cast<std::uint64_t>(ppem) << 32) | codePoint;
        auto known = face.glyphs.find(key);
        if (known != face.glyphs.end()) return known->second;
        if (face.glyphBytes > kGlyphCacheBytes) {
            face.glyphs.clear();
            face.glyphBytes = 0;
        }
        Glyph glyph = Render(face, ppem, codePoint);
        face.glyphBytes += sizeof(Glyph) + glyph.bits.size();
        return face.glyphs.emplace(key, std::move(glyph)).first->second;
    }

private:
    FontLibrary() {
        const bool configured = FcInit() == FcTrue;
        // Hand fontconfig's configuration back at exit: some of it is otherwise reported as
        // leaked by the leak checker.
        if (configured) std::atexit([] { FcFini(); });
        ready_ = configured && FT_Init_FreeType(&library_) == 0;
    }

    FontFace* FindFace(const std::string& family, bool bold, bool italic) {
        FcPattern* pattern = FcPatternCreate();
        if (pattern == nullptr) return nullptr;
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        // Prefer outlines: the cell metrics need a scalable face.
        FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        FcPatternDestroy(pattern);
        if (match == nullptr) return nullptr;

        FontFace* face = nullptr;
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
            face = OpenFace(reinterpret_cast<const char*>(file), index);
        }
        FcPatternDestroy(match);
        return face;
    }

    FontFace* OpenFace(const std::string& file, int index) {
        const auto key = std::make_pair(file, index);
        auto known = faces_.find(key);
        if (known != faces_.end()) return known->second.get();

        FT_Face ftFace = nullptr;
        if (FT_New_Face(library_, file.c_str(), index, &ftFace) != 0) {
            faces_.emplace(key, nullptr);
            return nullptr;
        }
        auto face = std::make_unique<FontFace>();
        face->face = ftFace;
        // Cell metrics need outlines in font units; a bitmap-only face has neither.
        if (!FT_IS_SCALABLE(ftFace) || ftFace->units_per_EM == 0) face.reset();
        if (face != nullptr) SetDesignExtent(*face);
        FontFace* result = face.get();
        faces_.emplace(key, std::move(face));
        return result;
    }

    static void SetDesignExtent(FontFace& face) {
        const FT_Face ftFace = face.face;
        face.unitsPerEm = ftFace->units_per_EM;
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ftFace, FT_SFNT_OS2));
        if (os2 != nullptr && os2->version != 0xFFFFu && os2->usWinAscent + os2->usWinDescent > 0) {
            face.ascender = os2->usWinAscent;
            face.descender = os2->usWinDescent;
        } else if (ftFace->ascender - ftFace->descender > 0) {
            face.ascender = std::max<long>(ftFace->ascender, 0);
            face.descender = std::max<long>(-ftFace->descender, 0);
        } else {
            face.ascender = std::max<long>(ftFace->bbox.yMax, 0);
            face.descender = std::max<long>(-ftFace->bbox.yMin, 0);
        }
        if (face.ascender + face.descender == 0) face.ascender = face.unitsPerEm;
    }

    static Glyph Render(FontFace& face, int ppem, char32_t codePoint) {
        Glyph glyph;
        FT_Face ftFace = face.face;
        if (face.activePpem != ppem) {
            if (FT_Set_Pixel_Sizes(ftFace, 0, static_cast<FT_UInt>(ppem)) != 0) return glyph;
            face.activePpem = ppem;
        }
        // A missing character shows as the font's own missing-glyph box, as on Win32.
        const FT_UInt index = FT_Get_Char_Index(ftFace, codePoint);
        if (FT_Load_Glyph(ftFace, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) != 0) {
            return glyph;
        }
        FT_GlyphSlot slot = ftFace->glyph;
        glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return glyph;

        const FT_Bitmap& bitmap = slot->bitmap;
        if (bitmap.buffer == nullptr || bitmap.width == 0 || bitmap.rows == 0) return glyph;
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        glyph.width = static_cast<int>(bitmap.width);
        glyph.rows = static_cast<int>(bitmap.rows);
        glyph.stride = (glyph.width + 7) / 8;
        glyph.bits.assign(static_cast<std::size_t>(glyph.stride) * glyph.rows, 0);
        // A negative pitch stores the rows bottom up; `pitch` always steps one row down.
        const std::uint8_t* top = bitmap.buffer;
        if (bitmap.pitch < 0) top -= static_cast<std::ptrdiff_t>(bitmap.pitch) * (glyph.rows - 1);
        for (int row = 0; row < glyph.rows; ++row) {
            const std::uint8_t* in = top + static_cast<std::ptrdiff_t>(bitmap.pitch) * row;
            std::uint8_t* out = glyph.bits.data() + static_cast<std::size_t>(row) * glyph.stride;
            for (int column = 0; column < glyph.width; ++column) {
                // Mono is what was asked for; a face that only yields grey is cut at half.
                const bool ink = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                     ? (in[column >> 3] & (0x80u >> (column & 7))) != 0
                                 : bitmap.pixel_mode == FT_PIXEL_MODE_GRAY ? in[column] >= 128
                                                                           : false;
                if (ink) out[column >> 3] |= static_cast<std::uint8_t>(0x80u >> (column & 7));
            }
        }
        return glyph;
    }

    bool ready_ = false;
    FT_Library library_ = nullptr;
    std::map<std::tuple<std::string, bool, bool>, FontFace*> matches_;
    std::map<std::pair<std::string, int>, std::unique_ptr<FontFace>> faces_;
};

std::string FamilyOf(const LOGFONTW& font) {
    WCHAR name[LF_FACESIZE + 1] = {};
    // The name need not be terminated inside its 32 characters.
    std::copy(font.lfFaceName, font.lfFaceName + LF_FACESIZE, name);
    if (name[0] != 0) return Utf8FromWide(name);
    switch (font.lfPitchAndFamily & 0xF0) {
        case FF_ROMAN: return "serif";
        case FF_MODERN: return "monospace";
        default: return "sans-serif";  // FF_SWISS, FF_DONTCARE and the families we never use
    }
}

Font* MakeFont(const LOGFONTW& description) {
    const long long height = description.lfHeight == 0 ? 16 : description.lfHeight;
    if (height > kMaxFontHeight || height < -kMaxFontHeight) return nullptr;
    FontFace* face = FontLibrary::Instance().Match(
        FamilyOf(description), description.lfWeight >= 600, description.lfItalic != 0);
    if (face == nullptr) return nullptr;

    const long long em = face->unitsPerEm;
    const long long up = face->ascender;
    const long long down = face->descender;
    long long ppem = 0;
    long long ascent = 0;
    long long descent = 0;
    if (height > 0) {
        // The cell height is what was asked for; the em follows from the face's proportions.
        ppem = RoundedRatio(height, em, up + down);
        ascent = RoundedRatio(height, up, up + down);
        descent = height - ascent;
    } else {
        ppem = -height;
        ascent = RoundedRatio(ppem, up, em);
        descent = RoundedRatio(ppem, down, em);
    }
    return new Font(description, face, static_cast<int>(std::max(ppem, 1LL)),
                    static_cast<int>(ascent), static_cast<int>(descent));
}

// The next character of text[position, count) as a code point; `position` moves past it.
// A surrogate pair is one code point, an unpaired surrogate the replacement character.
char32_t NextCodePoint(LPCWSTR text, int count, int& position) {
    const char32_t unit = text[position++];
    if (unit < 0xD800 || unit > 0xDFFF) return unit;
    if (unit <= 0xDBFF && position < count) {
        const char32_t low = text[position];
        if (low >= 0xDC00 && low <= 0xDFFF) {
            ++position;
            return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return kReplacement;
}

const Font* SelectedFont(const Context& context) {
    // SelectObject only ever puts fonts in this slot.
    return static_cast<const Font*>(context.font);
}

int Advance(const Font& font, char32_t codePoint) {
    return FontLibrary::Instance().GlyphFor(*font.face, font.ppem, codePoint).advance;
}

// Total advance of the text; with `extents`, the running total after each UTF-16 unit
// (both units of a pair get the total after the pair).
long long MeasureText(const Font* font, LPCWSTR text, int count, INT* extents) {
    long long total = 0;
    int position = 0;
    while (position < count) {
        const int first = position;
        const char32_t codePoint = NextCodePoint(text, count, position);
        if (font != nullptr) total += Advance(*font, codePoint);
        if (extents != nullptr) {
            const INT extent = static_cast<INT>(std::min<long long>(total, INT_MAX));
            std::fill(extents + first, extents + position, extent);
        }
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

BOOL GetTextExtentExPointW(HDC dc, LPCWSTR text, int count, int maxExtent, INT* fit, INT* extents,
                           SIZE* size) {
    Context* context = LookupContext(dc);
    if (context == nullptr || text == nullptr || count < 0) return FALSE;
    const Font* font = SelectedFont(*context);
    // Fitting needs the running totals even when the caller does not want them.
    std::vector<INT> scratch;
    INT* running = extents;
    if (fit != nullptr && running == nullptr) {
        scratch.resize(static_cast<std::size_t>(count));
        running = scratch.data();
    }
    const long long total = MeasureText(font, text, count, running);
    if (fit != nullptr) {
        int fitting = 0;
        while (fitting < count && running[fitting] <= maxExtent) ++fitting;
        *fit = fitting;
    }
    if (size != nullptr) {
        size->cx = static_cast<LONG>(std::min<long long>(total, INT_MAX));
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
    const Font* font = SelectedFont(*context);
    if (font == nullptr) return 0;

    const long long width = MeasureText(font, text, count, nullptr);
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

    const Clip box{std::max(x, clip.left), std::max(y, clip.top), std::min(x + width, clip.right),
                   std::min(y + height, clip.bottom)};
    if (context->backgroundMode == OPAQUE && box.left < box.right && box.top < box.bottom) {
        FillPixels(surface, box.left, box.top, box.right, box.bottom,
                   PixelFromColour(context->backgroundColour));
    }
    const std::uint32_t ink = PixelFromColour(context->textColour);
    const long long baseline = y + font->ascent;
    long long pen = x;
    int position = 0;
    while (position < count) {
        const char32_t codePoint = NextCodePoint(text, count, position);
        const Glyph& glyph = FontLibrary::Instance().GlyphFor(*font->face, font->ppem, codePoint);
        DrawGlyph(surface, glyph, pen + glyph.left, baseline - glyph.top, clip, ink);
        pen += glyph.advance;
    }
    return static_cast<int>(height);
}
