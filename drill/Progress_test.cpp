// The progress record: what it loads, how it levels, what it writes back, and what it keeps
// when the registry cannot be read or written for a while.
#include "drill/Progress.h"

#include <climits>
#include <tuple>

#include "tests/support/DrillFixture.h"

namespace {

using ProgressTest = testsupport::DrillFixture;
using testsupport::Describe;
using testsupport::kEarlierSession;
using testsupport::StoreAnEarlierSession;

// What the record loads from stored values, each row on a registry of its own. A value of
// the wrong type, a text without its terminator or longer than its buffer, and a number out
// of range or not a number load as the default, never clamped. Statistics are correct then
// attempts of each level in turn: a short value fills the leading records, a long one gives
// its first 96 bytes, and a record that cannot be true loads as zeros. Loading writes nothing.
TEST_F(ProgressTest, LoadsWhatIsStoredAndDefaultsTheRest) {
    // Values of the wrong type, and text without its terminator, first.
    stored.Set(TEXT("level"), REG_SZ, TEXT("77"), 4);
    stored.Set(TEXT("score"), REG_DWORD, "\5\0\0\0", 4);
    stored.Set(TEXT("auto"), REG_BINARY, TEXT("1"), 4);
    stored.SetText(TEXT("stat"), TEXT("stat as text"));
    EXPECT_EQ(Describe(Progress()), "level 1, score 0, auto on");
    // Level 1 right 3 times of 4, level 12 once of 10, then two counters too many.
    const std::vector<std::int32_t> longer = {3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0,
                                              0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 10, 9, 9};
    // Each row: the stored level, score and switch texts (none where null), the statistics,
    // and the record loaded.
    using Text = LPCWSTR;
    const std::tuple<Text, Text, Text, std::vector<std::int32_t>, const char*> rows[] = {
        {nullptr, nullptr, nullptr, {}, "level 1, score 0, auto on"},
        {TEXT("7"), TEXT("999999"), TEXT("1"), {}, "level 7, score 999999, auto off"},
        {TEXT("0"), TEXT("-5"), TEXT("0"), {}, "level 1, score 0, auto on"},
        {TEXT("13"), TEXT("1000000"), TEXT("2"), {}, "level 1, score 0, auto on"},
        {TEXT("12"), TEXT("99999999999"), nullptr, {}, "level 12, score 0, auto on"},
        {TEXT("7abc"), TEXT("abc"), nullptr, {}, "level 7, score 0, auto on"},
        {TEXT("000000012"), TEXT("12"), nullptr, {}, "level 12, score 12, auto on"},
        {TEXT("0000000012"), TEXT(""), nullptr, {}, "level 1, score 0, auto on"},
        {nullptr, nullptr, nullptr, longer, "level 1, score 0, auto on; 1: 3/4; 12: 1/10"},
        {nullptr, nullptr, nullptr, {2, 5, 1}, "level 1, score 0, auto on; 1: 2/5"},
        {nullptr, nullptr, nullptr, {-1, 5, 9, 4, 2, 3}, "level 1, score 0, auto on; 3: 2/3"},
    };
    for (const auto& [level, score, autoOff, stat, loaded] : rows) {
        platform::testing::TemporaryRegistry rowRegistry;
        if (level != nullptr) stored.SetText(TEXT("level"), level);
        if (score != nullptr) stored.SetText(TEXT("score"), score);
        if (autoOff != nullptr) stored.SetText(TEXT("auto"), autoOff);
        if (!stat.empty()) stored.SetStatistics(stat);
        EXPECT_EQ(Describe(Progress()), loaded);
        EXPECT_EQ(stored.Text(TEXT("level")), level != nullptr ? level : TEXT("<missing>"))
            << "loading writes nothing";
    }
}

// How results and a level chosen in the settings move the level and the recent results.
// Four or five right of the last five raise the level, one or none lower it, and either
// empties the window; at the top and the bottom it keeps growing. While automatic levelling
// is off results are not collected. A level chosen in the settings is flagged for the drill
// ("chosen") and empties the window; the current level or one outside the table changes
// nothing. The level is stored as it changes.
TEST_F(ProgressTest, LevelsByTheLastFiveResults) {
    // The level at start; results, 'c' right at the first try and 'w' not, with '-' and '+'
    // switching automatic levelling off and on; a level then chosen in the settings (0 is
    // outside the table); what the record holds afterwards.
    const std::tuple<LPCWSTR, const char*, int, const char*> rows[] = {
        {TEXT("5"), "ccwc", 0, "level 5, window ccwc"},
        {TEXT("5"), "ccwcc", 0, "level 6, window "},
        {TEXT("5"), "wwwwc", 0, "level 4, window "},
        {TEXT("5"), "cwwcwcc", 0, "level 5, window cwwcwcc"},  // 2, 2 and 3 right of the last five
        {TEXT("5"), "cwwcwccc", 0, "level 6, window "},
        {TEXT("12"), "ccwccc", 0, "level 12, window ccwccc"},
        {TEXT("1"), "wwcww", 0, "level 1, window wwcww"},
        {TEXT("1"), "-ccccc", 0, "level 1, window "},
        {TEXT("1"), "ccw-cc+cc", 0, "level 2, window "},  // the results before the switch count again
        {TEXT("1"), "cc", 4, "level 4 chosen, window "},
        {TEXT("1"), "cc", 1, "level 1, window cc"},
        {TEXT("1"), "cc", 13, "level 1, window cc"},
    };
    for (const auto& [level, results, chosen, after] : rows) {
        platform::testing::TemporaryRegistry rowRegistry;
        stored.SetText(TEXT("level"), level);
        Progress progress;
        for (const char* r = results; *r != 0; ++r) {
            (*r == '-' || *r == '+') ? progress.SetAutoLevel(*r == '+')
                                     : progress.RecordResult(*r == 'c');
        }
        progress.SetLevel(chosen);
        std::string held = "level " + std::to_string(progress.level) +
                           (progress.levelChanged ? " chosen" : "") + ", window ";
        for (auto* n = progress.recentResults.head; n; n = n->next) held += "wc"[n->value];
        EXPECT_EQ(held, after) << results;
        EXPECT_EQ(Progress().level, progress.level) << "the level is stored as it changes";
    }
}

// The score stops at the largest value that loads back; counts stop at the 32-bit limit. So
// do the points and results of a start that could not read the record, added to it later.
TEST_F(ProgressTest, TheScoreAndTheCountsStopAtTheirLimits) {
    for (const bool readableAtStart : {true, false}) {
        stored.SetText(TEXT("score"), TEXT("999995"));
        stored.SetStatistics({INT_MAX, INT_MAX, 5, INT_MAX});
        registry.SetAvailable(readableAtStart);
        Progress progress;
        progress.AddBonusToScore();
        progress.RecordResult(true);
        registry.SetAvailable(true);
        progress.SetLevel(2);
        progress.RecordResult(true);
        const char* const expected =
            "level 2, score 999999, auto on; 1: 2147483647/2147483647; 2: 6/2147483647";
        EXPECT_EQ(Describe(progress), expected) << readableAtStart;
        EXPECT_EQ(Describe(Progress()), expected) << "as saved";
        stored.SetText(TEXT("level"), TEXT("1"));
    }
}

// Each share is the exact percentage rounded down, for every count a parent may read and for
// counts at the 32-bit limit; nothing tried is 0.
TEST_F(ProgressTest, EachPercentageIsTheExactShareRoundedDown) {
    Progress progress;
    const auto exact = [](long long correct, long long attempts) {
        int percent = 0;
        while (percent < 100 && (percent + 1) * attempts <= correct * 100) ++percent;
        return percent;
    };
    std::vector<std::pair<std::int32_t, std::int32_t>> counts = {
        {0, 0}, {INT_MAX, INT_MAX}, {INT_MAX - 1, INT_MAX}, {1073741823, INT_MAX},
        {21474836, INT_MAX}, {21474837, INT_MAX}, {2126008811, 2147483647}};
    for (std::int32_t attempts = 1; attempts <= 100; ++attempts) {
        for (std::int32_t correct = 0; correct <= attempts; ++correct) {
            counts.emplace_back(correct, attempts);
        }
    }
    int wrong = 0;
    for (const auto& [correct, attempts] : counts) {
        progress.stats[4] = {correct, attempts};
        const int expected = attempts == 0 ? 0 : exact(correct, attempts);
        wrong += progress.CorrectPercent(5) != expected;
        EXPECT_EQ(progress.CorrectPercent(5), expected) << correct << " of " << attempts;
        if (wrong > 3) break;
    }
}

// --- A registry that cannot be read or written for a while ------------------------------

// 1. Unreadable at start: the record plays on the defaults and writes nothing over what is
//    stored. 2. Readable again: at the next result the stored values come back with this
//    session's points and results on top, and saving goes on. (A new Progress loads what a
//    new start of the program would.)
TEST_F(ProgressTest, WhatCouldNotBeReadIsNeverOverwrittenAndTheSessionIsAddedToIt) {
    StoreAnEarlierSession(stored);
    registry.SetAvailable(false);
    Progress progress;
    EXPECT_EQ(Describe(progress), "level 1, score 0, auto on");
    progress.AddBonusToScore();
    progress.RecordResult(true);
    registry.SetAvailable(true);
    EXPECT_EQ(Describe(Progress()), kEarlierSession) << "nothing was written over it";

    progress.AddBonusToScore();
    progress.RecordResult(true);
    EXPECT_EQ(Describe(progress), "level 5, score 28, auto off; 1: 2/5");
    EXPECT_EQ(Describe(Progress()), Describe(progress)) << "saved";
    EXPECT_TRUE(progress.levelChanged && progress.scoreChanged) << "the screens show it";
}

// A level and the switch chosen while nothing could be saved are saved with the next change
// that can be; so is a reset, which clears what was stored.
TEST_F(ProgressTest, ChoicesMadeWhileSavingFailsAreSavedAtTheNextSave) {
    for (bool readableAtStart : {true, false}) {
        StoreAnEarlierSession(stored);
        registry.SetAvailable(readableAtStart);
        Progress progress;
        registry.SetAvailable(false);
        progress.SetLevel(7);
        progress.SetAutoLevel(true);
        progress.ResetStatistics();
        registry.SetAvailable(true);
        EXPECT_EQ(Describe(Progress()), kEarlierSession) << readableAtStart;
        progress.RecordResult(false);
        EXPECT_EQ(Describe(Progress()), "level 7, score 0, auto on; 7: 0/1") << readableAtStart;
    }
}

}  // namespace
