// The text figure: sized to its measured line, glyphs in one colour on the key colour.
#include "scene/Text.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/testing/testing.h"
#include "resources/ResourceIds.h"
#include "tests/support/TestFigures.h"

using platform::testing::LiveGdiObjectCount;
using platform::testing::PixelAt;
using testsupport::ScreenFixture;

namespace {

constexpr COLORREF kSalmon = RGB(255, 100, 100);

class TextTest : public ScreenFixture {
protected:
    // The extent the platform reports for `string` in `font`.
    static SIZE Extent(LPCWSTR string, const LOGFONTW& font) {
        HDC dc = CreateCompatibleDC(nullptr);
        HFONT object = CreateFontIndirectW(&font);
        HGDIOBJ previous = SelectObject(dc, object);
        SIZE size{};
        GetTextExtentExPointW(dc, string, lstrlenW(string), 0, nullptr, nullptr, &size);
        SelectObject(dc, previous);
        DeleteObject(object);
        DeleteDC(dc);
        return size;
    }

    // Counts the surface's pixels in the key colour and in `colour`; any other pixel fails.
    static int GlyphPixels(Text& text, COLORREF colour) {
        int glyphs = 0;
        for (int y = 0; y < text.GetHeight(); ++y) {
            for (int x = 0; x < text.GetWidth(); ++x) {
                const COLORREF pixel = PixelAt(text.GetSurface(), x, y);
                if (pixel == colour) {
                    ++glyphs;
                } else {
                    EXPECT_EQ(pixel, TransparentKey) << "a blended pixel at " << x << "," << y;
                }
            }
        }
        return glyphs;
    }
};

struct TextCase {
    const char16_t* string;
    LONG height;
};

class TextSizeTest : public TextTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(TextSizeTest, IsTheMeasuredExtentAndOnlyGlyphsAndKey) {
    const TextCase& c = GetParam();
    const LOGFONTW font = Text::BoldFont(c.height);
    Text text(screen.get(), window, c.string, kSalmon, font);
    const SIZE extent = Extent(c.string, font);
    EXPECT_EQ(text.GetWidth(), extent.cx);
    EXPECT_EQ(text.GetHeight(), extent.cy);
    EXPECT_EQ(text.GetHeight(), c.height);
    BITMAP info{};
    GetObjectW(text.surfaceBitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, extent.cx);
    EXPECT_EQ(info.bmHeight, extent.cy);
    EXPECT_GT(GlyphPixels(text, kSalmon), text.GetWidth());
}

INSTANTIATE_TEST_SUITE_P(Text, TextSizeTest,
                         ::testing::Values(TextCase{u"Score", 16}, TextCase{u"v. 1.1", 12},
                                           TextCase{u"100", 12}, TextCase{u"144", 20},
                                           TextCase{u"98", 50}, TextCase{u"\u00F7", 50}));

TEST_F(TextTest, AStringTableEntryIsLoadedAndCutTo79Characters) {
    Text caption(screen.get(), instance, window, IDS_SCORE, kSalmon, Text::BoldFont(16));
    EXPECT_EQ(std::u16string(caption.text), u"Score");
    Text longLine(screen.get(), instance, window, 900, kSalmon, Text::BoldFont(12));
    const std::u16string loaded = longLine.text;
    EXPECT_EQ(loaded.size(), 79u);
    EXPECT_EQ(loaded.substr(0, 13), u"This line has");
}

TEST_F(TextTest, ATextOfAnEmptyStringIsHarmless) {
    const int before = LiveGdiObjectCount();
    {
        Text empty(screen.get(), window, TEXT(""), kSalmon);
        EXPECT_EQ(empty.GetWidth(), 0);
    }
    EXPECT_EQ(LiveGdiObjectCount(), before);
}

TEST_F(TextTest, CompositedOverABackgroundOnlyTheGlyphsShow) {
    auto* background =
        new testsupport::SolidFigure(screen.get(), window, 240, 320, RGB(30, 55, 45));
    background->SetVisible(true);
    screen->background = Place(background, 0, 0, 1);
    Text* text =
        Place(new Text(screen.get(), window, TEXT("Score"), kSalmon, Text::BoldFont(16)), 90, 20);
    screen->active = true;
    screen->Redraw(true);
    int glyphs = 0;
    for (int y = 20; y < 20 + text->GetHeight(); ++y) {
        for (int x = 90; x < 90 + text->GetWidth(); ++x) {
            const COLORREF pixel = window.Pixel(x, y);
            ASSERT_TRUE(pixel == kSalmon || pixel == RGB(30, 55, 45)) << x << "," << y;
            glyphs += pixel == kSalmon;
        }
    }
    EXPECT_GT(glyphs, 20);
}

}  // namespace
