// The registry calls on the SQLite store: the contract every store keeps, persistence, damage
// and durability.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "platform/desktop/sqlite_store.h"
#include "platform/testing/testing.h"
#include "platform/win32.h"
#include "tests/support/StoredValues.h"

namespace {

using Bytes = std::vector<BYTE>;

LONG CreateKey(LPCWSTR path, HKEY* key, DWORD* disposition = nullptr) {
    return RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key,
                           disposition);
}

// The registry on a file of a fresh folder.
class RegistryTest : public ::testing::Test {
protected:
    RegistryTest() { Use(File()); }
    ~RegistryTest() override { Close(); }

    // A store on `path` in place of the one in use, as a new start of the program opens.
    void Use(const std::string& path) {
        Close();
        store_ = std::make_unique<platform::SqliteStore>(path);
        platform::SetRegistryStore(store_.get());
    }
    void Close() {
        platform::SetRegistryStore(nullptr);
        store_.reset();
    }
    std::string File() const { return folder_.Path() + "/registry.db"; }
    // Closes the store and empties the folder.
    void StartOver() {
        Close();
        for (const auto& entry : std::filesystem::directory_iterator(folder_.Path())) {
            std::filesystem::remove_all(entry.path());
        }
    }
    long MovedAside() const {
        const std::filesystem::directory_iterator files(folder_.Path());
        return std::count_if(begin(files), end(files), [](const auto& entry) {
            return entry.path().filename().string().rfind("registry.db.damaged-", 0) == 0;
        });
    }

    platform::testing::TemporaryFolder folder_;
    std::unique_ptr<platform::SqliteStore> store_;
    testsupport::StoredValues values_;  // of the program's key
};

// Each kind of value comes back with its type and bytes under a name that ignores case, also
// after reopening the file; writing again replaces type and bytes; too small a buffer gets
// ERROR_MORE_DATA with the size needed and nothing written; a missing value, or another key's,
// is not found.
TEST_F(RegistryTest, TheStoreContract) {
    using Row = std::tuple<LPCWSTR, LPCWSTR, DWORD, Bytes>;  // written and read by these names
    const Row cases[] = {
        {TEXT("STAT"), TEXT("Stat"), REG_BINARY, {1, 0, 0, 0, 0xFF}},
        {TEXT("Dword"), TEXT("dword"), REG_DWORD, {4, 3, 2, 1}},
        {TEXT("empty"), TEXT("Empty"), REG_BINARY, {}},
        {TEXT("Level"), TEXT("level"), REG_SZ, {'7', 0, 'x', 0}},  // text as given, unterminated
        {nullptr, TEXT(""), REG_SZ, {'d', 0, 0, 0}},  // the default value, by either name
    };
    values_.SetText(TEXT("stat"), u"replaced by the first row, type and all");
    for (const auto& [written, read, type, bytes] : cases) {
        values_.Set(written, type, bytes.data(), static_cast<DWORD>(bytes.size()));
    }
    Use(File());
    for (const auto& [written, read, type, bytes] : cases) {
        DWORD storedType = REG_NONE;
        Bytes stored;
        ASSERT_EQ(values_.Get(read, storedType, stored), ERROR_SUCCESS) << type;
        EXPECT_EQ(storedType, type);
        EXPECT_EQ(stored, bytes) << type;
    }

    HKEY key = nullptr;
    ASSERT_EQ(CreateKey(TEXT("Software\\Brindlewick\\Chalkmere"), &key), ERROR_SUCCESS);
    BYTE buffer[3] = {'#'};
    DWORD size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExW(key, TEXT("level"), nullptr, nullptr, buffer, &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u) << "the size needed";
    EXPECT_EQ(buffer[0], '#') << "nothing written";
    EXPECT_EQ(RegQueryValueExW(key, TEXT("score"), nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
    EXPECT_FALSE(testsupport::StoredValues(TEXT("Software\\Other")).Has(TEXT("level")));
}

// Whatever is wrong with the file is said once on stderr, naming the file and the reason,
// however often it recurs, and the calls fail with a Win32 error. Only a file at fault is
// moved aside, and then a fresh database takes the writes with every value that could still
// be read ("level", where that is certain); another program's database gives none, and an
// empty file is simply new. Each case starts from a file holding auto, level 7 and a score.
TEST_F(RegistryTest, EachKindOfFailureIsSaidOnceWithTheFileAndTheReason) {
    const std::string file = File(), blocker = folder_.Path() + "/a-file";
    const std::string kept = "kept as " + file + ".damaged-";
    std::unique_ptr<platform::testing::ForeignLock> lock;
    // Overwrites the file at `at` with `bytes`, or cuts it there when there are none.
    const auto patch = [&](std::size_t at, const std::string& bytes) {
        return [=] {
            std::fstream(file, std::ios::binary | std::ios::in | std::ios::out)
                .seekp(static_cast<std::streamoff>(at))
                .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            if (bytes.empty()) std::filesystem::resize_file(file, at);
        };
    };
    struct Case {
        const char* what;
        std::string path;
        std::function<void()> prepare;
        std::string said;  // nothing for a file that is fine
        const char16_t* level = nullptr;
        long movedAside = 0;
    };
    const Case cases[] = {
        {"no data folder", "", [] {}, "neither XDG_DATA_HOME nor HOME"},
        {"a file for a folder", blocker + "/chalkmere/registry.db",
         [&] { std::ofstream(blocker).close(); }, "Not a directory"},
        {"a folder for the file", file,
         [&] {
             std::filesystem::remove(file);
             std::filesystem::create_directory(file);
         },
         "Is a directory"},
        {"a link to nowhere", file,
         [&] {
             std::filesystem::remove(file);
             std::filesystem::create_symlink(folder_.Path() + "/gone/registry.db", file);
         },
         "No such file"},
        {"a lock held elsewhere", file,
         [&] { lock = std::make_unique<platform::testing::ForeignLock>(file); },
         "another program holds a lock"},
        {"garbage", file, patch(0, std::string(3000, 'Z')), kept, nullptr, 1},
        {"cut short", file, patch(1500, ""), kept, nullptr, 1},
        {"format versions", file, patch(18, "\x03\x03"), kept, nullptr, 1},
        {"a damaged page", file, patch(4104, std::string(600, 'Z')), kept, nullptr, 1},
        // One changed letter puts the score's row out of key order: a quick check passes such
        // a file, and lookups then miss rows that are there.
        {"rows out of order", file,
         [&] {
             std::ifstream in(file, std::ios::binary);
             const std::string bytes{std::istreambuf_iterator<char>(in), {}};
             patch(bytes.rfind("Brindlewick\\Chalkmerescore") + 3, "4")();
         },
         kept, u"7", 1},
        {"another program's", file, patch(68, "\x12\x34\x56\x78"), kept, u"<missing>", 1},
        {"empty", file, patch(0, ""), "", u"<missing>"},
    };
    for (const Case& c : cases) {
        lock.reset();
        StartOver();
        Use(file);
        values_.SetText(TEXT("auto"), u"1");
        values_.SetText(TEXT("level"), u"7");
        values_.SetText(TEXT("score"), u"1234");
        Close();
        c.prepare();
        Use(c.path);
        ::testing::internal::CaptureStderr();
        const bool works = c.said.empty() || c.movedAside > 0;
        for (int i = 0; i < 3; ++i) {
            HKEY key = nullptr;
            EXPECT_EQ(CreateKey(TEXT("Software\\Brindlewick\\Chalkmere"), &key),
                      works ? ERROR_SUCCESS : ERROR_ACCESS_DENIED);
            RegCloseKey(key);
        }
        const std::string said = ::testing::internal::GetCapturedStderr();
        SCOPED_TRACE(c.what + (": " + said));
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), c.said.empty() ? 0 : 1);
        EXPECT_NE(said.find(c.said), std::string::npos);
        EXPECT_EQ(said.find(c.path) != std::string::npos, !c.said.empty());
        if (!works) continue;
        values_.SetText(TEXT("score"), u"12");
        Use(file);  // what was written must load back
        EXPECT_EQ(values_.Text(TEXT("score")), u"12");
        EXPECT_TRUE(c.level == nullptr || values_.Text(TEXT("level")) == c.level)
            << "level " << ::testing::PrintToString(values_.Text(TEXT("level")));
        EXPECT_EQ(MovedAside(), c.movedAside);
    }
}

// Every statement is done with when a call returns, so checkpoints keep the log small over a
// long session of saves, as the program makes them.
TEST_F(RegistryTest, TheFilesStaySmallOverThousandsOfSaves) {
    for (int save = 0; save < 3000; ++save) {
        values_.SetText(TEXT("score"), std::u16string(1, static_cast<char16_t>(u'0' + save % 10)));
        values_.Has(TEXT("level"));
    }
    EXPECT_LT(std::filesystem::file_size(File()), 1u << 20);
    EXPECT_LT(std::filesystem::file_size(File() + "-wal"), 1u << 20);
}

// A child writes numbered values and reports each one once it is written; the parent kills
// it at a random moment. Every reported value must be there afterwards.
TEST_F(RegistryTest, EveryWriteReportedBeforeAKillSurvivesIt) {
    std::mt19937 random(20261206);
    std::size_t reported = 0;
    for (int round = 0; round < 25; ++round) {
        Use(File());  // no connection may cross the fork
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        WCHAR name[32];
        for (int i = 0; child == 0; ++i) {  // the child writes until it is killed
            wsprintfW(name, TEXT("%d-%d"), round, i);
            values_.Set(name, REG_BINARY, &i, sizeof i);
            if (write(pipeEnds[1], &i, sizeof i) != sizeof i) _exit(1);
        }
        close(pipeEnds[1]);
        usleep(static_cast<useconds_t>(5000 + random() % 40000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        Use(File());
        for (int i = 0; read(pipeEnds[0], &i, sizeof i) == sizeof i; ++reported) {
            wsprintfW(name, TEXT("%d-%d"), round, i);
            DWORD type = REG_NONE;
            Bytes bytes;
            ASSERT_EQ(values_.Get(name, type, bytes), ERROR_SUCCESS) << round << "-" << i;
            EXPECT_EQ(bytes, Bytes(reinterpret_cast<BYTE*>(&i), reinterpret_cast<BYTE*>(&i + 1)));
        }
        close(pipeEnds[0]);
    }
    EXPECT_EQ(MovedAside(), 0);
    EXPECT_GT(reported, 25u) << "the children had time to write";
}

}  // namespace
