// The registry calls on the SQLite store: the contract every store keeps, persistence, damage
// and durability.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/desktop/sqlite_store.h"
#include "platform/testing/testing.h"
#include "platform/win32.h"
#include "tests/support/RegistryContract.h"
#include "tests/support/StoredValues.h"

namespace {

// The program's key, for the calls StoredValues does not make.
LONG OpenProgramKey(HKEY* key) {
    return RegCreateKeyExW(HKEY_CURRENT_USER, TEXT("Software\\Brindlewick\\Chalkmere"), 0, nullptr,
                           0, KEY_ALL_ACCESS, nullptr, key, nullptr);
}

// The registry on a file of a fresh folder.
class RegistryTest : public ::testing::Test {
protected:
    RegistryTest() { Use(File()); }
    ~RegistryTest() override { platform::SetRegistryStore(nullptr); }

    // A store on `path` in place of the one in use, which closes, as a new start of the program
    // opens it; Use("") only closes the file, as a store on no path never opens one.
    void Use(const std::string& path) {
        store_ = std::make_unique<platform::SqliteStore>(path);
        platform::SetRegistryStore(store_.get());
    }
    std::string File() const { return folder_.Path() + "/registry.db"; }

    platform::testing::TemporaryFolder folder_;
    std::unique_ptr<platform::SqliteStore> store_;
    testsupport::StoredValues values_;  // of the program's key
};

// The contract every store keeps; another program's lock makes the file unusable.
TEST_F(RegistryTest, TheStoreContract) {
    std::unique_ptr<platform::testing::ForeignLock> lock;
    testsupport::CheckRegistryContract(
        {[&] { Use(File()); },
         [&](bool available) {
             if (available) {
                 lock.reset();
             } else {
                 Use(File());
                 lock = std::make_unique<platform::testing::ForeignLock>(File());
             }
         }});
}

// Whatever is wrong with the file is said once on stderr, naming the file and the reason,
// however often it recurs, and the calls fail with a Win32 error. Only a file at fault is
// moved aside, which is said too, and then a fresh database takes the writes with every value
// that could still be read ("level", where that is certain); another program's database gives
// none, and an empty file is simply new. Each case starts from a file holding auto, level 7
// and a score.
TEST_F(RegistryTest, EachKindOfFailureIsSaidOnceWithTheFileAndTheReason) {
    const std::string file = File(), other = folder_.Path() + "/other";
    const std::string kept = "kept as " + file + ".damaged-";
    std::unique_ptr<platform::testing::ForeignLock> lock;
    // Overwrites the file with `bytes` `at` bytes on from its start, or from the last `after`
    // in it; cuts it there when there are no bytes.
    const auto patch = [&](std::size_t at, const std::string& bytes,
                           const std::string& after = "") {
        return [=] {
            std::ifstream in(file, std::ios::binary);
            std::string old{std::istreambuf_iterator<char>(in), {}};
            const std::size_t where = at + (after.empty() ? 0 : old.rfind(after));
            std::ofstream(file, std::ios::binary)
                << (bytes.empty() ? old.substr(0, where) : old.replace(where, bytes.size(), bytes));
        };
    };
    // What goes wrong, the path the store is given, what makes it go wrong, what is said
    // (nothing for a file that is fine) and the level there afterwards (if certain).
    using Case = std::tuple<const char*, std::string, std::function<void()>, std::string,
                            testsupport::WideString>;
    const Case cases[] = {
        {"no data folder", "", [] {}, "neither XDG_DATA_HOME nor HOME", TEXT("")},
        {"a file for a folder", other + "/chalkmere/registry.db",
         [&] { std::ofstream(other).close(); }, "Not a directory", TEXT("")},
        {"a folder for the file", other, [&] { std::filesystem::create_directory(other); },
         "Is a directory", TEXT("")},
        {"a link to nowhere", other,
         [&] { std::filesystem::create_symlink(other + "-gone/registry.db", other); },
         "No such file", TEXT("")},
        {"a lock held elsewhere", file,
         [&] { lock = std::make_unique<platform::testing::ForeignLock>(file); },
         "another program holds a lock", TEXT("")},
        {"garbage", file, patch(0, std::string(3000, 'Z')), kept, TEXT("")},
        {"cut short", file, patch(1500, ""), kept, TEXT("")},
        {"format versions", file, patch(18, "\x03\x03"), kept, TEXT("")},
        {"a damaged page", file, patch(4104, std::string(600, 'Z')), kept, TEXT("")},
        // One changed letter puts the score's row out of key order: a quick check passes such
        // a file, and lookups then miss rows that are there.
        {"rows out of order", file, patch(3, "4", "Brindlewick\\Chalkmerescore"), kept, TEXT("7")},
        {"another program's", file, patch(68, "\x12\x34\x56\x78"), kept, TEXT("<missing>")},
        {"empty", file, patch(0, ""), "", TEXT("<missing>")},
    };
    for (const auto& [what, path, prepare, problem, level] : cases) {
        SCOPED_TRACE(what);
        lock.reset();
        Use("");
        std::filesystem::remove_all(folder_.Path());
        Use(file);  // which makes the folder again
        values_.SetText(TEXT("auto"), TEXT("1"));
        values_.SetText(TEXT("level"), TEXT("7"));
        values_.SetText(TEXT("score"), TEXT("1234"));
        Use("");
        prepare();
        Use(path);
        ::testing::internal::CaptureStderr();
        const bool works = problem.empty() || problem == kept;
        for (int i = 0; i < 3; ++i) {
            HKEY key = nullptr;
            EXPECT_EQ(OpenProgramKey(&key), works ? ERROR_SUCCESS : ERROR_ACCESS_DENIED);
            RegCloseKey(key);
        }
        if (works) {
            values_.SetText(TEXT("score"), TEXT("12"));
            Use(file);  // what was written must load back
            EXPECT_EQ(values_.Text(TEXT("score")), TEXT("12"));
            EXPECT_EQ(level.empty() ? level : values_.Text(TEXT("level")), level);
        }
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), problem.empty() ? 0 : 1) << said;
        EXPECT_NE(said.find(problem), std::string::npos) << said;
        EXPECT_EQ(said.find(path) != std::string::npos, !problem.empty()) << said;
    }
}

// Every statement is done with when a call returns, so checkpoints keep the log small over a
// long session of saves, as the program makes them.
TEST_F(RegistryTest, TheFilesStaySmallOverThousandsOfSaves) {
    for (int save = 0; save < 3000; ++save) {
        values_.SetText(TEXT("score"),
                        testsupport::WideString(1, static_cast<WCHAR>('0' + save % 10)));
        values_.Text(TEXT("level"));
    }
    EXPECT_LT(std::filesystem::file_size(File() + "-wal"), 1u << 20);
}

// The writer of the kill test below, run alone in a fresh process of this program: it writes
// numbered values into the store at CHALKMERE_KILL_STORE and reports each one, once written,
// on the descriptor CHALKMERE_KILL_REPORTS, until it is killed.
TEST(RegistryWriter, DISABLED_WritesUntilKilled) {
    const char* path = std::getenv("CHALKMERE_KILL_STORE");
    const char* reports = std::getenv("CHALKMERE_KILL_REPORTS");
    const char* round = std::getenv("CHALKMERE_KILL_ROUND");
    ASSERT_TRUE(path && reports && round);
    platform::SqliteStore store(path);
    platform::SetRegistryStore(&store);
    testsupport::StoredValues values;
    WCHAR name[32];
    for (int i = 0;; ++i) {
        wsprintfW(name, TEXT("%d-%d"), std::atoi(round), i);
        values.Set(name, REG_BINARY, &i, sizeof i);
        if (write(std::atoi(reports), &i, sizeof i) != sizeof i) _exit(1);
    }
}

// A writer reports each numbered value once it is written; it is killed 5 to 45 ms after its
// first report. Every reported value must be there afterwards, in a file that needs no
// repair. The writer is a new program, not a fork: a forked child of a sanitized build can
// hang in its first allocation.
TEST_F(RegistryTest, EveryWriteReportedBeforeAKillSurvivesIt) {
    std::size_t reported = 0;
    WCHAR name[32];
    for (int round = 0; round < 25; ++round) {
        Use(File());  // opens after the kill, as the next start of the program would
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        setenv("CHALKMERE_KILL_STORE", File().c_str(), 1);
        setenv("CHALKMERE_KILL_REPORTS", std::to_string(pipeEnds[1]).c_str(), 1);
        setenv("CHALKMERE_KILL_ROUND", std::to_string(round).c_str(), 1);
        const pid_t writer =
            platform::testing::StartTestProcess("RegistryWriter.DISABLED_WritesUntilKilled", true);
        ASSERT_GT(writer, 0);
        close(pipeEnds[1]);
        // The kill comes some time after the first write, however slow the machine is; a
        // writer that never reports fails the round instead of hanging it.
        std::vector<int> written(1, -1);
        pollfd first{pipeEnds[0], POLLIN, 0};
        EXPECT_EQ(poll(&first, 1, 60000), 1)
            << "the writer of round " << round << " never reported";
        EXPECT_EQ(read(pipeEnds[0], written.data(), sizeof(int)), ssize_t{sizeof(int)});
        usleep(static_cast<useconds_t>(5000 + round * 1637 % 40000));
        kill(writer, SIGKILL);
        waitpid(writer, nullptr, 0);
        ::testing::internal::CaptureStderr();
        for (int i = 0; read(pipeEnds[0], &i, sizeof i) == sizeof i;) written.push_back(i);
        for (const int i : written) {
            ++reported;
            wsprintfW(name, TEXT("%d-%d"), round, i);
            EXPECT_NE(values_.Text(name), TEXT("<missing>")) << round << "-" << i;
        }
        close(pipeEnds[0]);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << round;
    }
    EXPECT_GT(reported, 25u) << "the writers had time to write";
}

}  // namespace
