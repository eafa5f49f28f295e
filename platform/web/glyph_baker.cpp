// glyph_baker <output.cpp>: renders the program's fonts with the desktop's text backend and
// writes them as the tables of baked_glyphs.h, for a build that has no FreeType.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/desktop/freetype_text.h"
#include "platform/web/baked_glyphs.h"

namespace {

// Text::BoldFont's heights: the settings' and splash lines, the score (and the core's stock
// font), the default text and the problems.
constexpr LONG kHeights[] = {12, 16, 20, 50};
// A noncharacter, which no face maps: it renders the missing-glyph box.
constexpr char32_t kMissing = 0x10FFFF;

// The missing-glyph box first, then printable ASCII and the division sign of
// drill/Equation.cpp, in ascending order.
std::vector<char32_t> Characters() {
    std::vector<char32_t> characters{kMissing};
    for (char32_t c = 32; c <= 126; ++c) characters.push_back(c);
    characters.push_back(U'\u00F7');
    return characters;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: glyph_baker <output.cpp>\n");
        return 2;
    }
    platform::FreeTypeText text;
    std::ostringstream bits, glyphs, fonts;
    std::uint32_t offset = 0;
    std::uint32_t glyphCount = 0;
    const std::vector<char32_t> characters = Characters();
    for (const LONG height : kHeights) {
        LOGFONTW description{};  // as Text::BoldFont makes it
        description.lfHeight = height;
        description.lfWeight = FW_BOLD;
        description.lfPitchAndFamily = FF_SWISS;
        const std::unique_ptr<platform::TextFont> font = text.OpenFont(description);
        if (font == nullptr) {
            std::fprintf(stderr, "glyph_baker: no font at height %d\n", static_cast<int>(height));
            return 1;
        }
        fonts << "    {" << height << ", " << font->ascent << ", " << font->descent << ", "
              << glyphCount << ", " << characters.size() << "},\n";
        for (const char32_t c : characters) {
            const platform::Glyph& glyph = font->GlyphFor(c);
            glyphs << "    {" << (c == kMissing ? 0u : std::uint32_t{c}) << ", " << glyph.advance
                   << ", " << glyph.left << ", " << glyph.top << ", " << glyph.width << ", "
                   << glyph.rows << ", " << glyph.stride << ", " << offset << "},\n";
            for (const std::uint8_t byte : glyph.bits) {
                bits << (offset % 24 == 0 ? "\n    " : "") << int{byte} << ',';
                ++offset;
            }
            ++glyphCount;
        }
    }

    std::ofstream out(argv[1]);
    out << "// Written by glyph_baker: the program's fonts as the desktop's text backend "
           "renders them.\n"
           "#include \"platform/web/baked_glyphs.h\"\n\n"
           "namespace platform {\nnamespace {\n\n"
           "constexpr std::uint8_t kBits[] = {"
        << bits.str() << "\n};\n\nconstexpr BakedGlyph kGlyphs[] = {\n"
        << glyphs.str() << "};\n\nconstexpr BakedFont kFonts[] = {\n"
        << fonts.str()
        << "};\n\n}  // namespace\n\n"
           "const BakedTables kBakedTables{kFonts, kGlyphs, kBits};\n\n"
           "}  // namespace platform\n";
    out.close();
    if (!out) {
        std::fprintf(stderr, "glyph_baker: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
