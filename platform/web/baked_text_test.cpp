// BakedText against the desktop's backend it was baked from: the same cells and the same
// glyphs. (Drawn through the core they make the same pixels: the web story compares every
// screen with the desktop's.)
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "platform/testing/testing.h"
#include "platform/web/baked_glyphs.h"
#include "platform/web/baked_text.h"

namespace platform {
namespace {

LOGFONTW BoldFont(LONG height) {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWeight = FW_BOLD;
    font.lfPitchAndFamily = FF_SWISS;
    return font;
}

auto Fields(const Glyph& g) {
    return std::tuple(g.advance, g.left, g.top, g.width, g.rows, g.stride, g.bits);
}

// The program's heights are baked, and a height of 0 reads as 16. Printable ASCII where the
// program draws numbers, every other character baked at a height (the words drawn there in
// every language) and one character the face lacks (its missing-glyph box) are the desktop's
// glyph field for field and bit for bit. Other heights and faces are refused.
TEST(BakedText, ServesTheDesktopGlyphs) {
    std::vector<int> heights;
    for (const BakedFont& font : kBakedTables.fonts) heights.push_back(font.height);
    EXPECT_EQ(heights, (std::vector<int>{12, 13, 14, 15, 16, 20, 50}));

    BakedText baked;
    TextBackend& desktop = *CurrentTextBackend();  // FreeTypeText, as the test main installs
    for (const LONG height : {0, 12, 13, 14, 15, 16, 20, 50}) {
        const auto expected = desktop.OpenFont(BoldFont(height));
        const auto actual = baked.OpenFont(BoldFont(height));
        ASSERT_TRUE(expected != nullptr && actual != nullptr) << height;
        EXPECT_EQ(std::pair(actual->ascent, actual->descent),
                  std::pair(expected->ascent, expected->descent))
            << height;
        std::vector<char32_t> characters{U'\u4E00'};
        for (char32_t c = 32; c <= 126 && (height < 13 || height > 15); ++c) {
            characters.push_back(c);
        }
        for (const BakedFont& font : kBakedTables.fonts) {
            if (font.height != (height == 0 ? 16 : height)) continue;
            for (const BakedGlyph& glyph :
                 kBakedTables.glyphs.subspan(font.first + 1, font.count - 1)) {
                characters.push_back(glyph.codePoint);
            }
        }
        for (const char32_t c : characters) {
            EXPECT_EQ(Fields(actual->GlyphFor(c)), Fields(expected->GlyphFor(c)))
                << "height " << height << ", U+" << std::hex << std::uint32_t{c};
        }
    }
    LOGFONTW italic = BoldFont(16);
    italic.lfItalic = TRUE;
    for (const LOGFONTW& refused : {BoldFont(11), BoldFont(-16), italic}) {
        EXPECT_EQ(baked.OpenFont(refused), nullptr) << refused.lfHeight;
    }
}

}  // namespace
}  // namespace platform
