// The problem figure: layout of the operands, symbol and bar, and the result it knows.
#include "drill/Equation.h"

#include <gtest/gtest.h>

#include "platform/testing/testing.h"
#include "scene/Text.h"
#include "tests/support/TestFigures.h"

using platform::testing::PixelAt;
using testsupport::ScreenFixture;

namespace {

constexpr COLORREF kSalmon = RGB(0xFF, 0x64, 0x64);

class EquationTest : public ScreenFixture {
protected:
    // True when the text's glyph pixels appear in the equation's surface at (left, top).
    bool DrawnAt(Equation& equation, LPCWSTR string, int left, int top) {
        Text text(screen.get(), window, string, kSalmon, Equation::ProblemFont());
        for (int y = 0; y < text.GetHeight(); ++y) {
            for (int x = 0; x < text.GetWidth(); ++x) {
                if (PixelAt(text.GetSurface(), x, y) != kSalmon) continue;
                if (PixelAt(equation.GetSurface(), left + x, top + y) != kSalmon) return false;
            }
        }
        return true;
    }

    SIZE Measure(LPCWSTR string) {
        Text text(screen.get(), window, string, kSalmon, Equation::ProblemFont());
        return {text.GetWidth(), text.GetHeight()};
    }

    // Counts pixels of the row that are neither the key nor the text colour (must be none).
    static int RowPixels(Equation& equation, int y, COLORREF colour) {
        int count = 0;
        for (int x = 0; x < equation.GetWidth(); ++x) {
            count += PixelAt(equation.GetSurface(), x, y) == colour;
        }
        return count;
    }
};

TEST_F(EquationTest, OperandsOfDifferentWidthsAreRightAlignedOverTheBar) {
    Equation equation(screen.get(), window, Addition, 98, 5, kSalmon);
    const SIZE top = Measure(TEXT("98"));
    const SIZE bottom = Measure(TEXT("5"));
    const SIZE symbol = Measure(TEXT("+"));
    ASSERT_EQ(top.cy, 50);
    EXPECT_EQ(equation.GetHeight(), 2 * 50 + 6);
    EXPECT_EQ(equation.GetWidth(), top.cx + symbol.cx);
    EXPECT_TRUE(DrawnAt(equation, TEXT("98"), equation.GetWidth() - top.cx, 0));
    EXPECT_TRUE(DrawnAt(equation, TEXT("5"), equation.GetWidth() - bottom.cx, 51));
    // The symbol sits at the left edge, centred over the whole figure: (106 - 50) / 2.
    EXPECT_TRUE(DrawnAt(equation, TEXT("+"), 0, 28));
    EXPECT_EQ(lstrcmpW(equation.GetTypeName(), TEXT("Equation")), 0);
    EXPECT_TRUE(equation.visible);
    EXPECT_FALSE(equation.enabled);
}

TEST_F(EquationTest, TheBarFillsTheLowestRowsAcrossTheWholeWidth) {
    Equation equation(screen.get(), window, Subtraction, 7, 3, kSalmon);
    const int h = equation.GetHeight();
    for (int y = h - 4; y < h; ++y) {
        EXPECT_EQ(RowPixels(equation, y, kSalmon), equation.GetWidth()) << "row " << y;
    }
    EXPECT_EQ(RowPixels(equation, h - 5, TransparentKey), equation.GetWidth())
        << "a free row between the second operand and the bar";
    // Only the key colour and the problem's colour appear anywhere.
    for (int y = 0; y < h; ++y) {
        EXPECT_EQ(RowPixels(equation, y, kSalmon) + RowPixels(equation, y, TransparentKey),
                  equation.GetWidth());
    }
}

TEST_F(EquationTest, EachOperationDrawsItsSymbolAndKnowsItsResult) {
    struct Case {
        std::int32_t operation, first, second, result;
        LPCWSTR symbol;
    };
    for (Case c :
         {Case{Addition, 98, 5, 103, TEXT("+")}, Case{Subtraction, 7, 3, 4, TEXT("-")},
          Case{Multiplication, 12, 12, 144, TEXT("x")}, Case{Division, 12, 4, 3, TEXT("\u00F7")},
          Case{Division, 0, 5, 0, TEXT("\u00F7")}}) {
        Equation equation(screen.get(), window, c.operation, c.first, c.second, kSalmon);
        EXPECT_EQ(equation.result, c.result);
        const SIZE symbol = Measure(c.symbol);
        EXPECT_TRUE(DrawnAt(equation, c.symbol, 0, (equation.GetHeight() - symbol.cy) / 2))
            << "operation " << c.operation;
    }
}

TEST_F(EquationTest, ADivisionByZeroIsNeverAttempted) {
    Equation equation(screen.get(), window, Division, 7, 0, kSalmon);
    EXPECT_EQ(equation.result, 0);
}

}  // namespace
