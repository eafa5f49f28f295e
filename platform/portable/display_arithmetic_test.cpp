// The colour key's 5-6-5 match and the whole-number fit, as every desktop build uses them.
#include "platform/portable/display_arithmetic.h"

#include <gtest/gtest.h>

#include <ios>
#include <tuple>

namespace {

using platform::FitWhole;
using platform::MatchesKey;
using platform::ToPicture;

TEST(DisplayArithmetic, TheKeyMatchesOnItsFiveSixFiveBits) {
    const std::uint32_t key = 0xF68CC5u;
    const struct {
        std::uint32_t pixel;
        bool matches;
    } rows[] = {
        {key, true},       {0xF08CC0u, true},  // the key as a 16-bit screen stored it
        {0xF78FC7u, true},  {0xEF8CC5u, false},  // red just below the key's cell
        {0xF690C5u, false}, {0xF688C5u, false},  // green a cell either side
        {0xF68CBFu, false}, {0xF68CC5u | 0x01000000u, true},  // blue below; the top byte
    };
    for (const auto& row : rows) {
        EXPECT_EQ(MatchesKey(row.pixel, key), row.matches) << std::hex << row.pixel;
    }
}

TEST(DisplayArithmetic, TheDisplayFitsAtTheLargestWholeScaleCentred) {
    const struct {
        int areaWidth, areaHeight, scale, left, top;
    } rows[] = {
        {240, 320, 1, 0, 0},    {1000, 700, 2, 260, 30},  // height decides
        {500, 2000, 2, 10, 680},                         // width decides
        {719, 959, 2, 119, 159},  {720, 960, 3, 0, 0},     // one pixel short of 3
        {100, 100, 1, -70, -110},                        // too small: scale 1, cut off
    };
    for (const auto& row : rows) {
        const auto fit = FitWhole(row.areaWidth, row.areaHeight, 240, 320);
        EXPECT_EQ(std::tuple(fit.scale, fit.left, fit.top),
                  std::tuple(row.scale, row.left, row.top))
            << row.areaWidth << "x" << row.areaHeight;
    }
    // Back from the area to the picture: floor division, so the bar's points are negative.
    const int points[][2] = {{30, 0}, {31, 0}, {32, 1}, {29, -1}, {27, -2}, {28, -1}};
    for (const auto& point : points) EXPECT_EQ(ToPicture(point[0], 30, 2), point[1]) << point[0];
}

}  // namespace
