// The progress record: what it loads, how it levels, what it writes back, and what it keeps
// when the registry cannot be read or written for a while.
#include "drill/Progress.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <optional>
#include <tuple>

#include "platform/desktop/sqlite_store.h"
#include "tests/support/DrillFixture.h"

namespace {

using ProgressTest = testsupport::DrillFixture;

// "level 7, score 0, auto off", then "; 1: 3/4" for each level with statistics.
std::string Describe(const Progress& p) {
    std::string text = "level " + std::to_string(p.level) + ", score " + std::to_string(p.score) +
                       ", auto " + (p.autoLevel ? "on" : "off");
    for (int i = 0; i < Progress::kLevels; ++i) {
        const auto& [correct, attempts] = p.stats[i];
        if (correct == 0 && attempts == 0) continue;
        text += "; " + std::to_string(i + 1) + ": " + std::to_string(correct) + "/" +
                std::to_string(attempts);
    }
    return text;
}

// What the record loads from stored values, each row on a registry of its own. A value of
// the wrong type, a text without its terminator or longer than its buffer, and a number out
// of range or not a number load as the default, never clamped. Statistics are correct then
// attempts of each level in turn: a short value fills the leading records, a long one gives
// its first 96 bytes, and a record that cannot be true loads as zeros. Loading writes nothing.
TEST_F(ProgressTest, LoadsWhatIsStoredAndDefaultsTheRest) {
    // Values of the wrong type, and text without its terminator, first.
    stored.Set(TEXT("level"), REG_SZ, u"77", 4);
    stored.Set(TEXT("score"), REG_DWORD, "\5\0\0\0", 4);
    stored.Set(TEXT("auto"), REG_BINARY, u"1", 4);
    stored.SetText(TEXT("stat"), u"stat as text");
    EXPECT_EQ(Describe(Progress()), "level 1, score 0, auto on");
    // Level 1 right 3 times of 4, level 12 once of 10, then two counters too many.
    const std::vector<std::int32_t> longer = {3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0,
                                              0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 10, 9, 9};
    // Each row: the stored level, score and switch texts (none where null), the statistics,
    // and the record loaded.
    using Text = const char16_t*;
    const std::tuple<Text, Text, Text, std::vector<std::int32_t>, const char*> rows[] = {
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
        EXPECT_EQ(Describe(Progress()), loaded);
        EXPECT_EQ(stored.Text(TEXT("level")), level != nullptr ? level : u"<missing>")
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

// The score stops at the largest value that loads back; counts stop at the 32-bit limit.
TEST_F(ProgressTest, TheScoreAndTheCountsStopAtTheirLimits) {
    stored.SetText(TEXT("score"), u"999995");
    stored.SetStatistics({INT_MAX, INT_MAX, 5, INT_MAX});
    Progress progress;
    progress.AddBonusToScore();
    progress.RecordResult(true);
    progress.SetLevel(2);
    progress.RecordResult(true);
    EXPECT_EQ(Describe(progress),
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
const char* const kEarlierSession = "level 5, score 4, auto off; 1: 0/3";

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

// --- The same on the desktop's store, blocked at start-up -------------------------------

// Each row a store on a small disk of its own, stored to by an earlier session and then, as
// the program starts, locked by another program or with 8 KiB left on the disk, too little
// for the store's log and shared memory. The lock is waited for two seconds at most; nothing
// is written over what is stored; once unblocked, the session is added to it. The disks are
// mounted in a child process, in a mount namespace of its own; its failures are the test's.
TEST_F(ProgressTest, AStoreLockedOrOnAFullDiskAtStartUpIsWaitedForBrieflyAndOverwritesNothing) {
    const platform::testing::TemporaryFolder folders[2];
    const pid_t child = fork();
    if (child == 0) {
        [&] {
            ASSERT_TRUE(unshare(CLONE_NEWNS) == 0 || unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0);
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
            for (const bool locked : {true, false}) {
                SCOPED_TRACE(locked ? "locked" : "full disk");
                const std::string& folder = folders[locked].Path();
                ASSERT_EQ(mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=256k"), 0);
                const std::string file = folder + "/registry.db", filler = folder + "/filler";
                std::optional<platform::SqliteStore> store;
                // The store as a new start of the program opens it, once the last one closed it.
                auto start = [&] { platform::SetRegistryStore(&store.emplace(file)); };
                start();
                StoreAnEarlierSession(stored);
                platform::SetRegistryStore(nullptr);
                store.reset();
                std::optional<platform::testing::ForeignLock> lock;
                if (locked) {
                    ASSERT_TRUE(lock.emplace(file).Held());
                } else {
                    struct statvfs disk {};
                    ASSERT_EQ(statvfs(folder.c_str(), &disk), 0);
                    const int fill = open(filler.c_str(), O_CREAT | O_WRONLY, 0600);
                    const auto left = static_cast<off_t>(disk.f_bavail * disk.f_frsize) - 8192;
                    ASSERT_EQ(posix_fallocate(fill, 0, left), 0);
                    close(fill);
                }

                start();
                const auto started = std::chrono::steady_clock::now();
                Progress progress;
                EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
                EXPECT_EQ(progress.score, 0) << "it could not be read";
                lock.reset();
                unlink(filler.c_str());
                // One problem solved at the first tap; the next start finds it on top.
                progress.AddBonusToScore();
                progress.RecordResult(true);
                start();
                EXPECT_EQ(Describe(Progress()), "level 5, score 16, auto off; 1: 1/4");
            }
        }();
        std::fflush(stdout);
        _exit(HasFailure() ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child failed";
}

}  // namespace
