// Fonts, extents and bi-level text. Widths and pictures are pinned to DejaVu Sans Bold with
// bi-level hinting, which fontconfig picks here for a bold sans-serif.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <string>
#include <vector>

#include "platform/core/fonts.h"
#include "platform/testing/testing.h"
#include "platform/win32.h"
#include "tests/support/Pixels.h"

using platform::kMaxFontHeight;
using platform::testing::HeadlessWindow;
using platform::testing::LiveGdiObjectCount;
using platform::testing::PixelAt;
using platform::testing::SetPixelAt;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
const std::map<COLORREF, char> kLegend = {{kWhite, '.'}, {kRed, '#'}, {kBlue, 'b'}};

// By default the program's fonts: bold, Swiss, no face name.
LOGFONTW Font(LONG height, LONG weight = FW_BOLD, BYTE family = FF_SWISS) {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfPitchAndFamily = family;
    return font;
}

// Declared before the canvases that select it, so they let go of it before it is deleted.
struct ScopedFont {
    explicit ScopedFont(const LOGFONTW& description) : handle(CreateFontIndirectW(&description)) {}
    ~ScopedFont() {
        if (handle != nullptr) {
            EXPECT_TRUE(DeleteObject(handle));
        }
    }
    HFONT handle;
};

// A white memory canvas for red text on blue, with `font` selected (else the stock font).
struct Canvas : testsupport::Canvas {
    Canvas(HWND window, int w, int h, HFONT font = nullptr)
        : testsupport::Canvas(window, w, h, kWhite) {
        SetTextColor(dc, kRed);
        SetBkColor(dc, kBlue);
        if (font != nullptr) SelectObject(dc, font);
    }
    SIZE Extent(const std::u16string& text) const {
        SIZE size{-1, -1};
        EXPECT_TRUE(GetTextExtentExPointW(dc, text.data(), static_cast<int>(text.size()), 0,
                                          nullptr, nullptr, &size));
        return size;
    }
    int Draw(const std::u16string& text, RECT rect, UINT format = DT_SINGLELINE) {
        return DrawTextW(dc, text.c_str(), -1, &rect, format);
    }
    std::string Art(RECT area) const { return testsupport::PixelArt(dc, area, kLegend); }
    std::string Art() const { return Art({0, 0, width, height}); }
    // Whether `area` holds only pixels shown by `chars` in the legend.
    bool Only(RECT area, const char* chars) const {
        return Art(area).find_first_not_of(std::string(chars) + "\n") == std::string::npos;
    }
};

using FontTest = testsupport::LeakCheckedTest;

// --- Measuring ------------------------------------------------------------------------------

TEST_F(FontTest, ExtentsAndCellHeights) {
    struct Case {
        LONG height;
        std::u16string text;
        SIZE expected;
    };
    // An em of 43 is what a 50-pixel cell gives: the same glyphs, the cell from the ratios.
    for (const Case& c :
         {Case{12, u"Score", {32, 12}}, Case{12, u"100", {21, 12}}, Case{12, u"v. 1.1", {32, 12}},
          Case{20, u"100", {36, 20}}, Case{50, u"0123456789", {300, 50}},
          Case{-43, u"0123456789", {300, 50}}, Case{-12, u"", {0, 14}}}) {
        ScopedFont font(Font(c.height));
        Canvas canvas(window_, 1, 1, font.handle);
        const SIZE size = canvas.Extent(c.text);
        EXPECT_EQ(size.cx, c.expected.cx) << c.height;
        EXPECT_EQ(size.cy, c.expected.cy) << c.height;
    }
    for (LONG height : {1, 2, 5, 13, 16, 33, 99, 200, kMaxFontHeight}) {
        ScopedFont font(Font(height));
        Canvas canvas(window_, 1, 1, font.handle);
        EXPECT_EQ(canvas.Extent(u"Ag").cy, height);
    }
    ScopedFont zero(Font(0)), sixteen(Font(16));
    Canvas byZero(window_, 1, 1, zero.handle), bySixteen(window_, 1, 1, sixteen.handle);
    EXPECT_EQ(byZero.Extent(u"Score").cx, bySixteen.Extent(u"Score").cx);
    EXPECT_EQ(byZero.Extent(u"Score").cy, 16);
}

// The program asks for one face at a few heights and measures whole lines; anything else is
// refused plainly.
TEST_F(FontTest, OnlyTheSystemFaceIsMadeAndOnlyWholeLinesMeasured) {
    LOGFONTW named = Font(12);
    named.lfFaceName[0] = u'Q';
    LOGFONTW italic = Font(12);
    italic.lfItalic = 1;
    for (const LOGFONTW& refused :
         {named, italic, Font(12, FW_NORMAL), Font(12, 599), Font(12, FW_BOLD, FF_ROMAN),
          Font(12, FW_BOLD, FF_DONTCARE), Font(kMaxFontHeight + 1), Font(-kMaxFontHeight - 1)}) {
        EXPECT_EQ(CreateFontIndirectW(&refused), nullptr) << refused.lfHeight;
    }
    EXPECT_EQ(CreateFontIndirectW(nullptr), nullptr);

    ScopedFont font(Font(12));
    Canvas canvas(window_, 1, 1, font.handle);
    SIZE size{-1, -1};
    INT fit = -1;
    EXPECT_FALSE(GetTextExtentExPointW(canvas.dc, u"100", 3, 50, &fit, nullptr, &size));
    EXPECT_FALSE(GetTextExtentExPointW(canvas.dc, u"1", -1, 0, nullptr, nullptr, &size));
    EXPECT_FALSE(GetTextExtentExPointW(canvas.dc, nullptr, 1, 0, nullptr, nullptr, &size));
    EXPECT_FALSE(GetTextExtentExPointW(nullptr, u"1", 1, 0, nullptr, nullptr, &size));
    EXPECT_TRUE(GetTextExtentExPointW(canvas.dc, u"100", 0, 0, nullptr, nullptr, &size));
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 12);
}

// U+1D7D9, the double-struck one, lies beyond 16 bits and is in DejaVu Sans Bold.
TEST_F(FontTest, SurrogatePairsAreOneCharacter) {
    ScopedFont font(Font(12));
    Canvas canvas(window_, 16, 12, font.handle);
    const std::u16string pair = u"\U0001D7D9";
    const std::u16string high(1, pair[0]), low(1, pair[1]);
    EXPECT_EQ(canvas.Extent(u"1" + pair).cx, 14);
    EXPECT_EQ(canvas.Extent(low + high).cx, canvas.Extent(u"\uFFFD\uFFFD").cx);
    EXPECT_EQ(canvas.Extent(u"x" + high).cx, canvas.Extent(u"x\uFFFD").cx);

    // Also where glyphs sit: ascent 10, so digits stand on row 10.
    EXPECT_EQ(canvas.Draw(u"1" + pair, {0, 0, 16, 12}), 12);
    EXPECT_EQ(canvas.Art(),
              "bbbbbbbbbbbbbb..\n"
              "bbbbbbbbbbbbbb..\n"
              "bbbbbbbbbbbbbb..\n"
              "b####bbb####bb..\n"
              "bbb##bbbb#b#bb..\n"
              "bbb##bbbb#b#bb..\n"
              "bbb##bbbb#b#bb..\n"
              "bbb##bbbb#b#bb..\n"
              "bbb##bbbb#b#bb..\n"
              "b######b#####b..\n"
              "bbbbbbbbbbbbbb..\n"
              "bbbbbbbbbbbbbb..\n");
}

TEST_F(FontTest, StockFontAndLifetimes) {
    HGDIOBJ stock = GetStockObject(SYSTEM_FONT);
    ASSERT_NE(stock, nullptr);
    EXPECT_TRUE(DeleteObject(stock)) << "harmless, as for every stock object";
    const int before = LiveGdiObjectCount();
    {
        ScopedFont font(Font(16));
        EXPECT_EQ(LiveGdiObjectCount(), before + 1);
        Canvas canvas(window_, 1, 1);
        const SIZE byDefault = canvas.Extent(u"Score 100");
        EXPECT_EQ(SelectObject(canvas.dc, font.handle), stock);
        EXPECT_FALSE(DeleteObject(font.handle)) << "selected fonts stay";
        EXPECT_EQ(canvas.Extent(u"Score 100").cx, byDefault.cx);
        EXPECT_EQ(byDefault.cy, 16);
        EXPECT_EQ(SelectObject(canvas.dc, stock), font.handle);
    }
    EXPECT_EQ(LiveGdiObjectCount(), before);
    const LOGFONTW description = Font(20);
    HFONT font = CreateFontIndirectW(&description);
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_FALSE(DeleteObject(font)) << "no longer a handle";
}

// --- Drawing --------------------------------------------------------------------------------

TEST_F(FontTest, OnlyTheTwoColoursInsideTheLineBox) {
    for (LONG height : {12, 20, 50}) {
        for (const std::u16string text : {u"Score v. 1.1", u"+ - \u00D7 \u00F7 =", u"0123456789"}) {
            ScopedFont font(Font(height));
            Canvas canvas(window_, 400, 80, font.handle);
            EXPECT_EQ(canvas.Draw(text, {3, 2, 400, 80}), height);
            // The line's box is text or background, and nothing else changed.
            const SIZE size = canvas.Extent(text);
            const std::string art = canvas.Art();
            EXPECT_TRUE(canvas.Only({3, 2, 3 + size.cx, 2 + size.cy}, "#b"));
            EXPECT_EQ(std::count(art.begin(), art.end(), '.'), 400 * 80 - size.cx * size.cy);
            EXPECT_NE(art.find('#'), std::string::npos);
        }
    }
}

// The line must equal the same line drawn unclipped with its box at `origin`, inside `rect`,
// and nothing may change outside `rect`. "100" at 12 pixels is 21 × 12.
TEST_F(FontTest, PlacementAndClippingToTheRect) {
    struct Case {
        const char* name;
        RECT rect;
        UINT format;
        POINT origin;
    };
    constexpr UINT kCentred = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
    for (const Case& c : {Case{"top left", {10, 5, 60, 40}, DT_SINGLELINE, {10, 5}},
                          Case{"centred", {10, 5, 61, 40}, kCentred, {25, 16}},
                          Case{"across only", {10, 5, 62, 40}, DT_SINGLELINE | DT_CENTER, {25, 5}},
                          Case{"down only", {10, 5, 62, 40}, DT_SINGLELINE | DT_VCENTER, {10, 16}},
                          // Halves of -5 and -3 truncate toward zero.
                          Case{"narrow", {30, 10, 46, 22}, kCentred, {28, 10}},
                          Case{"short", {30, 10, 60, 19}, kCentred, {34, 9}},
                          Case{"cut", {12, 7, 20, 13}, DT_SINGLELINE, {12, 7}},
                          Case{"empty", {20, 20, 10, 30}, DT_SINGLELINE, {20, 20}}}) {
        ScopedFont font(Font(12));
        Canvas drawn(window_, 80, 50, font.handle), expected(window_, 80, 50, font.handle);
        EXPECT_EQ(drawn.Draw(u"100", c.rect, c.format), 12) << c.name;
        expected.Draw(u"100", {c.origin.x, c.origin.y, 80, 50});
        for (int i = 0; i < 80 * 50; ++i) {
            const int x = i % 80, y = i / 80;
            const bool inside =
                x >= c.rect.left && x < c.rect.right && y >= c.rect.top && y < c.rect.bottom;
            ASSERT_EQ(PixelAt(drawn.dc, x, y), inside ? PixelAt(expected.dc, x, y) : kWhite)
                << c.name << " at " << x << ", " << y << "\n"
                << drawn.Art();
        }
    }
}

// A small surface must show exactly the part of a large one that it covers (under ASan:
// nothing written beyond it). "100" at 20 pixels is 36 × 20.
TEST_F(FontTest, ClippingToTheSurface) {
    constexpr int kMargin = 40;
    ScopedFont font(Font(20));
    for (const RECT& rect : {RECT{-7, -5, 40, 30}, RECT{5, 2, 200, 200}, RECT{-30, -9, 60, 60},
                             RECT{16, 0, 60, 20}, RECT{0, -20, 16, 0}}) {
        Canvas small(window_, 16, 8, font.handle);
        Canvas large(window_, 16 + 2 * kMargin, 8 + 2 * kMargin, font.handle);
        EXPECT_EQ(small.Draw(u"100", rect, DT_SINGLELINE | DT_VCENTER), 20);
        large.Draw(
            u"100",
            {rect.left + kMargin, rect.top + kMargin, rect.right + kMargin, rect.bottom + kMargin},
            DT_SINGLELINE | DT_VCENTER);
        EXPECT_EQ(small.Art(), large.Art({kMargin, kMargin, kMargin + 16, kMargin + 8})) << rect;
    }
    // No overflow at the ends of the range: centred on all of it, the box is at (-19, -11).
    Canvas small(window_, 16, 8, font.handle);
    Canvas large(window_, 16 + kMargin, 8 + kMargin, font.handle);
    const RECT all{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    const RECT end{INT_MAX - 9, INT_MAX - 9, INT_MAX, INT_MAX};
    EXPECT_EQ(small.Draw(u"100", end, DT_SINGLELINE | DT_CENTER | DT_VCENTER), 20);
    EXPECT_EQ(small.Draw(u"100", all), 20);
    EXPECT_TRUE(small.Only({0, 0, 16, 8}, "."));
    small.Draw(u"100", all, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    large.Draw(u"100", {kMargin - 19, kMargin - 11, 16 + kMargin, 8 + kMargin});
    EXPECT_EQ(small.Art(), large.Art({kMargin, kMargin, kMargin + 16, kMargin + 8}));
}

TEST_F(FontTest, CountsAndUnsupportedRequests) {
    ScopedFont font(Font(12));
    Canvas whole(window_, 30, 12, font.handle), prefix(window_, 30, 12, font.handle);
    RECT rect{0, 0, 30, 12};
    EXPECT_EQ(whole.Draw(u"10", rect), 12);
    EXPECT_EQ(DrawTextW(prefix.dc, u"100", 2, &rect, DT_SINGLELINE), 12);
    EXPECT_EQ(prefix.Art(), whole.Art());

    Canvas canvas(window_, 30, 12, font.handle);
    EXPECT_EQ(DrawTextW(canvas.dc, u"100", 0, &rect, DT_SINGLELINE), 12) << "an empty line";
    // Anything but a single line, centred or not, fails visibly.
    for (UINT format : {0u, DT_CENTER | DT_VCENTER, DT_SINGLELINE | 0x2u /* right */,
                        DT_SINGLELINE | 0x8u /* bottom */, DT_SINGLELINE | 0x10u /* word break */,
                        DT_SINGLELINE | 0x100u /* no clip */, DT_SINGLELINE | 0x400u /* calc */}) {
        EXPECT_EQ(DrawTextW(canvas.dc, u"100", -1, &rect, format), 0) << format;
    }
    int notADC = 0;
    EXPECT_EQ(DrawTextW(nullptr, u"100", -1, &rect, DT_SINGLELINE), 0);
    EXPECT_EQ(DrawTextW(reinterpret_cast<HDC>(&notADC), u"100", -1, &rect, DT_SINGLELINE), 0);
    EXPECT_EQ(DrawTextW(canvas.dc, nullptr, -1, &rect, DT_SINGLELINE), 0);
    EXPECT_EQ(DrawTextW(canvas.dc, u"100", -1, nullptr, DT_SINGLELINE), 0);
    EXPECT_EQ(DrawTextW(canvas.dc, u"100", -2, &rect, DT_SINGLELINE), 0);
    EXPECT_TRUE(canvas.Only(rect, "."));
}

// Glyphs this large outgrow the glyph cache, which starts afresh part way through a line;
// nothing measured or drawn may change (and under ASan nothing dangles).
TEST_F(FontTest, HugeTextsSurviveTheGlyphCacheStartingAfresh) {
    const std::u16string text = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    ScopedFont huge(Font(kMaxFontHeight)), small(Font(20));
    Canvas before(window_, 60, 20, small.handle), after(window_, 60, 20, small.handle);
    Canvas canvas(window_, 200, 200, huge.handle);
    before.Draw(u"100", {0, 0, 60, 20});
    const SIZE first = canvas.Extent(text);
    EXPECT_EQ(canvas.Draw(text, {-300, -300, 200, 200}), kMaxFontHeight);
    EXPECT_EQ(canvas.Extent(text).cx, first.cx);
    after.Draw(u"100", {0, 0, 60, 20});
    EXPECT_EQ(after.Art(), before.Art());
}

}  // namespace
