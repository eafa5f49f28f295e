#include "platform/web/baked_text.h"

#include <algorithm>

#include "platform/web/baked_glyphs.h"

namespace platform {
namespace {

class TableFont : public TextFont {
public:
    explicit TableFont(const BakedFont& font)
        : glyphs_(kBakedTables.glyphs.subspan(font.first, font.count)) {
        ascent = font.ascent;
        descent = font.descent;
    }

    const Glyph& GlyphFor(char32_t codePoint) override {
        const auto characters = glyphs_.subspan(1);
        const auto found = std::lower_bound(
            characters.begin(), characters.end(), codePoint,
            [](const BakedGlyph& glyph, char32_t wanted) { return glyph.codePoint < wanted; });
        const BakedGlyph& baked =
            found != characters.end() && found->codePoint == codePoint ? *found : glyphs_[0];
        const auto bits = kBakedTables.bits.subspan(
            baked.bits, static_cast<std::size_t>(baked.stride) * baked.rows);
        glyph_.advance = baked.advance;
        glyph_.left = baked.left;
        glyph_.top = baked.top;
        glyph_.width = baked.width;
        glyph_.rows = baked.rows;
        glyph_.stride = baked.stride;
        glyph_.bits.assign(bits.begin(), bits.end());
        return glyph_;
    }

private:
    std::span<const BakedGlyph> glyphs_;
    Glyph glyph_;  // the last one asked for: the contract keeps it only until the next call
};

}  // namespace

std::unique_ptr<TextFont> BakedText::OpenFont(const LOGFONTW& font) {
    if (!IsSystemFace(font)) return nullptr;
    // A height of 0 is the desktop backend's default of 16.
    const LONG height = font.lfHeight == 0 ? 16 : font.lfHeight;
    const auto baked =
        std::find_if(kBakedTables.fonts.begin(), kBakedTables.fonts.end(),
                     [height](const BakedFont& baked) { return baked.height == height; });
    if (baked == kBakedTables.fonts.end()) return nullptr;
    return std::make_unique<TableFont>(*baked);
}

}  // namespace platform
