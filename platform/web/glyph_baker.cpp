// glyph_baker <output.cpp>: renders the program's fonts with the desktop's text backend and
// writes them as the tables of baked_glyphs.h, for a build that has no FreeType.
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

#include "platform/core/resource_loading.h"
#include "platform/core/utf16.h"
#include "platform/desktop/freetype_text.h"
#include "platform/web/baked_glyphs.h"
#include "resources/ResourceIds.h"

namespace {

// Text::BoldFont's heights, each with the strings the program draws at it and whether it
// draws numbers there (printable ASCII is baked): the title's lines and the settings'
// percentages, the score's caption and the score (and the core's stock font), the default
// text, the problems. A caption too long for its place is set smaller, down to 12.
struct Height {
    LONG height;
    bool ascii;
    std::vector<int> strings;
};
// clang-format off
const Height kHeights[] = {
    {12, true, {IDS_VERSION, IDS_YEARS, IDS_SCORE}},
    {13, false, {IDS_SCORE}},
    {14, false, {IDS_SCORE}},
    {15, false, {IDS_SCORE}},
    {16, true, {IDS_SCORE}},
    {20, true, {}},
    {50, true, {IDS_SIGN_ADDITION, IDS_SIGN_SUBTRACTION, IDS_SIGN_MULTIPLICATION,
                IDS_SIGN_DIVISION}},
};
// clang-format on
// A noncharacter, which no face maps: it renders the missing-glyph box.
constexpr char32_t kMissing = 0x10FFFF;

// The missing-glyph box first, then in ascending order printable ASCII where numbers are drawn
// and every character of the height's strings in every language block of the program's
// resource table.
std::vector<char32_t> Characters(const Height& height) {
    std::set<char32_t> characters;
    for (char32_t c = 32; c <= 126 && height.ascii; ++c) characters.insert(c);
    for (std::size_t i = 0; i < platform::programResources.count; ++i) {
        const platform::Resource& r = platform::programResources.resources[i];
        if (r.type != platform::ResourceType::String) continue;
        bool drawn = false;
        for (const int id : height.strings) drawn = drawn || r.id == id;
        if (!drawn) continue;
        std::u16string text;
        for (std::uint32_t b = 0; b + 1 < r.size; b += 2) {
            text += static_cast<char16_t>(r.data[b] | r.data[b + 1] << 8);
        }
        for (int at = 0; at < static_cast<int>(text.size());) {
            characters.insert(
                platform::NextCodePoint(text.c_str(), static_cast<int>(text.size()), at));
        }
    }
    std::vector<char32_t> ordered{kMissing};
    ordered.insert(ordered.end(), characters.begin(), characters.end());
    return ordered;
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
    for (const Height& height : kHeights) {
        LOGFONTW description{};  // as Text::BoldFont makes it
        description.lfHeight = height.height;
        description.lfWeight = FW_BOLD;
        description.lfPitchAndFamily = FF_SWISS;
        const std::unique_ptr<platform::TextFont> font = text.OpenFont(description);
        if (font == nullptr) {
            std::fprintf(stderr, "glyph_baker: no font at height %d\n",
                         static_cast<int>(height.height));
            return 1;
        }
        const std::vector<char32_t> characters = Characters(height);
        fonts << "    {" << height.height << ", " << font->ascent << ", " << font->descent << ", "
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
