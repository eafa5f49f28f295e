// The progress record: what it loads, how it levels, what it writes back, and what it keeps
// when the registry cannot be read or written for a while.
#include "drill/Progress.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <tuple>

#include "platform/desktop/sqlite_store.h"
#include "tests/support/DrillFixture.h"

namespace {

using ProgressTest = testsupport::DrillFixture;

// "level 7, score 0, auto off", then "; 1: 3/4" for each level with statistics.
std::string Describe(const Progress& progress) {
    std::string text = "level " + std::to_string(progress.level) + ", score " +
                       std::to_string(progress.score) + ", auto " +
                       (progress.autoLevel ? "on" : "off");
    for (int i = 0; i < Progress::kLevels; ++i) {
        const LevelStatistics& record = progress.stats[i];
        if (record.attempts == 0 && record.correct == 0) continue;
        text += "; " + std::to_string(i + 1) + ": " + std::to_string(record.correct) + "/" +
                std::to_string(record.attempts);
    }
    return text;
}

// What the record loads from stored values, each row on a registry of its own.
// A number out of range, longer than its buffer or not a number loads as the default, never
// clamped. Statistics are correct then attempts of each level in turn: a short value fills the
// leading records, a long one gives its first 96 bytes, and a record that cannot be true loads
// as zeros. Loading writes nothing.
TEST_F(ProgressTest, LoadsWhatIsStoredAndDefaultsTheRest) {
    // Level 1 right 3 times of 4, level 12 once of 10, then two counters too many.
    const std::vector<std::int32_t> longer = {3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0,
                                              0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 10, 9, 9};
    // Each row: the stored level, score and switch texts (none where null), the statistics,
    // and the record loaded.
    const std::tuple<const char16_t*, const char16_t*, const char16_t*, std::vector<std::int32_t>,
                     const char*>
        rows[] = {
            {nullptr, nullptr, nullptr, {}, "level 1, score 0, auto on"},
            {u"7", u"999999", u"1", {}, "level 7, score 999999, auto off"},
            {u"0", u"-5", u"0", {}, "level 1, score 0, auto on"},
            {u"13", u"1000000", u"2", {}, "level 1, score 0, auto on"},
            {u"12", u"99999999999", nullptr, {}, "level 12, score 0, auto on"},
            {u"7abc", u"abc", nullptr, {}, "level 7, score 0, auto on"},
            {u"000000012", u"12", nullptr, {}, "level 12, score 12, auto on"},
            {u"0000000012", u"", nullptr, {}, "level 1, score 0, auto on"},
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
        EXPECT_EQ(Describe(*AcquireProgress()), loaded);
        ReleaseProgress();
        EXPECT_EQ(stored.Text(TEXT("level")), level != nullptr ? level : u"<missing>")
            << "loading writes nothing";
    }
}

// A value of the wrong type, or text without its terminator, counts as missing.
TEST_F(ProgressTest, ValuesOfTheWrongTypeOrUnterminatedCountAsMissing) {
    stored.Set(TEXT("level"), REG_SZ, u"77", 4);
    stored.Set(TEXT("score"), REG_DWORD, "\5\0\0\0", 4);
    stored.Set(TEXT("auto"), REG_BINARY, u"1", 4);
    stored.SetText(TEXT("stat"), u"stat as text");
    EXPECT_EQ(Describe(*AcquireProgress()), "level 1, score 0, auto on");
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
    const std::tuple<const char16_t*, const char*, int, const char*> rows[] = {
        {u"5", "ccwc", 0, "level 5, window ccwc"},
        {u"5", "ccwcc", 0, "level 6, window "},
        {u"5", "wwwwc", 0, "level 4, window "},
        {u"5", "cwwcwcc", 0, "level 5, window cwwcwcc"},  // 2, 2 and 3 right of the last five
        {u"5", "cwwcwccc", 0, "level 6, window "},
        {u"12", "ccwccc", 0, "level 12, window ccwccc"},
        {u"1", "wwcww", 0, "level 1, window wwcww"},
        {u"1", "-ccccc", 0, "level 1, window "},
        {u"1", "ccw-cc+cc", 0, "level 2, window "},  // the results before the switch count again
        {u"1", "cc", 4, "level 4 chosen, window "},
        {u"1", "cc", 1, "level 1, window cc"},
        {u"1", "cc", 13, "level 1, window cc"},
        {u"1", "cc", INT_MIN, "level 1, window cc"},
    };
    for (const auto& [level, results, chosen, after] : rows) {
        platform::testing::TemporaryRegistry rowRegistry;
        stored.SetText(TEXT("level"), level);
        Progress& progress = *AcquireProgress();
        for (const char* r = results; *r != 0; ++r) {
            (*r == '-' || *r == '+') ? progress.SetAutoLevel(*r == '+')
                                     : progress.RecordResult(*r == 'c');
        }
        progress.SetLevel(chosen);
        std::string held = "level " + std::to_string(progress.level) +
                           (progress.levelChanged ? " chosen" : "") + ", window ";
        for (auto* node = progress.recentResults.head; node != nullptr; node = node->next) {
            held += node->value == 1 ? 'c' : 'w';
        }
        EXPECT_EQ(held, after) << results;
        const std::string now = std::to_string(progress.level);
        EXPECT_EQ(stored.Text(TEXT("level")), std::u16string(now.begin(), now.end()));
        ReleaseProgress();
    }
}

// The score stops at the largest value that loads back; counts stop at the 32-bit limit.
TEST_F(ProgressTest, TheScoreAndTheCountsStopAtTheirLimits) {
    stored.SetText(TEXT("score"), u"999995");
    stored.SetStatistics({INT_MAX, INT_MAX, 5, INT_MAX});
    AcquireProgress()->AddBonusToScore();
    sharedProgress->RecordResult(true);
    sharedProgress->SetLevel(2);
    sharedProgress->RecordResult(true);
    EXPECT_EQ(Describe(*sharedProgress),
              "level 2, score 999999, auto on; 1: 2147483647/2147483647; 2: 6/2147483647");
}

// --- A registry that cannot be read or written for a while ------------------------------

// Stored: score 4, level 5, automatic levelling off, level 1 with 0 of 3.
void StoreAnEarlierSession(testsupport::StoredValues& stored) {
    stored.SetText(TEXT("score"), u"4");
    stored.SetText(TEXT("level"), u"5");
    stored.SetText(TEXT("auto"), u"1");
    stored.SetStatistics({0, 3});
}

// 1. Unreadable at start: the record plays on the defaults and writes nothing over what is
//    stored. 2. Readable again: at the next result the stored values come back with this
//    session's points and results on top, and saving goes on.
TEST_F(ProgressTest, WhatCouldNotBeReadIsNeverOverwrittenAndTheSessionIsAddedToIt) {
    StoreAnEarlierSession(stored);
    registry.SetAvailable(false);
    Progress& progress = *AcquireProgress();
    EXPECT_EQ(Describe(progress), "level 1, score 0, auto on");
    progress.AddBonusToScore();
    progress.RecordResult(true);
    registry.SetAvailable(true);
    EXPECT_EQ(stored.Text(TEXT("score")), u"4") << "nothing was written over it";
    EXPECT_EQ(stored.Statistics()[1], 3);

    progress.AddBonusToScore();
    progress.RecordResult(true);
    EXPECT_EQ(stored.Text(TEXT("score")), u"28");
    EXPECT_EQ(stored.Text(TEXT("level")), u"5");
    EXPECT_EQ(stored.Text(TEXT("auto")), u"1");
    EXPECT_EQ(stored.Statistics()[0], 2);
    EXPECT_EQ(stored.Statistics()[1], 5);
    EXPECT_EQ(Describe(progress), "level 5, score 28, auto off; 1: 2/5");
    EXPECT_TRUE(progress.levelChanged && progress.scoreChanged) << "the screens show it";
}

// A level and the switch chosen while nothing could be saved are saved with the next change
// that can be; so is a reset, which clears what was stored.
TEST_F(ProgressTest, ChoicesMadeWhileSavingFailsAreSavedAtTheNextSave) {
    StoreAnEarlierSession(stored);
    for (bool readableAtStart : {true, false}) {
        registry.SetAvailable(readableAtStart);
        Progress& progress = *AcquireProgress();
        registry.SetAvailable(false);
        progress.SetLevel(7);
        progress.SetAutoLevel(true);
        progress.ResetStatistics();
        registry.SetAvailable(true);
        EXPECT_EQ(stored.Text(TEXT("level")), u"5");
        progress.RecordResult(false);
        EXPECT_EQ(stored.Text(TEXT("level")), u"7") << readableAtStart;
        EXPECT_EQ(stored.Text(TEXT("auto")), u"0") << readableAtStart;
        EXPECT_EQ(stored.Text(TEXT("score")), u"0") << readableAtStart;
        EXPECT_EQ(stored.Statistics()[13], 1) << readableAtStart;
        EXPECT_EQ(stored.Statistics()[1], 0) << readableAtStart;
        ReleaseProgress();
        StoreAnEarlierSession(stored);
    }
}

// --- The same on the desktop's store, locked elsewhere or on a full disk at start-up ----

// Runs `body` in a child process, whose failures count as the test's own.
void InChild(const std::function<void()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        body();
        std::fflush(stdout);
        _exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child failed";
}

class ProgressOnDiskTest : public testsupport::DrillFixture {
protected:
    ~ProgressOnDiskTest() override { platform::SetRegistryStore(nullptr); }
    // A store on `folder`, as a new start of the program opens it.
    void Start(const std::string& folder) {
        platform::SetRegistryStore(nullptr);
        store_ = std::make_unique<platform::SqliteStore>(folder + "/registry.db");
        platform::SetRegistryStore(store_.get());
    }
    // One problem solved at the first tap, then the record let go; what the next start loads
    // then holds the earlier session with that problem on top.
    void SolveAndRestart(const std::string& folder) {
        sharedProgress->AddBonusToScore();
        sharedProgress->RecordResult(true);
        ReleaseProgress();
        Start(folder);
        EXPECT_EQ(Describe(*AcquireProgress()), "level 5, score 16, auto off; 1: 1/4");
    }

    std::unique_ptr<platform::SqliteStore> store_;
};

TEST_F(ProgressOnDiskTest, ALockHeldAtStartUpIsWaitedForTwoSecondsAtMostAndOverwritesNothing) {
    const platform::testing::TemporaryFolder folder;
    Start(folder.Path());
    StoreAnEarlierSession(stored);
    Start(folder.Path());
    auto lock = std::make_unique<platform::testing::ForeignLock>(folder.Path() + "/registry.db");
    ASSERT_TRUE(lock->Held());
    const auto started = std::chrono::steady_clock::now();
    Progress& progress = *AcquireProgress();
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_LT(waited, std::chrono::milliseconds(3000));
    EXPECT_EQ(progress.score, 0) << "it could not be read";
    lock.reset();
    SolveAndRestart(folder.Path());
}

// The registry on a small disk with 8 KiB left, too little for its log and shared memory.
TEST_F(ProgressOnDiskTest, AFullDiskAtStartUpOverwritesNothing) {
    const platform::testing::TemporaryFolder folder;
    InChild([&] {
        // A disk of its own, in a mount namespace of its own.
        ASSERT_TRUE(unshare(CLONE_NEWNS) == 0 || unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0);
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
        ASSERT_EQ(mount("tmpfs", folder.Path().c_str(), "tmpfs", 0, "size=256k"), 0);
        Start(folder.Path());
        StoreAnEarlierSession(stored);
        platform::SetRegistryStore(nullptr);
        store_.reset();
        const std::string filler = folder.Path() + "/filler";
        {
            std::ofstream fill(filler, std::ios::binary);
            const std::string block(1024, 'x');
            while (fill.write(block.data(), block.size()) && fill.flush()) {
            }
        }
        const auto filled = std::filesystem::file_size(filler);
        ASSERT_EQ(truncate(filler.c_str(), static_cast<off_t>(filled) - 8192), 0);

        Start(folder.Path());
        ASSERT_EQ(AcquireProgress()->score, 0) << "the full disk was readable";
        unlink(filler.c_str());
        SolveAndRestart(folder.Path());
    });
}

}  // namespace
