// The drill played through the screen's own entry points: taps on the cards, the check mark
// on a settable clock, scoring, stars and levelling, the exit box.
#include "drill/GameScreen.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "resources/ResourceIds.h"
#include "tests/support/DrillFixture.h"

using platform::testing::SetTickCount;
using testsupport::DrillFixture;

namespace {

class GameScreenTest : public DrillFixture {
protected:
    void Build() {
        game = std::make_unique<GameScreen>(window, instance);
        game->screenListeners.InsertAt(&listener, game->screenListeners.count);
        game->active = true;
    }
    ~GameScreenTest() override { game.reset(); }

    Answer& Card(int index) { return *game->answers.At(index); }

    // Taps `wrongTaps` wrong cards, then the right one.
    void AnswerProblem(int wrongTaps) {
        for (int i = 1; i <= wrongTaps; ++i) Tap(*game, Card(i));
        Tap(*game, Card(0));
    }

    // Lets the check mark play to its end, a frame every 251 ms.
    void FinishCheckMark() {
        for (int frame = 0; frame < 4; ++frame) {
            now += 251;
            SetTickCount(now);
            game->Tick(now);
        }
    }

    int VisibleStars() {
        int visible = 0;
        for (Image* star : game->stars) visible += star->visible;
        return visible;
    }

    std::u16string ScoreShown() { return game->scoreText->text; }

    int SoundsOf(const void* wave) {
        int count = 0;
        for (const auto& call : sounds.calls) count += call.data == wave;
        return count;
    }

    DWORD now = 1000;
    std::unique_ptr<GameScreen> game;
};

TEST_F(GameScreenTest, ARightFirstTapPaysTwelveOnceTheCheckMarkHasEnded) {
    Build();
    AnswerProblem(0);
    EXPECT_TRUE(game->resultText->visible) << "the result shows under the bar";
    EXPECT_TRUE(game->checkMark->visible);
    EXPECT_EQ(SoundsOf(game->correctSound), 1);
    EXPECT_EQ(ScoreShown(), u"0") << "the score shown waits for the check mark";
    EXPECT_EQ(game->progress->score, 12);

    FinishCheckMark();
    EXPECT_EQ(ScoreShown(), u"12");
    EXPECT_FALSE(game->resultText->visible) << "the next problem is posed";
    EXPECT_EQ(Card(0).listeners.count, 1);
    EXPECT_FALSE(game->checkMark->visible);
    AnswerProblem(0);
    FinishCheckMark();
    EXPECT_EQ(ScoreShown(), u"24");
}

TEST_F(GameScreenTest, EachWrongTapHidesTheCardAndCutsThePointsToAThird) {
    struct Case {
        int wrongTaps;
        int points;
    };
    for (Case c : {Case{1, 4}, Case{2, 1}, Case{3, 0}}) {
        Build();
        const int scoreBefore = game->progress->score;
        for (int i = 1; i <= c.wrongTaps; ++i) {
            Tap(*game, Card(i));
            EXPECT_FALSE(Card(i).visible);
            EXPECT_FALSE(Card(i).enabled);
        }
        EXPECT_FALSE(game->firstTry);
        Tap(*game, Card(0));
        EXPECT_EQ(game->progress->score - scoreBefore, c.points) << c.wrongTaps << " wrong";
        EXPECT_TRUE(game->firstTry) << "the next problem starts afresh";
        EXPECT_EQ(game->progress->bonus, 12);
        game.reset();
    }
}

TEST_F(GameScreenTest, EachProblemIsRecordedOnceAsCorrectOnlyWithoutAWrongTap) {
    StoreNumber(TEXT("auto"), 1);
    Build();
    AnswerProblem(2);
    const LevelStatistics& record = game->progress->stats[0];
    EXPECT_EQ(record.attempts, 1);
    EXPECT_EQ(record.correct, 0);
    FinishCheckMark();
    AnswerProblem(0);
    EXPECT_EQ(record.attempts, 2);
    EXPECT_EQ(record.correct, 1);
}

TEST_F(GameScreenTest, AfterTheRightTapTheOtherCardsOnlyClick) {
    Build();
    Tap(*game, Card(0));
    const std::vector<std::string> forwarded = listener.log;
    const int score = game->progress->score;
    const std::size_t soundsBefore = sounds.calls.size();
    Tap(*game, Card(1));
    EXPECT_EQ(sounds.calls.size(), soundsBefore + 1);
    EXPECT_EQ(sounds.calls.back().data, answerTapSound);
    EXPECT_EQ(listener.log, forwarded) << "nothing forwarded";
    EXPECT_EQ(game->progress->score, score);
    EXPECT_EQ(game->progress->stats[0].attempts, 1);
    EXPECT_TRUE(Card(1).visible);
}

TEST_F(GameScreenTest, ATapOnACardIsForwardedAfterTheScreensOwnHandling) {
    Build();
    Tap(*game, Card(1));
    ASSERT_EQ(listener.log.size(), 1u) << "the card is hidden before the stylus is lifted";
    EXPECT_EQ(listener.log[0].rfind("down Answer", 0), 0u);
    EXPECT_FALSE(Card(1).visible);
    EXPECT_EQ(listener.lastScreen, game.get());
}

TEST_F(GameScreenTest, ALevelRiseShowsAStarAndPlaysTheFanfareAfterTheCheckMark) {
    Build();
    for (int problem = 0; problem < 4; ++problem) {
        AnswerProblem(0);
        FinishCheckMark();
    }
    EXPECT_EQ(VisibleStars(), 1);
    AnswerProblem(0);
    EXPECT_EQ(game->progress->level, 2);
    EXPECT_EQ(VisibleStars(), 1) << "the star waits for the check mark";
    EXPECT_EQ(SoundsOf(game->levelUpSound), 0);
    FinishCheckMark();
    EXPECT_EQ(VisibleStars(), 2);
    EXPECT_EQ(SoundsOf(game->levelUpSound), 1);
    EXPECT_EQ(game->equation->operation, Addition);
    EXPECT_EQ(game->shownLevel, 2);
}

TEST_F(GameScreenTest, ALevelFallHidesTheHighestStarSilently) {
    StoreNumber(TEXT("level"), 3);
    Build();
    EXPECT_EQ(VisibleStars(), 3);
    for (int problem = 0; problem < 5; ++problem) {
        AnswerProblem(1);
        FinishCheckMark();
    }
    EXPECT_EQ(game->progress->level, 2);
    EXPECT_EQ(VisibleStars(), 2);
    EXPECT_EQ(SoundsOf(game->levelUpSound), 0);
}

TEST_F(GameScreenTest, TheTopLevelShowsAllTwelveStars) {
    StoreNumber(TEXT("level"), 12);
    Build();
    EXPECT_EQ(VisibleStars(), 12);
    EXPECT_EQ(game->equation->operation, Division);
}

TEST_F(GameScreenTest, EveryNewProblemStartsAtTwelvePointsAsAFirstTry) {
    Build();
    // A level chosen in the settings after wrong taps replaces the problem at the next paint.
    Tap(*game, Card(1));
    Tap(*game, Card(2));
    game->progress->SetLevel(7);
    game->Redraw(true);
    EXPECT_EQ(game->equation->operation, Multiplication);
    EXPECT_EQ(VisibleStars(), 7);
    EXPECT_TRUE(game->firstTry);
    EXPECT_EQ(game->progress->bonus, 12);
    EXPECT_FALSE(game->progress->levelChanged);
    EXPECT_EQ(SoundsOf(game->levelUpSound), 1) << "the level rose";
    AnswerProblem(0);
    EXPECT_EQ(game->progress->score, 12);
    EXPECT_EQ(game->progress->stats[6].correct, 1);
    // Chosen while the check mark plays: a wrong tap on the new problem, then the check
    // mark's end poses one more, which owes nothing to that tap.
    game->progress->SetLevel(8);
    game->Redraw(true);
    Tap(*game, Card(1));
    FinishCheckMark();
    AnswerProblem(0);
    EXPECT_EQ(game->progress->score, 24);
    EXPECT_EQ(game->progress->stats[7].correct, 1);
}

TEST_F(GameScreenTest, AResetInTheSettingsShowsAZeroScoreAndKeepsTheProblem) {
    StoreNumber(TEXT("score"), 500);
    Build();
    EXPECT_EQ(ScoreShown(), u"500");
    const Equation* problem = game->equation;
    game->progress->ResetStatistics();
    game->Redraw(true);
    EXPECT_EQ(ScoreShown(), u"0");
    EXPECT_EQ(game->equation, problem);
    game->Redraw(true);
    EXPECT_EQ(game->equation, problem) << "with nothing changed, the problem stays";
}

TEST_F(GameScreenTest, TheExitBoxClicksToTheEndPostsTheEndAndForwards) {
    Build();
    std::vector<std::string> order;
    sounds.onPlay = [&](const platform::testing::SoundCall& call) {
        order.push_back(call.flags == SND_MEMORY ? "click to the end" : "other sound");
    };
    Tap(*game, *game->exitBox);
    EXPECT_EQ(order, (std::vector<std::string>{"click to the end"}));
    EXPECT_EQ(sounds.calls.back().data, game->exitSound);
    EXPECT_EQ(listener.log.size(), 2u) << "forwarded before the end is handled";
    EXPECT_EQ(TakeMessages(), (std::vector<UINT>{WM_DESTROY}));
}

TEST_F(GameScreenTest, TheSettingsButtonIsOnlyForwarded) {
    Build();
    game->PointerDown(20, 30);
    game->PointerUp(200, 200);  // slid off before lifting
    EXPECT_EQ(listener.log, (std::vector<std::string>{
                                "down Button " + std::to_string(IDB_SETTINGS_BUTTON) + " 20,30",
                                "up Button " + std::to_string(IDB_SETTINGS_BUTTON) + " 200,200"}));
    EXPECT_TRUE(sounds.calls.empty());
}

TEST_F(GameScreenTest, TheScoreCaptionEndsBeforeTheScoreBegins) {
    StoreNumber(TEXT("score"), 999999);
    Build();
    const Figure* caption = nullptr;
    for (auto* node = game->figures.head; node != nullptr; node = node->next) {
        Figure* figure = node->value;
        if (figure != game->scoreText && figure->GetZOrder() == 20) caption = figure;
    }
    ASSERT_NE(caption, nullptr);
    Figure* score = game->scoreText;
    EXPECT_EQ(score->GetX(), 130);
    EXPECT_LE(const_cast<Figure*>(caption)->GetBounds().right, 126);
    EXPECT_LT(score->GetBounds().right, game->exitBox->GetX()) << "six digits fit";
}

}  // namespace
