// The drill played through its screen's entry points on a settable clock, and the problems it
// poses, worked out by hand from a fixed stream of draws (rand() is the test's own, at the end
// of the file).
#include "drill/GameScreen.h"

#include <cstdlib>
#include <map>
#include <tuple>

#include "tests/support/DrillFixture.h"

namespace {

// What rand() returns next while a test has set it; past its end, a generator a seed fixes.
std::vector<int> stream;
std::size_t drawn = 0;
unsigned seed = 1;

class GameScreenTest : public testsupport::DrillFixture {
protected:
    GameScreenTest() {
        stored.SetText(TEXT("level"), TEXT("5"));
        game = &Open<GameScreen>();
    }

    // 0 is the right card, 1 to 3 the wrong ones.
    Answer& Card(int index) { return *game->answers.At(index); }

    // Taps `wrongTaps` wrong cards, then the right one.
    void AnswerProblem(int wrongTaps) {
        for (int i = 1; i <= wrongTaps; ++i) Tap(Card(i));
        Tap(Card(0));
    }

    // Plays frames of the check mark, one every 251 ms; it ends at the fourth.
    void PlayCheckMark(int frames = 4) {
        for (int frame = 0; frame < frames; ++frame) {
            platform::testing::SetTickCount(now += 251);
            game->Tick(now);
        }
    }

    // Poses a problem at `level` and tells it as DescribeProblem does.
    std::string Pose(int level) {
        game->progress->level = level;
        game->NewProblem();
        game->RefreshStars();
        return testsupport::DescribeProblem(*game);
    }

    DWORD now = 1000;
    GameScreen* game = nullptr;
};

// A child's first problems at level 5: wrong taps cut the points to a third, four first tries
// of five raise the level after the check mark, and the exit box ends the game.
TEST_F(GameScreenTest, AChildPlaysUntilTheLevelRisesAndLeaves) {
    const int clickLoads = platform::testing::ResourceLoadCount(IDW_TAP);

    // 1. Two wrong cards click to their end before anything else happens and are hidden
    //    before the stylus is lifted; the right card then pays 1 point (12, 4, 1) and plays the
    //    chalk sound; the last card only clicks now.
    for (int card : {1, 2, 0, 3}) Tap(Card(card));
    EXPECT_EQ(TakeLog(), (Log{"click to the end", "down Answer", "click to the end", "down Answer",
                              "click to the end", "correct", "down Answer", "click to the end"}));

    // 2. Half drawn, the check mark stands over the result under the bar and the score shown
    //    waits for its end, which shows the new score and poses the next problem.
    PlayCheckMark(2);
    EXPECT_TRUE(Shows("drill-game-check-mark"));
    PlayCheckMark(2);
    EXPECT_EQ(testsupport::WideString(game->scoreText->text), TEXT("1"));

    // 3. Three wrong taps leave nothing, one leaves 4, none 12; each problem counts once, as
    //    right only without a wrong tap.
    for (auto [wrongTaps, score] : {std::pair{3, 1}, std::pair{1, 5}, std::pair{0, 17}}) {
        AnswerProblem(wrongTaps);
        PlayCheckMark();
        EXPECT_EQ(game->progress->score, score) << wrongTaps << " wrong";
    }
    EXPECT_EQ(std::pair(game->progress->stats[4].correct, game->progress->stats[4].attempts),
              std::pair(1, 4));

    // 4. Three more first tries make four of the last five: the level rises at once, the
    //    sixth star and the fanfare wait for the check mark.
    for (int problem = 0; problem < 3; ++problem) {
        TakeLog();
        AnswerProblem(0);
        if (problem < 2) PlayCheckMark();
    }
    EXPECT_EQ(game->progress->level, 6);
    EXPECT_FALSE(game->stars[5]->visible);
    PlayCheckMark();
    EXPECT_TRUE(game->stars[5]->visible);
    EXPECT_EQ(TakeLog(), (Log{"click to the end", "correct", "down Answer", "fanfare"}));

    // 5. A reset in the settings shows a zero score at the next paint and keeps the problem.
    // A new problem never repeats the last one's operands (its address may well be reused).
    const auto problem = std::pair(game->equation->operand1, game->equation->operand2);
    game->progress->ResetStatistics();
    game->Redraw(true);
    EXPECT_EQ(testsupport::WideString(game->scoreText->text), TEXT("0"));
    EXPECT_EQ(std::pair(game->equation->operand1, game->equation->operand2), problem);

    // 6. The exit box clicks to its end before it posts the end and passes the tap on.
    Tap(*game->exitBox);
    EXPECT_EQ(TakeLog(), (Log{"click to the end", "down Image exit box", "up Image exit box"}));
    EXPECT_TRUE(EndPosted());
    EXPECT_EQ(platform::testing::ResourceLoadCount(IDW_TAP), clickLoads) << "the cards share one click";
}

// Every new problem pays twelve points as a first try, even one that replaces an unfinished
// problem because a level was chosen in the settings.
TEST_F(GameScreenTest, EveryNewProblemStartsAtTwelvePointsAsAFirstTry) {
    // A level chosen after wrong taps replaces the problem at the next paint, with a fanfare.
    for (int card : {1, 2}) Tap(Card(card));
    game->progress->SetLevel(7);
    game->Redraw(true);
    EXPECT_TRUE(game->stars[6]->visible && !game->stars[7]->visible);
    EXPECT_FALSE(game->progress->levelChanged) << "the next paint would pose another problem";
    EXPECT_EQ(TakeLog().back(), "fanfare");
    AnswerProblem(0);
    EXPECT_EQ(std::pair(game->progress->score, game->progress->stats[6].correct), std::pair(12, 1));
    // A lower level chosen while the check mark plays comes silently; a wrong tap on its
    // problem, then the check mark's end poses one more, which owes nothing to that tap.
    TakeLog();
    game->progress->SetLevel(6);
    game->Redraw(true);
    EXPECT_EQ(TakeLog(), Log{});
    EXPECT_FALSE(game->stars[6]->visible);
    Tap(Card(1));
    PlayCheckMark();
    AnswerProblem(0);
    EXPECT_EQ(std::pair(game->progress->score, game->progress->stats[5].correct), std::pair(24, 1));
}

// Each row: a level, the draws rand() gives in turn, the problem and cards posed, and for some
// a picture of the drill then (each operation's symbol, operands of different widths
// right-aligned over the bar, cards of one to three digits). The wrong choices are drawn until
// three differ from the result and from each other; they fill the slots left to right around
// the right card's slot, drawn last.
const std::tuple<int, std::vector<int>, const char*, const char*> kPosed[] = {
    // Level 1, sums of 0..5: 7 % 6 = 1, 15 % 6 = 3. Wrong % 11: 4 is the result, 13 → 2,
    // 2 again, 21 → 10, 0 → 0. Slot 6 % 4 = 2.
    {1, {7, 15, 4, 13, 2, 21, 0, 6}, "1 + 3 = 4, 2 10 [4] 0", nullptr},
    // Level 1 again: 13 % 6 = 1, 9 % 6 = 3 is the problem just answered, drawn again:
    // 8 % 6 = 2, 11 % 6 = 5. Wrong % 11: 40 → 7 is the result, 3, 5, 1. Slot 23 % 4 = 3.
    {1, {13, 9, 8, 11, 40, 3, 5, 1, 23}, "2 + 5 = 7, 3 5 1 [7]", nullptr},
    // Level 2, sums of 0..10: 25 % 11 = 3, 16 % 11 = 5. Wrong % 21: 30 → 9, 44 → 2, 20.
    // Slot 7 % 4 = 3.
    {2, {25, 16, 30, 44, 20, 7}, "3 + 5 = 8, 9 2 20 [8]", nullptr},
    // Level 3, differences from 0..9: 18 % 10 = 8, then 23 % (8 + 1) = 5. Wrong % 10: 3 is
    // the result, 9, 17 → 7, 40 → 0. Slot 4 % 4 = 0.
    {3, {18, 23, 3, 9, 17, 40, 4}, "8 - 5 = 3, [3] 9 7 0", nullptr},
    // Level 4, from 0..20: 40 % 21 = 19, 45 % 20 = 5. Wrong % 21: 23 → 2, 35 → 14 is the
    // result, 60 → 18, 30 → 9. Slot 9 % 4 = 1.
    {4, {40, 45, 23, 35, 60, 30, 9}, "19 - 5 = 14, 2 [14] 18 9", "drill-level-4"},
    // Level 5, sums of 0..49: 120 % 50 = 20, 77 % 50 = 27. Wrong % 99: 150 → 51, 100 → 1,
    // 198 → 0. Slot 14 % 4 = 2.
    {5, {120, 77, 150, 100, 198, 14}, "20 + 27 = 47, 51 1 [47] 0", nullptr},
    // Level 6, from 0..99: 250 % 100 = 50, 61 % 51 = 10. Wrong % 100: 333 → 33, 199 → 99,
    // 1040 → 40 is the result, 123 → 23. Slot 12 % 4 = 0.
    {6, {250, 61, 333, 199, 1040, 123, 12}, "50 - 10 = 40, [40] 33 99 23", nullptr},
    // Level 7, products of 0..3: 6 % 4 = 2, 7 % 4 = 3. Wrong % (3 × 3): 15 → 6 is the
    // result, 17 → 8, 9 → 0, 22 → 4. Slot 5 % 4 = 1.
    {7, {6, 7, 15, 17, 9, 22, 5}, "2 x 3 = 6, 8 [6] 0 4", nullptr},
    // Level 8, products of 0..6: 20 % 7 = 6, 13 % 7 = 6. Wrong % 36: 37 → 1, 71 → 35,
    // 50 → 14. Slot 3 % 4 = 3.
    {8, {20, 13, 37, 71, 50, 3}, "6 x 6 = 36, 1 35 14 [36]", nullptr},
    // Level 9, products of 0..12: 50 % 13 = 11, 38 % 13 = 12. Wrong % 144: 200 → 56, 143,
    // 300 → 12. Slot 21 % 4 = 1.
    {9, {50, 38, 200, 143, 300, 21}, "11 x 12 = 132, 56 [132] 143 12", "drill-level-9"},
    // Level 10, from factors 0..3: 4 % 4 = 0, 5 % 4 = 1 hold a zero, kept only when the next
    // draw % 10 is 7 or more: 13 → 3, drawn again: 6 % 4 = 2, 11 % 4 = 3, so 2 × 3 ÷ 3.
    // Wrong % 4: 2 is the result, 1, 4 → 0, 7 → 3. Slot 8 % 4 = 0.
    {10, {4, 5, 13, 6, 11, 2, 1, 4, 7, 8}, "6 / 3 = 2, [2] 1 0 3", nullptr},
    // Level 11, from factors 0..6: 9 % 7 = 2, 14 % 7 = 0, kept as 8 % 10 = 8: 0 ÷ 2.
    // Wrong % 7: 7 → 0 is the result, 12 → 5, 3, 13 → 6. Slot 2 % 4 = 2.
    {11, {9, 14, 8, 7, 12, 3, 13, 2}, "0 / 2 = 0, 5 3 [0] 6", nullptr},
    // Level 12, from factors 0..12: 25 % 13 = 12, 15 % 13 = 2, so 12 × 2 ÷ 2. Wrong % 13:
    // 27 → 1, 38 → 12 is the result, 13 → 0, 18 → 5. Slot 6 % 4 = 2.
    {12, {25, 15, 27, 38, 13, 18, 6}, "24 / 2 = 12, 1 0 [12] 5", "drill-level-12"},
};

// Each level poses what its row works out by hand, using exactly the row's draws.
TEST_F(GameScreenTest, AFixedStreamOfDrawsPosesTheProblemsWorkedOutByHand) {
    for (const auto& [level, draws, posed, picture] : kPosed) {
        stream = draws;
        drawn = 0;
        EXPECT_EQ(Pose(level), posed);
        EXPECT_EQ(drawn, draws.size()) << "draws used for " << posed;
        EXPECT_TRUE(picture == nullptr || Shows(picture)) << picture;
    }
    EXPECT_EQ(Equation(game, window, Division, 7, 0, 0).result, 0) << "never attempted";
}

}  // namespace

// rand() and srand() of this program are the test's own, the same with every C library.
extern "C" void srand(unsigned value) { seed = value; }
extern "C" int rand() {
    if (drawn++ < stream.size()) return stream[drawn - 1];
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>(seed >> 16 & 0x7FFF);
}
