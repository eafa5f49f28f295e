// Drawing contexts, object selection and the pixel operations behind them.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>

#include "platform/testing/testing.h"
#include "platform/win32.h"
#include "tests/support/Pixels.h"

using platform::testing::HeadlessWindow;
using platform::testing::LiveGdiObjectCount;
using platform::testing::PixelAt;
using platform::testing::SetPixelAt;
using testsupport::PixelArt;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kKey16 = RGB(0xF6, 0x8C, 0xC5);   // background of 16-colour bitmaps
constexpr COLORREF kKey256 = RGB(0xF7, 0x8C, 0xC6);  // background of 256-colour bitmaps

const std::map<COLORREF, char> kLegend = {{kWhite, '.'}, {kBlack, '#'}, {kRed, 'r'},
                                          {kBlue, 'b'},  {kKey16, 'k'}, {kKey256, 'K'}};

// A canvas whose picture reads in this file's legend.
class Canvas : public testsupport::Canvas {
public:
    Canvas(HWND window, int w, int h, COLORREF colour = kWhite)
        : testsupport::Canvas(window, w, h, colour) {}
    std::string Art() const { return testsupport::Canvas::Art(kLegend); }
};

// Test names from the cases' descriptions.
template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& param) {
    std::string name = param.param.name;
    for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    }
    return name;
}

using GdiTest = testsupport::LeakCheckedTest;

// --- Memory contexts and object selection -----------------------------------------------

TEST_F(GdiTest, SelectObjectReturnsWhatItReplacedForEveryKind) {
    Canvas canvas(window_, 2, 2);
    HPEN pen = CreatePen(PS_SOLID, 3, kRed);
    HBRUSH brush = CreateSolidBrush(kBlue);
    HBITMAP other = CreateCompatibleBitmap(canvas.dc, 3, 3);

    EXPECT_EQ(SelectObject(canvas.dc, pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(canvas.dc, GetStockObject(BLACK_PEN)), pen);
    EXPECT_EQ(SelectObject(canvas.dc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(canvas.dc, GetStockObject(WHITE_BRUSH)), brush);
    EXPECT_EQ(SelectObject(canvas.dc, other), canvas.bitmap);
    EXPECT_EQ(SelectObject(canvas.dc, canvas.bitmap), other);

    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(other));
}

TEST_F(GdiTest, SelectionRulesOfBitmapsAndBadHandles) {
    Canvas first(window_, 2, 2);
    Canvas second(window_, 2, 2);
    HDC windowDC = GetDC(window_);

    // A bitmap sits in one memory context at a time, and never in a window's context.
    EXPECT_EQ(SelectObject(second.dc, first.bitmap), nullptr);
    EXPECT_EQ(SelectObject(windowDC, second.bitmap), nullptr);
    // Handles that are not live objects fail the call.
    int notAnObject = 0;
    EXPECT_EQ(SelectObject(first.dc, &notAnObject), nullptr);
    EXPECT_EQ(SelectObject(nullptr, second.bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(&notAnObject));
    EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(&notAnObject)));

    ReleaseDC(window_, windowDC);
}

TEST_F(GdiTest, ObjectsSelectedIntoAContextCannotBeDeleted) {
    Canvas canvas(window_, 2, 2);
    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    HGDIOBJ previousPen = SelectObject(canvas.dc, pen);

    EXPECT_FALSE(DeleteObject(canvas.bitmap));
    EXPECT_FALSE(DeleteObject(pen));
    SelectObject(canvas.dc, previousPen);
    EXPECT_TRUE(DeleteObject(pen));
    // Deleting a stock object is harmless and leaves it usable.
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
    EXPECT_NE(SelectObject(canvas.dc, GetStockObject(BLACK_PEN)), nullptr);
}

TEST_F(GdiTest, DisplayContextsBelongToTheirWindow) {
    HeadlessWindow other(100, 50);
    HDC dc = GetDC(window_);
    EXPECT_EQ(ReleaseDC(other, dc), 0);
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(ReleaseDC(window_, dc), 1);
    EXPECT_EQ(GetDC(reinterpret_cast<HWND>(&dc)), nullptr);
}

TEST(GdiDisplayTest, ClientRectAndDeviceCapsReportTheHeadlessDisplay) {
    for (SIZE size : {SIZE{240, 320}, SIZE{64, 48}}) {
        HeadlessWindow window(size.cx, size.cy);
        RECT client{-1, -1, -1, -1};
        ASSERT_TRUE(GetClientRect(window, &client));
        EXPECT_EQ(client.left, 0);
        EXPECT_EQ(client.top, 0);
        EXPECT_EQ(client.right, size.cx);
        EXPECT_EQ(client.bottom, size.cy);
        HDC dc = GetDC(window);
        EXPECT_EQ(GetDeviceCaps(dc, HORZRES), size.cx);
        EXPECT_EQ(GetDeviceCaps(dc, VERTRES), size.cy);
        ReleaseDC(window, dc);
    }
}

// --- Bitmaps --------------------------------------------------------------------------

TEST_F(GdiTest, CompatibleBitmapDescribesItselfAndStartsBlack) {
    Canvas canvas(window_, 1, 1);
    HBITMAP bitmap = CreateCompatibleBitmap(canvas.dc, 46, 50);
    BITMAP info{};
    EXPECT_EQ(GetObjectW(bitmap, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(GetObjectW(bitmap, sizeof(BITMAP) - 1, &info), 0);
    ASSERT_EQ(GetObjectW(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 46);
    EXPECT_EQ(info.bmHeight, 50);
    EXPECT_EQ(info.bmWidthBytes, 46 * 4);
    EXPECT_EQ(info.bmPlanes, 1);
    EXPECT_EQ(info.bmBitsPixel, 32);

    HGDIOBJ previous = SelectObject(canvas.dc, bitmap);
    EXPECT_EQ(PixelAt(canvas.dc, 45, 49), kBlack);
    SelectObject(canvas.dc, previous);
    DeleteObject(bitmap);

    EXPECT_EQ(CreateCompatibleBitmap(canvas.dc, -1, 5), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 5, 5), nullptr);
}

// --- Opaque block copies ----------------------------------------------------------------

// Copies the 3 × 2 picture "rb." / "#rb" onto a white 5 × 4 canvas.
struct BlitCase {
    const char* name;
    int x, y, width, height, sourceX, sourceY;
    const char* expected;
};

class BitBltClipTest : public GdiTest, public ::testing::WithParamInterface<BlitCase> {};

TEST_P(BitBltClipTest, CopiesOnlyWhatLiesOnBothSurfaces) {
    const BlitCase& c = GetParam();
    Canvas source(window_, 3, 2);
    const COLORREF picture[2][3] = {{kRed, kBlue, kWhite}, {kBlack, kRed, kBlue}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) SetPixelAt(source.dc, x, y, picture[y][x]);
    }
    Canvas dest(window_, 5, 4);
    EXPECT_TRUE(
        BitBlt(dest.dc, c.x, c.y, c.width, c.height, source.dc, c.sourceX, c.sourceY, SRCCOPY));
    EXPECT_EQ(dest.Art(), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Gdi, BitBltClipTest,
    ::testing::Values(
        BlitCase{"inside", 1, 1, 3, 2, 0, 0, ".....\n.rb..\n.#rb.\n.....\n"},
        BlitCase{"past the right and bottom edges", 3, 3, 3, 2, 0, 0,
                 ".....\n.....\n.....\n...rb\n"},
        BlitCase{"negative destination", -1, -1, 3, 2, 0, 0, "rb...\n.....\n.....\n.....\n"},
        BlitCase{"negative source", 0, 0, 3, 2, -2, -1, ".....\n..r..\n.....\n.....\n"},
        BlitCase{"larger than the source", 0, 0, 9, 9, 1, 0, "b....\nrb...\n.....\n.....\n"},
        BlitCase{"entirely outside", 5, 0, 3, 2, 0, 0, ".....\n.....\n.....\n.....\n"},
        BlitCase{"empty size", 0, 0, 0, 2, 0, 0, ".....\n.....\n.....\n.....\n"},
        BlitCase{"extreme coordinates", 2147483000, -2147483000, 2147483647, 2147483647, 0, 0,
                 ".....\n.....\n.....\n.....\n"}),
    CaseName<BlitCase>);

TEST_F(GdiTest, BitBltWithinOneBitmapHandlesOverlap) {
    Canvas canvas(window_, 5, 1);
    SetPixelAt(canvas.dc, 0, 0, kRed);
    SetPixelAt(canvas.dc, 1, 0, kBlue);
    SetPixelAt(canvas.dc, 2, 0, kBlack);
    BitBlt(canvas.dc, 1, 0, 3, 1, canvas.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(canvas.Art(), "rrb#.\n");
}

TEST_F(GdiTest, BitBltRefusesRasterOperationsOtherThanSourceCopy) {
    Canvas a(window_, 2, 2);
    Canvas b(window_, 2, 2);
    EXPECT_FALSE(BitBlt(a.dc, 0, 0, 2, 2, b.dc, 0, 0, 0x00EE0086u));  // SRCPAINT
}

// --- Colour-keyed copies ----------------------------------------------------------------

struct KeyCase {
    COLORREF pixel;
    bool dropped;
};

class TransparentImageKeyTest : public GdiTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(TransparentImageKeyTest, PixelsEqualToTheKeyOn565BitsDropOut) {
    const KeyCase& c = GetParam();
    Canvas source(window_, 1, 1, c.pixel);
    Canvas dest(window_, 1, 1, kBlue);
    EXPECT_TRUE(TransparentImage(dest.dc, 0, 0, 1, 1, source.dc, 0, 0, 1, 1, kKey16));
    EXPECT_EQ(PixelAt(dest.dc, 0, 0), c.dropped ? kBlue : c.pixel)
        << std::hex << "pixel 0x" << c.pixel;
}

INSTANTIATE_TEST_SUITE_P(
    Gdi, TransparentImageKeyTest,
    ::testing::Values(KeyCase{kKey16, true}, KeyCase{kKey256, true},
                      KeyCase{RGB(0xF0, 0x8C, 0xC0), true},   // low bits of red and blue
                      KeyCase{RGB(0xF7, 0x8F, 0xC7), true},   // low bits of all three
                      KeyCase{RGB(0xEE, 0x8C, 0xC5), false},  // red differs in its top 5 bits
                      KeyCase{RGB(0xF6, 0x88, 0xC5), false},  // green differs in its top 6 bits
                      KeyCase{RGB(0xF6, 0x8C, 0xCD), false},  // blue differs in its top 5 bits
                      KeyCase{RGB(0xF6, 0x8C, 0xB5), false}, KeyCase{kWhite, false},
                      KeyCase{kBlack, false}));

TEST_F(GdiTest, TransparentImageKeepsShapesAndClipsAtEdges) {
    Canvas source(window_, 3, 3, kKey256);
    SetPixelAt(source.dc, 1, 0, kRed);
    SetPixelAt(source.dc, 0, 1, kRed);
    SetPixelAt(source.dc, 1, 1, kBlack);
    SetPixelAt(source.dc, 2, 1, kRed);
    SetPixelAt(source.dc, 1, 2, kRed);
    Canvas dest(window_, 4, 4);
    // Drawn at (2, -1): the top row and right column of the shape fall off the canvas.
    EXPECT_TRUE(TransparentImage(dest.dc, 2, -1, 3, 3, source.dc, 0, 0, 3, 3, kKey16));
    EXPECT_EQ(dest.Art(),
              "..r#\n"
              "...r\n"
              "....\n"
              "....\n");
}

TEST_F(GdiTest, TransparentImageTakesABitmapAsSourceAndRefusesStretching) {
    Canvas source(window_, 2, 1, kKey16);
    SetPixelAt(source.dc, 1, 0, kRed);
    HBITMAP strip = source.bitmap;
    SelectObject(source.dc, source.previous);  // a source bitmap need not be selected
    Canvas dest(window_, 2, 1, kBlue);

    EXPECT_TRUE(TransparentImage(dest.dc, 0, 0, 2, 1, strip, 0, 0, 2, 1, kKey16));
    EXPECT_EQ(dest.Art(), "br\n");
    EXPECT_FALSE(TransparentImage(dest.dc, 0, 0, 2, 1, strip, 0, 0, 1, 1, kKey16));
    SelectObject(source.dc, strip);
}

// --- Rectangles -------------------------------------------------------------------------

struct RectangleCase {
    const char* name;
    int penStyle, penWidth;
    bool hollowBrush;
    RECT rect;
    const char* expected;
};

class RectangleTest : public GdiTest, public ::testing::WithParamInterface<RectangleCase> {};

TEST_P(RectangleTest, BrushFillsTheAreaAndThePenOutlinesItsEdge) {
    const RectangleCase& c = GetParam();
    Canvas canvas(window_, 8, 7);
    HPEN pen = CreatePen(c.penStyle, c.penWidth, kRed);
    HBRUSH brush = CreateSolidBrush(kBlue);
    HGDIOBJ previousPen = SelectObject(canvas.dc, pen);
    HGDIOBJ previousBrush =
        SelectObject(canvas.dc, c.hollowBrush ? GetStockObject(NULL_BRUSH) : brush);
    EXPECT_TRUE(Rectangle(canvas.dc, c.rect.left, c.rect.top, c.rect.right, c.rect.bottom));
    EXPECT_EQ(canvas.Art(), c.expected) << c.name;
    SelectObject(canvas.dc, previousPen);
    SelectObject(canvas.dc, previousBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

INSTANTIATE_TEST_SUITE_P(
    Gdi, RectangleTest,
    ::testing::Values(
        RectangleCase{"one pixel pen",
                      PS_SOLID,
                      1,
                      false,
                      {1, 1, 6, 5},
                      "........\n.rrrrr..\n.rbbbr..\n.rbbbr..\n.rrrrr..\n........\n........\n"},
        RectangleCase{"three pixel pen is centred on the edge",
                      PS_SOLID,
                      3,
                      false,
                      {1, 1, 8, 7},
                      "rrrrrrrr\nrrrrrrrr\nrrrrrrrr\nrrrbbbrr\nrrrbbbrr\nrrrrrrrr\nrrrrrrrr\n"},
        RectangleCase{"null pen fills the whole area",
                      PS_NULL,
                      1,
                      false,
                      {1, 1, 4, 3},
                      "........\n.bbb....\n.bbb....\n........\n........\n........\n........\n"},
        RectangleCase{"hollow brush draws the outline only",
                      PS_SOLID,
                      1,
                      true,
                      {0, 0, 4, 4},
                      "rrrr....\nr..r....\nr..r....\nrrrr....\n........\n........\n........\n"},
        RectangleCase{"corners given in reverse",
                      PS_SOLID,
                      1,
                      false,
                      {3, 3, 0, 0},
                      "rrr.....\nrbr.....\nrrr.....\n........\n........\n........\n........\n"},
        RectangleCase{"clipped at the bottom-right edge",
                      PS_SOLID,
                      3,
                      false,
                      {5, 4, 9, 9},
                      "........\n........\n........\n....rrrr\n....rrrr\n....rrrr\n....rrrr\n"}),
    CaseName<RectangleCase>);

}  // namespace
