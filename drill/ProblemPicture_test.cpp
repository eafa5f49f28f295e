// Renders a problem, answer cards and texts onto the game board through a screen and writes
// the picture to the build folder, for people to look at; checks that everything landed.
#include <gtest/gtest.h>

#include "drill/Answer.h"
#include "drill/Equation.h"
#include "resources/ResourceIds.h"
#include "scene/Image.h"
#include "scene/Text.h"
#include "tests/support/TestFigures.h"

using testsupport::ScreenFixture;

namespace {

constexpr COLORREF kSalmon = RGB(0xFF, 0x64, 0x64);

TEST_F(ScreenFixture, AProblemOnTheGameBoardIsWrittenToAPicture) {
    auto* board = new Image(screen.get(), window, IDB_GAME_BOARD);
    screen->background = Place(board, 0, 0, 1);
    auto* equation = new Equation(screen.get(), window, Addition, 98, 5, kSalmon);
    Place(equation, (240 - equation->GetWidth()) / 2, 70);
    const std::int32_t numbers[] = {0, 7, 144, 103};
    for (int slot = 0; slot < 4; ++slot) {
        Place(new Answer(screen.get(), window, numbers[slot]), 20 + 50 * slot, 268);
    }
    Place(new Text(screen.get(), instance, window, IDS_SCORE, RGB(0xFD, 0xFB, 0x43),
                   Text::BoldFont(16)),
          90, 20, 20);
    Place(new Text(screen.get(), window, TEXT("v. 1.1"), RGB(255, 255, 0), Text::BoldFont(12)), 15,
          240);
    screen->active = true;
    screen->Redraw(true);

    EXPECT_EQ(window.Pixel(20, 268), RGB(0, 0, 0)) << "a card's outline";
    EXPECT_EQ(window.Pixel(22, 270), RGB(0xFD, 0xFB, 0x43));
    EXPECT_EQ(window.Pixel(equation->GetX() + 2, 70 + equation->GetHeight() - 1), kSalmon)
        << "the bar";
    const std::string folder = testsupport::OutputFolder();
    EXPECT_TRUE(testsupport::WritePng(window, folder + "/problem.png"));
    EXPECT_TRUE(testsupport::WritePng(window, folder + "/problem@3x.png", 3));
}

}  // namespace
