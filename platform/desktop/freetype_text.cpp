#include "platform/desktop/freetype_text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>
#include <vector>

namespace platform {

// A FreeType face opened once per file, with the glyphs rendered from it at every size.
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

long long RoundedRatio(long long value, long long numerator, long long denominator) {
    return (2 * value * numerator + denominator) / (2 * denominator);
}

void SetDesignExtent(FontFace& face) {
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

Glyph Render(FontFace& face, int ppem, char32_t codePoint) {
    Glyph glyph;
    FT_Face ftFace = face.face;
    if (face.activePpem != ppem) {
        if (FT_Set_Pixel_Sizes(ftFace, 0, static_cast<FT_UInt>(ppem)) != 0) return glyph;
        face.activePpem = ppem;
    }
    // A missing character shows as the font's own missing-glyph box, as on Win32.
    const FT_UInt index = FT_Get_Char_Index(ftFace, codePoint);
    if (FT_Load_Glyph(ftFace, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) != 0) return glyph;
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

// One face at one size. Many are made and dropped (each text figure makes its own font);
// the glyphs stay cached on the shared face.
class FreeTypeFont : public TextFont {
public:
    FreeTypeFont(FontFace& face, int ppem) : face_(face), ppem_(ppem) {}

    const Glyph& GlyphFor(char32_t codePoint) override {
        const std::uint64_t key = (static_cast<std::uint64_t>(ppem_) << 32) | codePoint;
        auto known = face_.glyphs.find(key);
        if (known != face_.glyphs.end()) return known->second;
        if (face_.glyphBytes > kGlyphCacheBytes) {
            face_.glyphs.clear();
            face_.glyphBytes = 0;
        }
        Glyph glyph = Render(face_, ppem_, codePoint);
        face_.glyphBytes += sizeof(Glyph) + glyph.bits.size();
        return face_.glyphs.emplace(key, std::move(glyph)).first->second;
    }

private:
    FontFace& face_;
    int ppem_;
};

}  // namespace

FreeTypeText::FreeTypeText() {
    starting_ = std::thread([this] {
        FT_Library library = nullptr;
        configured_ = FcInit() == FcTrue;
        ready_ = configured_ && FT_Init_FreeType(&library) == 0;
        library_ = library;
    });
}

void FreeTypeText::Started() {
    if (starting_.joinable()) starting_.join();
}

FreeTypeText::~FreeTypeText() {
    Started();
    face_.reset();
    if (library_ != nullptr) FT_Done_FreeType(static_cast<FT_Library>(library_));
    // Hands fontconfig's configuration back, or the leak checker reports it.
    if (configured_) FcFini();
}

std::unique_ptr<TextFont> FreeTypeText::OpenFont(const LOGFONTW& description) {
    Started();
    FontFace* face = SystemFace();
    if (face == nullptr) return nullptr;

    const long long height = description.lfHeight == 0 ? 16 : description.lfHeight;
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
    auto font = std::make_unique<FreeTypeFont>(*face, static_cast<int>(std::max(ppem, 1LL)));
    font->ascent = static_cast<int>(ascent);
    font->descent = static_cast<int>(descent);
    return font;
}

FontFace* FreeTypeText::SystemFace() {
    if (looked_) return systemFace_;
    looked_ = true;
    FcPattern* pattern = ready_ ? FcPatternCreate() : nullptr;
    if (pattern == nullptr) {
        std::fprintf(stderr, "chalkmere: no font to write the numbers with: %s\n",
                     ready_ ? "fontconfig failed" : "fontconfig or FreeType cannot start");
        return nullptr;
    }
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BOLD);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    // Prefer outlines: the cell metrics need a scalable face.
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    FcChar8* file = nullptr;
    int index = 0;
    if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
        systemFace_ = OpenFace(reinterpret_cast<const char*>(file), index);
    }
    if (match != nullptr) FcPatternDestroy(match);
    if (systemFace_ == nullptr) {
        std::fprintf(stderr,
                     "chalkmere: no font to write the numbers with: fontconfig finds no bold "
                     "sans-serif face (install fonts-dejavu-core)\n");
    }
    return systemFace_;
}

FontFace* FreeTypeText::OpenFace(const std::string& file, int index) {
    FT_Face ftFace = nullptr;
    if (FT_New_Face(static_cast<FT_Library>(library_), file.c_str(), index, &ftFace) != 0) {
        return nullptr;
    }
    face_ = std::make_unique<FontFace>();
    face_->face = ftFace;
    // Cell metrics need outlines in font units; a bitmap-only face has neither.
    if (!FT_IS_SCALABLE(ftFace) || ftFace->units_per_EM == 0) {
        face_.reset();
        return nullptr;
    }
    SetDesignExtent(*face_);
    return face_.get();
}

}  // namespace platform
