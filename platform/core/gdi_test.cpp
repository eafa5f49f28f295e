// Drawing: contexts and the objects selected into them, block copies, rectangles and text
// (gdi.cpp, text.cpp), and the wide-string helpers that make the text (strings.cpp). Text is
// pinned to DejaVu Sans Bold with bi-level hinting, which fontconfig picks here for a bold
// sans-serif.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>

#include "platform/testing/testing.h"
#include "platform/win32.h"
#include "tests/support/Pixels.h"

using platform::testing::PixelAt;
using platform::testing::SetPixelAt;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kKey16 = RGB(0xF6, 0x8C, 0xC5);   // background of 16-colour bitmaps
constexpr COLORREF kKey256 = RGB(0xF7, 0x8C, 0xC6);  // background of 256-colour bitmaps

// A white canvas, read as rows of letters; text on it is red on blue.
struct Canvas : testsupport::Canvas {
    Canvas(HWND window, int w, int h) : testsupport::Canvas(window, w, h, kWhite) {
        SetTextColor(dc, kRed);
        SetBkColor(dc, kBlue);
    }
    std::string Art() const {
        return testsupport::Canvas::Art(
            {{kWhite, '.'}, {kBlack, '#'}, {kRed, 'r'}, {kBlue, 'b'}, {kKey256, 'K'}});
    }
};

using GdiTest = testsupport::LeakCheckedTest;

// Copies of "rbK" / "#rb" onto a white 5 × 4 canvas take only what lies on both surfaces;
// the keyed copy (TransparentImage, keyed on 16-colour pink) leaves the 256-colour pink out.
// The source's bitmap, selected in its context, goes into no other and cannot be deleted.
TEST_F(GdiTest, CopiesClipToBothSurfacesAndLeaveTheKeyOut) {
    using Row = std::tuple<bool, int, int, int, int, int, int, const char*>;
    for (const auto& [keyed, x, y, width, height, sourceX, sourceY, expected] : {
             Row{false, 1, 1, 3, 2, 0, 0, ".....\n.rbK.\n.#rb.\n.....\n"},
             Row{false, 3, 3, 3, 2, 0, 0, ".....\n.....\n.....\n...rb\n"},
             Row{true, -1, -1, 3, 2, 0, 0, "rb...\n.....\n.....\n.....\n"},
             Row{false, 0, 0, 3, 2, -2, -1, ".....\n..r..\n.....\n.....\n"},
             Row{false, 0, 0, 9, 9, 1, 0, "bK...\nrb...\n.....\n.....\n"},
             Row{true, 0, 0, 9, 9, 1, 0, "b....\nrb...\n.....\n.....\n"},
             Row{false, 5, 0, 3, 2, 0, 0, ".....\n.....\n.....\n.....\n"},
             Row{true, 0, 0, 0, 2, 0, 0, ".....\n.....\n.....\n.....\n"},
             Row{false, INT_MAX - 600, INT_MIN + 600, INT_MAX, INT_MAX, 0, 0,
                 ".....\n.....\n.....\n.....\n"},
         }) {
        Canvas source(window_, 3, 2), dest(window_, 5, 4);
        const COLORREF picture[] = {kRed, kBlue, kKey256, kBlack, kRed, kBlue};
        for (int i = 0; i < 6; ++i) SetPixelAt(source.dc, i % 3, i / 3, picture[i]);
        EXPECT_TRUE(
            keyed ? TransparentImage(dest.dc, x, y, width, height, source.dc, sourceX, sourceY,
                                     width, height, kKey16)
                  : BitBlt(dest.dc, x, y, width, height, source.dc, sourceX, sourceY, SRCCOPY));
        EXPECT_EQ(dest.Art(), expected) << x << ", " << y << (keyed ? " keyed" : "");
        EXPECT_EQ(SelectObject(dest.dc, source.bitmap), nullptr);
    }
    // Within one bitmap, a copy onto an overlapping area reads the source as it was.
    Canvas strip(window_, 5, 1);
    for (int x = 0; x < 3; ++x) SetPixelAt(strip.dc, x, 0, x == 0 ? kRed : x == 1 ? kBlue : kBlack);
    EXPECT_TRUE(TransparentImage(strip.dc, 1, 0, 3, 1, strip.dc, 0, 0, 3, 1, kKey16));
    EXPECT_EQ(strip.Art(), "rrb#.\n");
    // The key is compared on the 5-6-5 bits the artwork was drawn in: both forms of it and
    // colours differing only in the lower bits drop out; a colour differing in any kept bit
    // stays.
    const COLORREF row[] = {kKey16, kKey256, RGB(0xF0, 0x8C, 0xC0), RGB(0xF7, 0x8F, 0xC7),
                            // Differing in the top 5 bits of red, 6 of green, 5 of blue:
                            RGB(0xEE, 0x8C, 0xC5), RGB(0xF6, 0x88, 0xC5), RGB(0xF6, 0x8C, 0xCD),
                            RGB(0xF6, 0x8C, 0xB5), kBlack};
    Canvas source(window_, 9, 1), dest(window_, 9, 1);
    for (int x = 0; x < 9; ++x) SetPixelAt(source.dc, x, 0, row[x]);
    EXPECT_TRUE(TransparentImage(dest.dc, 0, 0, 9, 1, source.dc, 0, 0, 9, 1, kKey16));
    for (int x = 0; x < 9; ++x) EXPECT_EQ(PixelAt(dest.dc, x, 0), x < 4 ? kWhite : row[x]) << x;
}

// The brush fills the rectangle and the pen's outline is centred on its outermost pixels, cut
// at the surface, as the program draws cards (1-pixel pen), bars (3-pixel pen) and key fills
// (no pen). Selecting hands back what it replaced; a pen in use, or deleted, cannot be deleted.
TEST_F(GdiTest, Rectangles) {
    using Row = std::tuple<int, int, RECT, const char*>;
    for (const auto& [penStyle, penWidth, rect, expected] : {
             Row{PS_SOLID, 1, {1, 1, 6, 5}, "......\n.rrrrr\n.r###r\n.r###r\n.rrrrr\n......\n"},
             Row{PS_SOLID, 3, {1, 1, 6, 6}, "rrrrrr\nrrrrrr\nrrrrrr\nrrr#rr\nrrrrrr\nrrrrrr\n"},
             Row{PS_NULL, 1, {1, 1, 4, 3}, "......\n.###..\n.###..\n......\n......\n......\n"},
         }) {
        Canvas canvas(window_, 6, 6);
        HPEN pen = CreatePen(penStyle, penWidth, kRed);
        EXPECT_EQ(SelectObject(canvas.dc, pen), GetStockObject(BLACK_PEN));
        SelectObject(canvas.dc, GetStockObject(BLACK_BRUSH));
        EXPECT_TRUE(Rectangle(canvas.dc, rect.left, rect.top, rect.right, rect.bottom));
        EXPECT_EQ(canvas.Art(), expected) << rect;
        EXPECT_FALSE(DeleteObject(pen));
        EXPECT_EQ(SelectObject(canvas.dc, GetStockObject(BLACK_PEN)), pen);
        EXPECT_TRUE(DeleteObject(pen));
        EXPECT_FALSE(DeleteObject(pen));
    }
}

// The golden picture platform-text. On top, the program's lines at its four heights, each
// drawn as the program does, centred in the box it measured: glyphs on the baseline, the box
// in the background colour, as high as the font asked for. Below, "100" at 20 pixels (36 × 20)
// centred in each rectangle of the table on a 60 × 30 surface, side by side: only what lies
// in both the rectangle and the surface shows, and halves of negative slack truncate toward
// zero. Another face, which the program never asks for, is refused plainly.
TEST_F(GdiTest, TextPlacementAndClipping) {
    constexpr UINT kCentred = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
    LOGFONTW font{0, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, FF_SWISS, {}};  // bold Swiss, no face
    HFONT fonts[4];
    Canvas sheet(window_, 320, 170);
    sheet.Fill(kBlack);
    RECT box{0, -1, 0, -1};
    for (const auto& [i, height, text] :
         {std::tuple{0, 12, u"v. 1.1 Score 2000\u20132026"}, std::tuple{1, 16, u"Score 999999"},
          std::tuple{2, 20, u"+ - \u00D7 \u00F7 ="}, std::tuple{3, 50, u"0123456789"}}) {
        font.lfHeight = height;
        SelectObject(sheet.dc, fonts[i] = CreateFontIndirectW(&font));
        SIZE size{};
        ASSERT_TRUE(
            GetTextExtentExPointW(sheet.dc, text, lstrlenW(text), 0, nullptr, nullptr, &size));
        box = {i * 3, box.bottom + 1, i * 3 + size.cx, box.bottom + 1 + size.cy};
        EXPECT_EQ(DrawTextW(sheet.dc, text, -1, &box, kCentred), height);
    }
    // Inside; narrow and short; cut; over the top left, twice; over the bottom right; centred
    // on everything. Nothing shows of the last three: inside out, at the far end, from INT_MIN.
    constexpr LONG kMin = INT_MIN, kMax = INT_MAX;
    RECT cases[] = {{10, 4, 57, 29},          {30, 5, 51, 18},    {12, 7, 20, 13},
                    {-7, -5, 40, 40},         {-40, -20, 30, 20}, {40, 15, 90, 50},
                    {kMin, kMin, kMax, kMax}, {20, 20, 10, 30},   {kMax - 9, kMax - 9, kMax, kMax},
                    {kMin, kMin, 30, 20}};
    for (int i = 0; i < 10; ++i) {
        Canvas drawn(window_, 60, 30);
        SelectObject(drawn.dc, fonts[2]);
        EXPECT_EQ(DrawTextW(drawn.dc, u"100", 3, &cases[i], kCentred), 20) << i;
        BitBlt(sheet.dc, i % 5 * 64, 104 + i / 5 * 34, 60, 30, drawn.dc, 0, 0, SRCCOPY);
    }
    SelectObject(sheet.dc, GetStockObject(SYSTEM_FONT));
    EXPECT_TRUE(testsupport::MatchesGolden(sheet.dc, 320, 170, "platform-text"));
    for (HFONT made : fonts) EXPECT_TRUE(DeleteObject(made));
    font.lfFaceName[0] = u'Q';
    EXPECT_EQ(CreateFontIndirectW(&font), nullptr);
}

// wsprintfW writes decimals, the lowest too, and reports the length. lstrcpynW copies at most
// capacity - 1 characters and terminates, which lstrlenW and lstrcmpW then see.
TEST(Strings, FormatCopyAndCompare) {
    WCHAR buffer[16];
    EXPECT_EQ(wsprintfW(buffer, TEXT("%d %d"), INT_MIN, 305), 15);
    EXPECT_EQ(std::u16string(buffer), u"-2147483648 305");
    lstrcpynW(buffer, u"Chalkmere", 6);
    // Five characters and the terminator; the 8 past the capacity untouched.
    EXPECT_EQ(std::tuple(lstrlenW(buffer), buffer[6], lstrcmpW(buffer, u"Chalk")),
              std::tuple(5, u'8', 0));
    EXPECT_NE(lstrcmpW(buffer, u"Chalks"), 0);
}

}  // namespace
