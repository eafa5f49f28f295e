// The arithmetic every desktop build shares for the handheld's display: the artwork's colour
// key, and the whole-number scale at which the display is shown in a window. (The page's
// script sizes its canvas with the same rule, in its own JavaScript.)
#pragma once

#include <algorithm>
#include <cstdint>

namespace platform {

// A transparent colour is matched on the top 5 bits of red and blue and 6 of green, so that
// both the 16-colour and the 256-colour form of the key drop out. Red and blue may stand
// either way round (0x00RRGGBB or a COLORREF's 0x00BBGGRR): the mask is the same for both.
constexpr std::uint32_t kKeyMask = 0xF8FCF8u;
constexpr bool MatchesKey(std::uint32_t pixel, std::uint32_t key) {
    return ((pixel ^ key) & kKeyMask) == 0;
}

// A picture shown at a whole scale, centred in an area.
struct WholeFit {
    int scale;
    int left;
    int top;
};

// The largest whole scale (never below 1) at which a `width` × `height` picture fits an
// `areaWidth` × `areaHeight` area, and where it stands centred in it.
constexpr WholeFit FitWhole(int areaWidth, int areaHeight, int width, int height) {
    const int scale = std::max(1, std::min(areaWidth / width, areaHeight / height));
    return {scale, (areaWidth - width * scale) / 2, (areaHeight - height * scale) / 2};
}

// A coordinate of the area in picture pixels; points in the bars left of or above the
// picture are negative (floor division).
constexpr int ToPicture(int value, int offset, int scale) {
    const int shifted = value - offset;
    return shifted >= 0 ? shifted / scale : -((-shifted + scale - 1) / scale);
}

}  // namespace platform
