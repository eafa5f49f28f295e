#include "tests/support/Pixels.h"

namespace testsupport {
namespace {

template <typename ReadPixel>
std::string Art(RECT area, const std::map<COLORREF, char>& legend, ReadPixel read) {
    std::string art;
    for (LONG y = area.top; y < area.bottom; ++y) {
        for (LONG x = area.left; x < area.right; ++x) {
            auto found = legend.find(read(x, y));
            art += found == legend.end() ? '?' : found->second;
        }
        art += '\n';
    }
    return art;
}

}  // namespace

std::string PixelArt(const platform::testing::HeadlessWindow& window, RECT area,
                     const std::map<COLORREF, char>& legend) {
    return Art(area, legend, [&](LONG x, LONG y) { return window.Pixel(x, y); });
}

std::string PixelArt(HDC dc, RECT area, const std::map<COLORREF, char>& legend) {
    return Art(area, legend, [&](LONG x, LONG y) { return platform::testing::PixelAt(dc, x, y); });
}

}  // namespace testsupport
