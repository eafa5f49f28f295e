// The glyph tables glyph_baker writes at build time (baked_glyphs.cpp in the build folder)
// and BakedText serves: the program's fonts as the desktop's text backend renders them.
#pragma once

#include <cstdint>
#include <span>

namespace platform {

// One glyph as platform::Glyph has it; its rows are bits[bits, bits + stride * rows).
struct BakedGlyph {
    char32_t codePoint;
    int advance, left, top, width, rows, stride;
    std::uint32_t bits;
};

// A font's glyphs are glyphs[first, first + count): the face's missing-glyph box, then the
// characters by ascending code point.
struct BakedFont {
    int height;  // the LOGFONTW's lfHeight
    int ascent, descent;
    std::uint32_t first, count;
};

struct BakedTables {
    std::span<const BakedFont> fonts;
    std::span<const BakedGlyph> glyphs;
    std::span<const std::uint8_t> bits;
};

extern const BakedTables kBakedTables;

}  // namespace platform
