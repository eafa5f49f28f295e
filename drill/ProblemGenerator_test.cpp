// The problems each level poses, over many seeds: operands, results, wrong choices and where
// the cards stand.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <tuple>

#include "drill/GameScreen.h"
#include "tests/support/DrillFixture.h"

using testsupport::DrillFixture;

namespace {

struct LevelRange {
    std::int32_t operation;
    std::int32_t maxResult;  // results lie in 0..maxResult
    std::int32_t maxWrong;   // wrong choices lie in 0..maxWrong
};

const LevelRange kLevels[12] = {
    {Addition, 10, 10},     {Addition, 20, 20},       {Subtraction, 9, 9},
    {Subtraction, 20, 20},  {Addition, 98, 98},       {Subtraction, 99, 99},
    {Multiplication, 9, 8}, {Multiplication, 36, 35}, {Multiplication, 144, 143},
    {Division, 3, 3},       {Division, 6, 6},         {Division, 12, 12},
};

class ProblemGeneratorTest : public DrillFixture {
protected:
    ProblemGeneratorTest() : game(std::make_unique<GameScreen>(window, instance)) {}
    ~ProblemGeneratorTest() override { game.reset(); }

    // Poses a problem at `level`, quietly (no level change is pending).
    void Pose(int level) {
        game->progress->level = level;
        game->shownLevel = level;
        game->NewProblem();
    }

    std::int32_t Number(int index) { return game->answers.At(index)->number; }

    std::unique_ptr<GameScreen> game;
};

TEST_F(ProblemGeneratorTest, EveryLevelPosesProblemsWithinItsRanges) {
    for (int level = 1; level <= 12; ++level) {
        const LevelRange& range = kLevels[level - 1];
        for (unsigned seed = 1; seed <= 400; ++seed) {
            std::srand(seed * 7919 + level);
            Pose(level);
            const Equation& problem = *game->equation;
            SCOPED_TRACE(testing::Message() << "level " << level << ", seed " << seed << ": "
                                            << problem.operand1 << " op " << problem.operand2);
            ASSERT_EQ(problem.operation, range.operation);
            ASSERT_GE(problem.operand1, 0);
            ASSERT_GE(problem.operand2, 0);
            ASSERT_GE(problem.result, 0);
            ASSERT_LE(problem.result, range.maxResult);
            if (range.operation == Division) {
                ASSERT_GE(problem.operand2, 1) << "never a zero divisor";
                ASSERT_EQ(problem.operand1 % problem.operand2, 0) << "always exact";
            }
            ASSERT_EQ(game->answers.count, 4);
            ASSERT_EQ(Number(0), problem.result) << "the correct card comes first";
            std::set<std::int32_t> shown;
            for (int i = 0; i < 4; ++i) shown.insert(Number(i));
            ASSERT_EQ(shown.size(), 4u) << "four different numbers";
            for (int i = 1; i < 4; ++i) {
                ASSERT_GE(Number(i), 0);
                ASSERT_LE(Number(i), range.maxWrong);
            }
        }
    }
}

TEST_F(ProblemGeneratorTest, LevelTenOffersExactlyTheOtherNumbersUpToThree) {
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::srand(seed);
        Pose(10);
        std::set<std::int32_t> wrong = {Number(1), Number(2), Number(3)};
        std::set<std::int32_t> expected = {0, 1, 2, 3};
        expected.erase(game->equation->result);
        ASSERT_EQ(wrong, expected);
    }
}

TEST_F(ProblemGeneratorTest, LevelSevenNeverOffersNineAsAWrongChoice) {
    bool sawThreeTimesThree = false;
    for (unsigned seed = 1; seed <= 600; ++seed) {
        std::srand(seed);
        Pose(7);
        for (int i = 1; i < 4; ++i) ASSERT_NE(Number(i), 9);
        sawThreeTimesThree |= game->equation->result == 9;
    }
    EXPECT_TRUE(sawThreeTimesThree);
}

TEST_F(ProblemGeneratorTest, ZeroDividendsOccurButRarely) {
    int zeroDividends = 0;
    for (unsigned seed = 1; seed <= 1000; ++seed) {
        std::srand(seed);
        Pose(12);
        zeroDividends += game->equation->operand1 == 0;
    }
    // A pair with a zero factor (about 2 in 13) survives three times in ten.
    EXPECT_GT(zeroDividends, 10);
    EXPECT_LT(zeroDividends, 100);
}

TEST_F(ProblemGeneratorTest, CardsStandInFourSlotsWithTheWrongOnesFilledLeftToRight) {
    int correctInSlot[4] = {};
    for (unsigned seed = 1; seed <= 2000; ++seed) {
        std::srand(seed);
        Pose(1 + seed % 12);
        std::vector<std::int32_t> wrongX;
        for (int i = 0; i < 4; ++i) {
            const Answer& card = *game->answers.At(i);
            ASSERT_EQ(card.GetY(), 268);
            ASSERT_EQ((card.GetX() - 20) % 50, 0);
            if (i == 0) {
                ++correctInSlot[(card.GetX() - 20) / 50];
            } else {
                wrongX.push_back(card.GetX());
            }
        }
        ASSERT_TRUE(std::is_sorted(wrongX.begin(), wrongX.end())) << "seed " << seed;
        ASSERT_EQ(std::set<std::int32_t>(wrongX.begin(), wrongX.end()).size(), 3u);
    }
    for (int slot = 0; slot < 4; ++slot) {
        EXPECT_GT(correctInSlot[slot], 400) << "slot " << slot;
        EXPECT_LT(correctInSlot[slot], 600) << "slot " << slot;
    }
}

TEST_F(ProblemGeneratorTest, AProblemNeverComesStraightBack) {
    for (int level = 1; level <= 12; ++level) {
        std::srand(level);
        Pose(level);
        for (int i = 0; i < 300; ++i) {
            const auto previous = std::make_tuple(
                game->equation->operation, game->equation->operand1, game->equation->operand2);
            Pose(level);
            ASSERT_NE(std::make_tuple(game->equation->operation, game->equation->operand1,
                                      game->equation->operand2),
                      previous)
                << "level " << level;
        }
    }
}

TEST_F(ProblemGeneratorTest, ASeedFixesTheWholeSequence) {
    auto sequence = [this] {
        std::srand(424242);
        std::vector<std::int32_t> seen;
        for (int level = 1; level <= 12; ++level) {
            Pose(level);
            seen.insert(seen.end(), {game->equation->operand1, game->equation->operand2,
                                     game->answers.At(0)->GetX(), Number(1), Number(2)});
        }
        return seen;
    };
    EXPECT_EQ(sequence(), sequence());
}

TEST_F(ProblemGeneratorTest, TheResultWaitsHiddenUnderTheBarFlushRight) {
    std::srand(5);
    Pose(9);
    const Equation& problem = *game->equation;
    EXPECT_EQ(problem.GetX(), (240 - problem.GetWidth()) / 2);
    EXPECT_EQ(problem.GetY(), 70);
    EXPECT_FALSE(problem.enabled);
    const Text& result = *game->resultText;
    EXPECT_FALSE(result.visible);
    EXPECT_EQ(result.GetY(), 70 + problem.GetHeight());
    EXPECT_EQ(result.GetX() + result.GetWidth(), problem.GetX() + problem.GetWidth());
}

}  // namespace
