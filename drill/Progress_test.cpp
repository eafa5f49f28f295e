// The progress record: what it loads from the registry, how it levels, what it writes back.
#include "drill/Progress.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop/sqlite_store.h"
#include "platform/testing/testing.h"

using platform::testing::TemporaryRegistry;

namespace {

constexpr LPCWSTR kKeyPath = TEXT("Software\\Brindlewick\\Chalkmere");

// Direct access to the stored values, below the record.
class StoredValues {
public:
    void Set(LPCWSTR name, DWORD type, const void* data, DWORD size) {
        HKEY key = Open();
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void SetText(LPCWSTR name, const std::u16string& text) {
        Set(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * 2));
    }
    void SetStatistics(const std::vector<std::int32_t>& counters) {
        Set(TEXT("stat"), REG_BINARY, counters.data(), static_cast<DWORD>(counters.size() * 4));
    }
    bool Has(LPCWSTR name) {
        HKEY key = Open();
        DWORD size = 0;
        const LONG status = RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size);
        RegCloseKey(key);
        return status == ERROR_SUCCESS;
    }
    // A text value as stored, including the check that it was written with its terminator.
    std::u16string Text(LPCWSTR name) {
        std::vector<BYTE> bytes = Bytes(name);
        if (bytes.size() < 2 || bytes.size() % 2 != 0 || bytes[bytes.size() - 1] != 0 ||
            bytes[bytes.size() - 2] != 0) {
            return u"<not a terminated text>";
        }
        return std::u16string(reinterpret_cast<const char16_t*>(bytes.data()),
                              bytes.size() / 2 - 1);
    }
    std::vector<std::int32_t> Statistics() {
        std::vector<BYTE> bytes = Bytes(TEXT("stat"));
        std::vector<std::int32_t> counters(bytes.size() / 4);
        std::memcpy(counters.data(), bytes.data(), counters.size() * 4);
        return counters;
    }

private:
    HKEY Open() {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        return key;
    }
    std::vector<BYTE> Bytes(LPCWSTR name) {
        HKEY key = Open();
        DWORD type = 0;
        DWORD size = 0;
        std::vector<BYTE> bytes;
        if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            bytes.resize(size);
            RegQueryValueExW(key, name, nullptr, &type, bytes.data(), &size);
        }
        RegCloseKey(key);
        return bytes;
    }
};

class ProgressTest : public ::testing::Test {
protected:
    ~ProgressTest() override {
        while (progressRefs > 0) ReleaseProgress();
    }

    Progress& Load() { return *AcquireProgress(); }

    // Records results given as a string of 'c' (correct) and 'w' (wrong).
    static void Record(Progress& progress, const std::string& results) {
        for (char result : results) progress.RecordResult(result == 'c');
    }

    TemporaryRegistry registry_;
    StoredValues stored_;
};

// --- Loading ----------------------------------------------------------------------------

TEST_F(ProgressTest, AnEmptyRegistryGivesTheDefaultsAndCreatesOnlyTheKey) {
    Progress& progress = Load();
    EXPECT_EQ(progress.level, 1);
    EXPECT_EQ(progress.score, 0);
    EXPECT_TRUE(progress.autoLevel);
    EXPECT_EQ(progress.bonus, 12);
    EXPECT_FALSE(progress.levelChanged);
    EXPECT_FALSE(progress.scoreChanged);
    for (const LevelStatistics& record : progress.stats) {
        EXPECT_EQ(record.correct, 0);
        EXPECT_EQ(record.attempts, 0);
    }
    DWORD disposition = 0;
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    &disposition);
    RegCloseKey(key);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    for (LPCWSTR name : {TEXT("score"), TEXT("level"), TEXT("auto"), TEXT("stat")}) {
        EXPECT_FALSE(stored_.Has(name)) << "nothing is written at load time";
    }
}

struct StoredNumberCase {
    const char16_t* name;
    const char16_t* text;
    int expected;  // the field after loading; for "auto", 1 means automatic levelling on
};

class StoredNumberTest : public ProgressTest,
                         public ::testing::WithParamInterface<StoredNumberCase> {};

TEST_P(StoredNumberTest, LoadsInRangeNumbersAndDefaultsTheRest) {
    const StoredNumberCase& c = GetParam();
    stored_.SetText(c.name, c.text);
    Progress& progress = Load();
    const std::u16string name = c.name;
    const int loaded = name == u"score"   ? progress.score
                       : name == u"level" ? progress.level
                                          : (progress.autoLevel ? 1 : 0);
    EXPECT_EQ(loaded, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Progress, StoredNumberTest,
    ::testing::Values(StoredNumberCase{u"level", u"7", 7}, StoredNumberCase{u"level", u"0", 1},
                      StoredNumberCase{u"level", u"13", 1}, StoredNumberCase{u"level", u"12", 12},
                      StoredNumberCase{u"level", u"7abc", 7}, StoredNumberCase{u"level", u"abc", 1},
                      StoredNumberCase{u"level", u"", 1}, StoredNumberCase{u"level", u" 9", 9},
                      StoredNumberCase{u"level", u"000000012", 12},
                      StoredNumberCase{u"level", u"0000000012", 1},  // longer than the buffer
                      StoredNumberCase{u"score", u"-5", 0},
                      StoredNumberCase{u"score", u"1000000", 0},
                      StoredNumberCase{u"score", u"999999", 999999},
                      StoredNumberCase{u"score", u"99999999999", 0},
                      StoredNumberCase{u"auto", u"1", 0}, StoredNumberCase{u"auto", u"0", 1},
                      StoredNumberCase{u"auto", u"2", 1}));

TEST_F(ProgressTest, ValuesOfTheWrongTypeOrUnterminatedCountAsMissing) {
    const char16_t seven[] = {u'7', u'7'};  // text without a terminator
    stored_.Set(TEXT("level"), REG_SZ, seven, sizeof seven);
    const std::int32_t number = 5;
    stored_.Set(TEXT("score"), REG_DWORD, &number, sizeof number);
    stored_.Set(TEXT("auto"), REG_BINARY, u"1", 4);
    stored_.SetText(TEXT("stat"), u"stat as text");
    Progress& progress = Load();
    EXPECT_EQ(progress.level, 1);
    EXPECT_EQ(progress.score, 0);
    EXPECT_TRUE(progress.autoLevel);
    EXPECT_EQ(progress.stats[0].attempts, 0);
}

TEST_F(ProgressTest, StatisticsLoadInLevelOrderCorrectThenAttempts) {
    std::vector<std::int32_t> counters(24, 0);
    counters[0] = 3;    // level 1 correct
    counters[1] = 4;    // level 1 attempts
    counters[22] = 1;   // level 12 correct
    counters[23] = 10;  // level 12 attempts
    stored_.SetStatistics(counters);
    Progress& progress = Load();
    EXPECT_EQ(progress.stats[0].correct, 3);
    EXPECT_EQ(progress.stats[0].attempts, 4);
    EXPECT_EQ(progress.stats[11].correct, 1);
    EXPECT_EQ(progress.stats[11].attempts, 10);
}

TEST_F(ProgressTest, AShortStatisticsValueFillsOnlyTheLeadingRecords) {
    stored_.SetStatistics({2, 5, 1});  // level 1 whole, half of level 2
    Progress& progress = Load();
    EXPECT_EQ(progress.stats[0].correct, 2);
    EXPECT_EQ(progress.stats[0].attempts, 5);
    EXPECT_EQ(progress.stats[1].correct, 0) << "correct 1 above attempts 0 is not kept";
    EXPECT_EQ(progress.stats[2].attempts, 0);
}

TEST_F(ProgressTest, ALongStatisticsValueUsesItsFirst96Bytes) {
    stored_.SetStatistics(std::vector<std::int32_t>(30, 7));
    Progress& progress = Load();
    for (const LevelStatistics& record : progress.stats) {
        EXPECT_EQ(record.correct, 7);
        EXPECT_EQ(record.attempts, 7);
    }
}

TEST_F(ProgressTest, ARecordThatCannotBeTrueLoadsAsZerosAndTheOthersKeepTheirs) {
    std::vector<std::int32_t> counters(24, 0);
    counters[0] = -1;  // level 1: negative count
    counters[1] = 5;
    counters[2] = 9;  // level 2: more correct than attempts
    counters[3] = 4;
    counters[4] = 2;  // level 3: fine
    counters[5] = 3;
    stored_.SetStatistics(counters);
    Progress& progress = Load();
    EXPECT_EQ(progress.stats[0].attempts, 0);
    EXPECT_EQ(progress.stats[1].correct, 0);
    EXPECT_EQ(progress.stats[1].attempts, 0);
    EXPECT_EQ(progress.stats[2].correct, 2);
    EXPECT_EQ(progress.stats[2].attempts, 3);
    EXPECT_FLOAT_EQ(progress.CorrectRatio(1), 0.0f);
    EXPECT_FLOAT_EQ(progress.CorrectRatio(2), 0.0f);
}

// --- Automatic levelling ----------------------------------------------------------------

TEST_F(ProgressTest, FourOfTheLastFiveCorrectRaisesTheLevelAndEmptiesTheWindow) {
    stored_.SetText(TEXT("level"), u"5");
    Progress& progress = Load();
    Record(progress, "ccwc");
    EXPECT_EQ(progress.level, 5);
    Record(progress, "c");
    EXPECT_EQ(progress.level, 6);
    EXPECT_EQ(stored_.Text(TEXT("level")), u"6");
    EXPECT_EQ(progress.recentResults.count, 0);
    EXPECT_FALSE(progress.levelChanged) << "only the settings screen's choice sets it";
}

TEST_F(ProgressTest, AtMostOneOfTheLastFiveCorrectLowersTheLevel) {
    stored_.SetText(TEXT("level"), u"5");
    Progress& progress = Load();
    Record(progress, "wwwwc");
    EXPECT_EQ(progress.level, 4);
    EXPECT_EQ(stored_.Text(TEXT("level")), u"4");
    EXPECT_EQ(progress.recentResults.count, 0);
}

TEST_F(ProgressTest, TheWindowSlidesWhileTheLevelStays) {
    stored_.SetText(TEXT("level"), u"5");
    Progress& progress = Load();
    Record(progress, "cwwcw");  // 2 of 5
    Record(progress, "c");      // wwcwc: 2
    Record(progress, "c");      // wcwcc: 3
    EXPECT_EQ(progress.level, 5);
    EXPECT_EQ(progress.recentResults.count, 7);
    Record(progress, "c");  // cwccc: 4
    EXPECT_EQ(progress.level, 6);
}

TEST_F(ProgressTest, AtTheTopAndBottomLevelsTheWindowKeepsGrowing) {
    stored_.SetText(TEXT("level"), u"12");
    Progress& top = Load();
    Record(top, "ccwcc");
    EXPECT_EQ(top.level, 12);
    Record(top, "c");
    EXPECT_EQ(top.recentResults.count, 6);
    EXPECT_EQ(top.recentResults.At(5), 1);

    top.SetLevel(1);
    Record(top, "wwcww");
    EXPECT_EQ(top.level, 1);
    EXPECT_EQ(top.recentResults.count, 5);
    EXPECT_EQ(stored_.Text(TEXT("level")), u"1");
}

TEST_F(ProgressTest, WithAutomaticLevellingOffResultsCountButAreNotJudged) {
    Progress& progress = Load();
    progress.SetAutoLevel(false);
    Record(progress, "ccccc");
    EXPECT_EQ(progress.level, 1);
    EXPECT_EQ(progress.recentResults.count, 0);
    EXPECT_EQ(progress.stats[0].correct, 5);
    EXPECT_EQ(progress.stats[0].attempts, 5);
    EXPECT_EQ(stored_.Statistics()[0], 5);
}

TEST_F(ProgressTest, SwitchingAutomaticLevellingKeepsTheWindowAndWritesTheInverse) {
    Progress& progress = Load();
    Record(progress, "ccw");
    progress.SetAutoLevel(false);
    EXPECT_EQ(stored_.Text(TEXT("auto")), u"1");
    Record(progress, "cc");  // not collected while off
    progress.SetAutoLevel(true);
    EXPECT_EQ(stored_.Text(TEXT("auto")), u"0");
    EXPECT_EQ(progress.recentResults.count, 3);
    Record(progress, "cc");  // ccwcc: the results from before count again
    EXPECT_EQ(progress.level, 2);
}

// --- Settings-screen operations ---------------------------------------------------------

TEST_F(ProgressTest, SetLevelFlagsAChangeAndEmptiesTheWindow) {
    Progress& progress = Load();
    Record(progress, "cc");
    progress.SetLevel(4);
    EXPECT_EQ(progress.level, 4);
    EXPECT_TRUE(progress.levelChanged);
    EXPECT_EQ(progress.recentResults.count, 0);
    EXPECT_EQ(stored_.Text(TEXT("level")), u"4");
}

TEST_F(ProgressTest, SetLevelWithTheCurrentLevelOnlyWritesItAgain) {
    Progress& progress = Load();
    Record(progress, "cc");
    stored_.SetText(TEXT("level"), u"9");  // behind the record's back
    progress.SetLevel(1);
    EXPECT_FALSE(progress.levelChanged);
    EXPECT_EQ(progress.recentResults.count, 2);
    EXPECT_EQ(stored_.Text(TEXT("level")), u"1");
}

TEST_F(ProgressTest, SetLevelIgnoresLevelsOutsideTheTable) {
    Progress& progress = Load();
    for (int bad : {0, 13, -1, INT_MIN}) progress.SetLevel(bad);
    EXPECT_EQ(progress.level, 1);
    EXPECT_FALSE(progress.levelChanged);
    progress.RecordResult(true);
    EXPECT_EQ(progress.stats[0].attempts, 1);
}

TEST_F(ProgressTest, ResetStatisticsZeroesCountsAndScoreAndKeepsTheRest) {
    stored_.SetText(TEXT("level"), u"3");
    Progress& progress = Load();
    progress.AddBonusToScore();
    Record(progress, "cw");
    progress.bonus = 4;
    progress.ResetStatistics();
    EXPECT_EQ(progress.score, 0);
    EXPECT_TRUE(progress.scoreChanged);
    EXPECT_EQ(progress.level, 3);
    EXPECT_EQ(progress.bonus, 4);
    EXPECT_EQ(progress.recentResults.count, 2);
    EXPECT_EQ(stored_.Text(TEXT("score")), u"0");
    EXPECT_EQ(stored_.Statistics(), std::vector<std::int32_t>(24, 0));
}

// --- Score --------------------------------------------------------------------------------

TEST_F(ProgressTest, AddBonusToScoreAddsTheBonusRestoresItAndSaves) {
    Progress& progress = Load();
    progress.bonus = 4;
    progress.AddBonusToScore();
    EXPECT_EQ(progress.score, 4);
    EXPECT_EQ(progress.bonus, 12);
    progress.AddBonusToScore();
    EXPECT_EQ(stored_.Text(TEXT("score")), u"16");
}

TEST_F(ProgressTest, TheScoreStopsAtTheLargestValueThatLoadsBack) {
    stored_.SetText(TEXT("score"), u"999995");
    Progress& progress = Load();
    progress.AddBonusToScore();
    EXPECT_EQ(progress.score, 999999);
    progress.AddBonusToScore();
    EXPECT_EQ(progress.score, 999999);
    ReleaseProgress();
    EXPECT_EQ(Load().score, 999999) << "the saved score loads back as itself";
}

TEST_F(ProgressTest, CountsStopAtThe32BitLimit) {
    std::vector<std::int32_t> counters(24, 0);
    counters[0] = INT_MAX;
    counters[1] = INT_MAX;
    counters[2] = 5;
    counters[3] = INT_MAX;
    stored_.SetStatistics(counters);
    Progress& progress = Load();
    progress.SetAutoLevel(false);
    progress.RecordResult(true);
    EXPECT_EQ(progress.stats[0].correct, INT_MAX);
    EXPECT_EQ(progress.stats[0].attempts, INT_MAX);
    progress.SetLevel(2);
    progress.RecordResult(true);
    EXPECT_EQ(progress.stats[1].correct, 6);
    EXPECT_EQ(progress.stats[1].attempts, INT_MAX);
}

// --- Sharing and the registry being away -------------------------------------------------

TEST_F(ProgressTest, ThreeAcquiresAndThreeReleasesLoadOnceAndDeleteOnce) {
    stored_.SetText(TEXT("score"), u"10");
    Progress* first = AcquireProgress();
    stored_.SetText(TEXT("score"), u"50");
    Progress* second = AcquireProgress();
    Progress* third = AcquireProgress();
    EXPECT_EQ(first, second);
    EXPECT_EQ(second, third);
    EXPECT_EQ(third->score, 10) << "loaded once, by the first acquire";
    ReleaseProgress();
    ReleaseProgress();
    EXPECT_EQ(sharedProgress, first);
    ReleaseProgress();
    EXPECT_EQ(sharedProgress, nullptr);
    EXPECT_EQ(progressRefs, 0);
    ReleaseProgress();  // one too many: harmless
    EXPECT_EQ(progressRefs, 0);
    EXPECT_EQ(AcquireProgress()->score, 50) << "a new record loads again";
}

// --- A registry that cannot be read or written for a while ------------------------------

// Stored: score 4, level 5, automatic levelling off, level 1 with 0 of 3.
void StoreAnEarlierSession(StoredValues& stored) {
    stored.SetText(TEXT("score"), u"4");
    stored.SetText(TEXT("level"), u"5");
    stored.SetText(TEXT("auto"), u"1");
    std::vector<std::int32_t> counters(24, 0);
    counters[1] = 3;
    stored.SetStatistics(counters);
}

// 1. Unreadable at start: the record plays on the defaults and writes nothing over what is
//    stored. 2. Readable again: at the next result the stored values come back with this
//    session's points and results on top, and saving goes on.
TEST_F(ProgressTest, WhatCouldNotBeReadIsNeverOverwrittenAndTheSessionIsAddedToIt) {
    StoreAnEarlierSession(stored_);
    registry_.SetAvailable(false);
    Progress& progress = Load();
    EXPECT_EQ(progress.score, 0);
    EXPECT_EQ(progress.level, 1);
    progress.AddBonusToScore();
    progress.RecordResult(true);
    registry_.SetAvailable(true);
    EXPECT_EQ(stored_.Text(TEXT("score")), u"4") << "nothing was written over it";
    EXPECT_EQ(stored_.Statistics()[1], 3);

    progress.AddBonusToScore();
    progress.RecordResult(true);
    EXPECT_EQ(stored_.Text(TEXT("score")), u"28");
    EXPECT_EQ(stored_.Text(TEXT("level")), u"5");
    EXPECT_EQ(stored_.Text(TEXT("auto")), u"1");
    EXPECT_EQ(stored_.Statistics()[0], 2);
    EXPECT_EQ(stored_.Statistics()[1], 5);
    EXPECT_EQ(progress.level, 5);
    EXPECT_FALSE(progress.autoLevel);
    EXPECT_TRUE(progress.levelChanged && progress.scoreChanged) << "the screens show it";
}

// A level and the switch chosen while nothing could be saved are saved with the next change
// that can be; so is a reset, which clears what was stored.
TEST_F(ProgressTest, ChoicesMadeWhileSavingFailsAreSavedAtTheNextSave) {
    StoreAnEarlierSession(stored_);
    for (bool readableAtStart : {true, false}) {
        registry_.SetAvailable(readableAtStart);
        Progress& progress = Load();
        registry_.SetAvailable(false);
        progress.SetLevel(7);
        progress.SetAutoLevel(true);
        progress.ResetStatistics();
        registry_.SetAvailable(true);
        EXPECT_EQ(stored_.Text(TEXT("level")), u"5");
        progress.RecordResult(false);
        EXPECT_EQ(stored_.Text(TEXT("level")), u"7") << readableAtStart;
        EXPECT_EQ(stored_.Text(TEXT("auto")), u"0") << readableAtStart;
        EXPECT_EQ(stored_.Text(TEXT("score")), u"0") << readableAtStart;
        EXPECT_EQ(stored_.Statistics()[13], 1) << readableAtStart;
        EXPECT_EQ(stored_.Statistics()[1], 0) << readableAtStart;
        ReleaseProgress();
        StoreAnEarlierSession(stored_);
    }
}

// --- The same on the desktop's store, locked elsewhere or on a full disk at start-up ----

// Runs `body` in a child process and returns what it reports ("" for success).
std::string InChild(const std::function<std::string()>& body) {
    int report[2];
    if (pipe(report) != 0) return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(report[0]);
        const std::string said = body();
        if (!said.empty() && write(report[1], said.data(), said.size()) < 0) _exit(2);
        _exit(said.empty() ? 0 : 1);
    }
    close(report[1]);
    std::string said;
    char buffer[256];
    for (ssize_t got; (got = read(report[0], buffer, sizeof buffer)) > 0;) said.append(buffer, got);
    close(report[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status)) return "the child was killed";
    return WEXITSTATUS(status) == 0 ? "" : said.empty() ? "the child failed" : said;
}

class ProgressOnDiskTest : public ::testing::Test {
protected:
    ~ProgressOnDiskTest() override {
        while (progressRefs > 0) ReleaseProgress();
        platform::SetRegistryStore(nullptr);
    }
    // A store on `folder`, as a new start of the program opens it.
    void Start(const std::string& folder) {
        platform::SetRegistryStore(nullptr);
        store_ = std::make_unique<platform::SqliteStore>(folder + "/registry.db");
        platform::SetRegistryStore(store_.get());
    }
    // One problem solved at the first tap.
    static void Solve() {
        sharedProgress->AddBonusToScore();
        sharedProgress->RecordResult(true);
    }
    // What the next start finds: empty when the stored session and the one solved problem
    // are both there.
    std::string Check(const std::string& folder) {
        Start(folder);
        std::string wrong;
        if (stored_.Text(TEXT("score")) != u"16") wrong += "score is not 16; ";
        if (stored_.Text(TEXT("level")) != u"5") wrong += "level is not 5; ";
        const auto counters = stored_.Statistics();
        if (counters.size() < 2 || counters[0] != 1 || counters[1] != 4) wrong += "stat not 1/4";
        return wrong;
    }

    std::unique_ptr<platform::SqliteStore> store_;
    StoredValues stored_;
};

TEST_F(ProgressOnDiskTest, ALockHeldAtStartUpIsWaitedForTwoSecondsAtMostAndOverwritesNothing) {
    const platform::testing::TemporaryFolder folder;
    Start(folder.Path());
    StoreAnEarlierSession(stored_);
    Start(folder.Path());
    auto lock = std::make_unique<platform::testing::ForeignLock>(folder.Path() + "/registry.db");
    ASSERT_TRUE(lock->Held());
    const auto started = std::chrono::steady_clock::now();
    Progress& progress = *AcquireProgress();
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_LT(waited, std::chrono::milliseconds(3000));
    EXPECT_EQ(progress.score, 0) << "it could not be read";
    lock.reset();
    Solve();
    ReleaseProgress();
    EXPECT_EQ(Check(folder.Path()), "");
}

// The registry on a small disk with 8 KiB left, too little for its log and shared memory.
TEST_F(ProgressOnDiskTest, AFullDiskAtStartUpOverwritesNothing) {
    const platform::testing::TemporaryFolder folder;
    EXPECT_EQ(InChild([&]() -> std::string {
                  // A disk of its own, in a mount namespace of its own.
                  if (unshare(CLONE_NEWNS) != 0 && unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
                      return "no mount namespace";
                  }
                  mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
                  if (mount("tmpfs", folder.Path().c_str(), "tmpfs", 0, "size=256k") != 0) {
                      return "no tmpfs";
                  }
                  Start(folder.Path());
                  StoreAnEarlierSession(stored_);
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
                  if (truncate(filler.c_str(), static_cast<off_t>(filled) - 8192) != 0) {
                      return "the filler could not be cut";
                  }

                  Start(folder.Path());
                  if (AcquireProgress()->score != 0) return "the full disk was readable";
                  unlink(filler.c_str());
                  Solve();
                  ReleaseProgress();
                  return Check(folder.Path());
              }),
              "");
}

}  // namespace
