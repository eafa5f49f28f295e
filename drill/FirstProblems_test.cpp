// What every build must show alike: the drill a seed poses with the generator this build links
// (Linux's glibc; on Windows and in the browser glibc's generator in place of their own), and
// the percentages a parent reads.
#include <cstdlib>

#include "drill/SettingsScreen.h"

#include "tests/support/DrillFixture.h"

namespace {

class FirstProblemsTest : public testsupport::DrillFixture {};

// The end-to-end stories' seed (10:20:30 on the 6th), one problem at each of the first ten
// levels, so every operation and bound draws.
TEST_F(FirstProblemsTest, TheStoriesSeedPosesTheSameTenProblemsOnEveryPlatform) {
    auto& game = Open<GameScreen>();
    std::srand(((6u * 24 + 10) * 60 + 20) * 60 + 30);
    std::string posed;
    for (int level = 1; level <= 10; ++level) {
        game.progress->level = level;
        game.NewProblem();
        posed += testsupport::DescribeProblem(game) + "\n";
    }
    EXPECT_EQ(posed,
              "2 + 4 = 6, 9 5 4 [6]\n"
              "4 + 5 = 9, [9] 11 17 14\n"
              "1 - 1 = 0, 2 [0] 6 4\n"
              "12 - 4 = 8, 6 14 [8] 7\n"
              "4 + 27 = 31, [31] 26 91 63\n"
              "8 - 7 = 1, 67 11 [1] 15\n"
              "3 x 0 = 0, 2 [0] 5 1\n"
              "4 x 2 = 8, [8] 35 5 12\n"
              "9 x 10 = 90, 87 [90] 54 127\n"
              "0 / 1 = 0, [0] 1 3 2\n");
}

// 53 of 100 is 53 %, where a float ratio shows 52; 59 of 100 showed 58.
TEST_F(FirstProblemsTest, TheSettingsShowEachShareExactly) {
    stored.SetStatistics({53, 100, 59, 100, 106, 200});
    auto& settings = Open<SettingsScreen>();
    settings.Redraw(true);  // the percentages are made as the screen is painted
    std::string shown;
    for (int level = 0; level < 3; ++level) {
        const testsupport::WideString text = settings.percentTexts.At(level)->text;
        shown += std::string(text.begin(), text.end()) + " ";
    }
    EXPECT_EQ(shown, "53 59 53 ");
}

}  // namespace
