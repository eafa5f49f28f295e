// The drill played through its screen's entry points, on a settable clock.
#include "drill/GameScreen.h"

#include <gtest/gtest.h>

#include "platform/core/resource_loading.h"
#include "tests/support/DrillFixture.h"

using testsupport::Log;

namespace {

class GameScreenTest : public testsupport::DrillFixture {
protected:
    GameScreenTest() {
        stored.SetText(TEXT("level"), u"5");
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

    int VisibleStars() {
        int visible = 0;
        for (Image* star : game->stars) visible += star->visible;
        return visible;
    }

    DWORD now = 1000;
    GameScreen* game = nullptr;
};

// A child's first problems at level 5: wrong taps cut the points to a third, four first tries
// of five raise the level after the check mark, and the exit box ends the game.
TEST_F(GameScreenTest, AChildPlaysUntilTheLevelRisesAndLeaves) {
    const int clickLoads = platform::ResourceLoadCount(IDW_TAP);

    // 1. A wrong card clicks to its end before anything else happens, and is hidden before
    //    the stylus is lifted.
    Tap(Card(1));
    EXPECT_EQ(TakeLog(), (Log{"click to the end", "down Answer"}));

    // 2. After a second wrong tap the right card pays 1 point (12, 4, 1) and plays the chalk
    //    sound; the last card only clicks now.
    Tap(Card(2));
    Tap(Card(0));
    Tap(Card(3));
    EXPECT_EQ(TakeLog(), (Log{"click to the end", "down Answer", "click to the end", "correct",
                              "down Answer", "click to the end"}));

    // 3. Half drawn, the check mark stands over the result under the bar and the score shown
    //    waits for its end, which shows the new score and poses the next problem.
    PlayCheckMark(2);
    EXPECT_TRUE(Shows("drill-game-check-mark"));
    PlayCheckMark(2);
    EXPECT_EQ(std::u16string(game->scoreText->text), u"1");
    EXPECT_FALSE(game->resultText->visible || game->checkMark->visible);

    // 4. Three wrong taps leave nothing, one leaves 4, none 12; each problem counts once, as
    //    right only without a wrong tap.
    for (auto [wrongTaps, score] : {std::pair{3, 1}, std::pair{1, 5}, std::pair{0, 17}}) {
        AnswerProblem(wrongTaps);
        PlayCheckMark();
        EXPECT_EQ(game->progress->score, score) << wrongTaps << " wrong";
    }
    EXPECT_EQ(std::pair(game->progress->stats[4].correct, game->progress->stats[4].attempts),
              std::pair(1, 4));

    // 5. Three more first tries make four of the last five: the level rises at once, the
    //    sixth star and the fanfare wait for the check mark.
    for (int problem = 0; problem < 3; ++problem) {
        TakeLog();
        AnswerProblem(0);
        if (problem < 2) PlayCheckMark();
    }
    EXPECT_EQ(game->progress->level, 6);
    EXPECT_EQ(VisibleStars(), 5);
    PlayCheckMark();
    EXPECT_EQ(VisibleStars(), 6);
    EXPECT_EQ(TakeLog(), (Log{"click to the end", "correct", "down Answer", "fanfare"}));

    // 6. A reset in the settings shows a zero score at the next paint and keeps the problem.
    const Equation* problem = game->equation;
    game->progress->ResetStatistics();
    game->Redraw(true);
    EXPECT_EQ(std::u16string(game->scoreText->text), u"0");
    EXPECT_EQ(game->equation, problem);

    // 7. The exit box clicks to its end before it posts the end and passes the tap on.
    Tap(*game->exitBox);
    EXPECT_EQ(TakeLog(), (Log{"click to the end", "down Image exit box", "up Image exit box"}));
    EXPECT_TRUE(EndPosted());
    EXPECT_EQ(platform::ResourceLoadCount(IDW_TAP), clickLoads) << "the cards share one click";
}

// Every new problem pays twelve points as a first try, even one that replaces an unfinished
// problem because a level was chosen in the settings.
TEST_F(GameScreenTest, EveryNewProblemStartsAtTwelvePointsAsAFirstTry) {
    // A level chosen after wrong taps replaces the problem at the next paint, with a fanfare.
    Tap(Card(1));
    Tap(Card(2));
    game->progress->SetLevel(7);
    game->Redraw(true);
    EXPECT_EQ(game->equation->operation, Multiplication);
    EXPECT_EQ(VisibleStars(), 7);
    EXPECT_TRUE(game->firstTry && game->progress->bonus == 12 && !game->progress->levelChanged);
    EXPECT_EQ(TakeLog().back(), "fanfare");
    AnswerProblem(0);
    EXPECT_EQ(game->progress->score, 12);
    EXPECT_EQ(game->progress->stats[6].correct, 1);
    // A lower level chosen while the check mark plays comes silently; a wrong tap on its
    // problem, then the check mark's end poses one more, which owes nothing to that tap.
    TakeLog();
    game->progress->SetLevel(6);
    game->Redraw(true);
    EXPECT_EQ(TakeLog(), Log{});
    EXPECT_EQ(VisibleStars(), 6);
    Tap(Card(1));
    PlayCheckMark();
    AnswerProblem(0);
    EXPECT_EQ(game->progress->score, 24);
    EXPECT_EQ(game->progress->stats[5].correct, 1);
}

}  // namespace
