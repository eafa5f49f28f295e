// The registry calls on the SQLite store: contract, persistence, damage and durability.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/desktop/sqlite_store.h"
#include "platform/testing/testing.h"
#include "platform/win32.h"

using platform::SqliteStore;

namespace {

constexpr LPCWSTR kKeyPath = TEXT("Software\\Brindlewick\\Chalkmere");

class RegistryTest : public ::testing::Test {
protected:
    RegistryTest() { Use(File()); }
    ~RegistryTest() override { Close(); }

    // A store on `path` in place of the one in use, as a new start of the program opens.
    void Use(const std::string& path) {
        Close();
        store_ = std::make_unique<SqliteStore>(path);
        platform::SetRegistryStore(store_.get());
    }
    void Close() {
        platform::SetRegistryStore(nullptr);
        store_.reset();
    }
    const std::string& Folder() const { return folder_.Path(); }
    std::string File() const { return Folder() + "/registry.db"; }

    HKEY Open(LPCWSTR path = kKeyPath, DWORD* disposition = nullptr) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, disposition),
                  ERROR_SUCCESS)
            << store_->LastError();
        return key;
    }

    void SetText(HKEY key, LPCWSTR name, const std::u16string& text) {
        ASSERT_EQ(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>((text.size() + 1) * 2)),
                  ERROR_SUCCESS);
    }

    // The value's bytes, or nothing with the failing status.
    LONG Get(HKEY key, LPCWSTR name, DWORD& type, std::vector<BYTE>& bytes) {
        DWORD size = 0;
        LONG status = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS) return status;
        bytes.assign(size, 0);
        return RegQueryValueExW(key, name, nullptr, &type, bytes.data(), &size);
    }

    std::vector<std::string> DamagedFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("registry.db.damaged-", 0) == 0) names.push_back(name);
        }
        return names;
    }

    platform::testing::TemporaryFolder folder_;
    std::unique_ptr<SqliteStore> store_;
};

// --- Keys ------------------------------------------------------------------------------

TEST_F(RegistryTest, CreatingAKeyReportsWhetherItWasNew) {
    DWORD disposition = 0;
    HKEY first = Open(kKeyPath, &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    HKEY second = Open(TEXT("software\\BRINDLEWICK\\chalkmere"), &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY) << "key paths ignore case";
    HKEY parent = Open(TEXT("Software\\Brindlewick"), &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY) << "parents are created with the key";
    EXPECT_EQ(RegCloseKey(parent), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(first), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(second), ERROR_SUCCESS);
}

TEST_F(RegistryTest, BadHandlesAndArgumentsFailWithWin32Codes) {
    HKEY key = Open();
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key, TEXT("score"), nullptr, nullptr, nullptr, &size),
              ERROR_INVALID_HANDLE);
    const BYTE byte = 1;
    EXPECT_EQ(RegSetValueExW(key, TEXT("score"), 0, REG_BINARY, &byte, 1), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              nullptr, nullptr),
              ERROR_INVALID_PARAMETER);

    HKEY open = Open();
    BYTE buffer[4];
    EXPECT_EQ(RegQueryValueExW(open, TEXT("x"), nullptr, nullptr, buffer, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(open, TEXT("x"), 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
    RegCloseKey(open);
}

// --- Values ----------------------------------------------------------------------------

TEST_F(RegistryTest, SizeQueryReportsTypeAndSizeWithoutABuffer) {
    HKEY key = Open();
    SetText(key, TEXT("score"), u"1234");
    DWORD type = REG_NONE;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key, TEXT("score"), nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 10u) << "four characters and the terminator, two bytes each";
    RegCloseKey(key);
}

TEST_F(RegistryTest, TooSmallABufferGetsMoreDataAndTheNeededSize) {
    HKEY key = Open();
    SetText(key, TEXT("score"), u"123456789012");
    WCHAR buffer[10];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    DWORD size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExW(key, TEXT("score"), nullptr, nullptr,
                               reinterpret_cast<BYTE*>(buffer), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 26u);
    EXPECT_EQ(buffer[0], u'#') << "nothing written on ERROR_MORE_DATA";
    RegCloseKey(key);
}

TEST_F(RegistryTest, AMissingValueIsNotFound) {
    HKEY key = Open();
    DWORD size = 99;
    EXPECT_EQ(RegQueryValueExW(key, TEXT("level"), nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(RegistryTest, ValuesKeepTheirTypeAndBytesAndNamesIgnoreCase) {
    HKEY key = Open();
    const BYTE stat[5] = {1, 0, 0, 0, 0xFF};
    ASSERT_EQ(RegSetValueExW(key, TEXT("stat"), 0, REG_BINARY, stat, sizeof stat), ERROR_SUCCESS);
    const DWORD number = 0x01020304;
    ASSERT_EQ(
        RegSetValueExW(key, TEXT("dword"), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4),
        ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, TEXT("empty"), 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
    SetText(key, nullptr, u"default");

    DWORD type = 0;
    std::vector<BYTE> bytes;
    ASSERT_EQ(Get(key, TEXT("STAT"), type, bytes), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(bytes, std::vector<BYTE>(stat, stat + 5));
    ASSERT_EQ(Get(key, TEXT("dword"), type, bytes), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(bytes, (std::vector<BYTE>{4, 3, 2, 1}));
    ASSERT_EQ(Get(key, TEXT("empty"), type, bytes), ERROR_SUCCESS);
    EXPECT_TRUE(bytes.empty());
    ASSERT_EQ(Get(key, TEXT(""), type, bytes), ERROR_SUCCESS) << "null and empty name: default";
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(bytes.size(), 16u);

    // Writing again replaces the value, type included; text is stored as given.
    const BYTE text[4] = {'7', 0, 'x', 0};  // no terminator
    ASSERT_EQ(RegSetValueExW(key, TEXT("Stat"), 0, REG_SZ, text, sizeof text), ERROR_SUCCESS);
    ASSERT_EQ(Get(key, TEXT("stat"), type, bytes), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(bytes, std::vector<BYTE>(text, text + 4));
    RegCloseKey(key);
}

TEST_F(RegistryTest, ValuesOfOtherKeysAreSeparate) {
    HKEY a = Open(TEXT("Software\\A"));
    HKEY b = Open(TEXT("Software\\B"));
    SetText(a, TEXT("level"), u"3");
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(b, TEXT("level"), nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    RegCloseKey(a);
    RegCloseKey(b);
}

TEST_F(RegistryTest, ValuesSurviveReopeningTheDatabase) {
    HKEY key = Open();
    SetText(key, TEXT("level"), u"7");
    RegCloseKey(key);
    Use(File());  // closes and forgets the connection

    key = Open();
    DWORD type = 0;
    std::vector<BYTE> bytes;
    ASSERT_EQ(Get(key, TEXT("level"), type, bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, (std::vector<BYTE>{'7', 0, 0, 0}));
    RegCloseKey(key);
}

// --- A damaged or foreign file ----------------------------------------------------------

class DamagedRegistryTest : public RegistryTest,
                            public ::testing::WithParamInterface<const char*> {};

TEST_P(DamagedRegistryTest, IsMovedAsideAndAFreshDatabaseTakesTheWrites) {
    // First a healthy database with one value, then damage of the kind under test.
    HKEY key = Open();
    SetText(key, TEXT("level"), u"5");
    RegCloseKey(key);
    Close();
    const std::string kind = GetParam();
    if (kind == "garbage") {
        std::ofstream(File(), std::ios::binary | std::ios::trunc) << std::string(3000, '\x5A');
    } else if (kind == "truncated") {
        std::filesystem::resize_file(File(), 1500);
    } else if (kind == "unsupported format") {
        // A header that claims file-format versions this SQLite cannot read or write.
        std::fstream file(File(), std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(18);
        file.write("\x03\x03", 2);
    } else if (kind == "damaged page") {
        std::fstream file(File(), std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(4096 + 8);
        file << std::string(600, '\x7F');
    }
    std::filesystem::remove(File() + "-wal");
    Use(File());

    key = Open();
    ASSERT_NE(key, nullptr);
    SetText(key, TEXT("score"), u"12");
    DWORD type = 0;
    std::vector<BYTE> bytes;
    EXPECT_EQ(Get(key, TEXT("score"), type, bytes), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(DamagedFiles().size(), 1u) << kind;
}

INSTANTIATE_TEST_SUITE_P(Registry, DamagedRegistryTest,
                         ::testing::Values("garbage", "truncated", "unsupported format",
                                           "damaged page"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                             std::string name = param.param;
                             for (char& c : name) c = c == ' ' ? '_' : c;
                             return name;
                         });

TEST_F(RegistryTest, RowsOutOfOrderAreFoundAndTheReadableValuesKept) {
    HKEY key = Open();
    SetText(key, TEXT("auto"), u"1");
    SetText(key, TEXT("level"), u"7");
    SetText(key, TEXT("score"), u"1234");
    RegCloseKey(key);
    Close();
    // One changed letter in the key of the "score" row puts it out of key order: a quick
    // check passes such a file, and lookups then miss rows that are there.
    {
        std::fstream file(File(), std::ios::binary | std::ios::in | std::ios::out);
        std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        const std::size_t row = bytes.rfind("Brindlewick\\Chalkmerescore");
        ASSERT_NE(row, std::string::npos);
        file.seekp(static_cast<std::streamoff>(row + 3));
        file.put('4');
    }
    Use(File());

    key = Open();
    SetText(key, TEXT("score"), u"12");
    RegCloseKey(key);
    Use(File());  // what was written must load back
    key = Open();
    DWORD type = 0;
    std::vector<BYTE> bytes;
    ASSERT_EQ(Get(key, TEXT("level"), type, bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, (std::vector<BYTE>{'7', 0, 0, 0}));
    ASSERT_EQ(Get(key, TEXT("score"), type, bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, (std::vector<BYTE>{'1', 0, '2', 0, 0, 0}));
    RegCloseKey(key);
    EXPECT_EQ(DamagedFiles().size(), 1u);
}

TEST_F(RegistryTest, AnotherProgramsDatabaseIsNotWrittenInto) {
    // A valid SQLite database with another program's application id.
    Use(Folder() + "/other.db");
    HKEY key = Open();
    SetText(key, TEXT("x"), u"1");
    RegCloseKey(key);
    Close();
    std::filesystem::rename(Folder() + "/other.db", File());
    std::filesystem::remove(Folder() + "/other.db-wal");
    // Change its application id in the header (offset 68) to another program's.
    {
        std::fstream file(File(), std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(68);
        file.write("\x12\x34\x56\x78", 4);
    }
    Use(File());
    key = Open();
    SetText(key, TEXT("y"), u"2");
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key, TEXT("x"), nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
    EXPECT_EQ(DamagedFiles().size(), 1u);
}

TEST_F(RegistryTest, AnEmptyFileIsAFreshDatabase) {
    Close();
    std::ofstream(File()).close();
    Use(File());
    HKEY key = Open();
    SetText(key, TEXT("score"), u"1");
    RegCloseKey(key);
    EXPECT_TRUE(DamagedFiles().empty());
}

// Each kind of failure is said once on stderr, naming the file and the reason, however
// often it recurs; the calls fail with a Win32 error (or, for damage, succeed afresh).
TEST_F(RegistryTest, EachKindOfFailureIsSaidOnceWithTheFileAndTheReason) {
    const std::string file = File();
    const std::string blocker = Folder() + "/a-file";
    struct Case {
        const char* what;
        std::string path;
        std::function<void()> prepare;
        std::string said;
        LONG status;
    };
    std::unique_ptr<platform::testing::ForeignLock> lock;
    const Case cases[] = {
        {"no data folder", "", [] {}, "neither XDG_DATA_HOME nor HOME", ERROR_ACCESS_DENIED},
        {"a file where the folder should be", blocker + "/chalkmere/registry.db",
         [&] { std::ofstream(blocker).close(); }, "Not a directory", ERROR_ACCESS_DENIED},
        {"a folder in the file's place", file, [&] { std::filesystem::create_directory(file); },
         "Is a directory", ERROR_ACCESS_DENIED},
        {"a link to nowhere", file,
         [&] { std::filesystem::create_symlink(Folder() + "/gone/registry.db", file); },
         "No such file", ERROR_ACCESS_DENIED},
        {"a lock held elsewhere", file,
         [&] {
             Use(file);
             RegCloseKey(Open());
             Close();
             lock = std::make_unique<platform::testing::ForeignLock>(file);
         },
         "another program holds a lock", ERROR_ACCESS_DENIED},
        {"damage", file, [&] { std::ofstream(file) << "not a database"; },
         "kept as " + file + ".damaged-", ERROR_SUCCESS},
    };
    for (const Case& c : cases) {
        Close();
        lock.reset();
        for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
            std::filesystem::remove_all(entry.path());
        }
        c.prepare();
        Use(c.path);
        ::testing::internal::CaptureStderr();
        for (int i = 0; i < 3; ++i) {
            HKEY key = nullptr;
            EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                                      nullptr, &key, nullptr),
                      c.status)
                << c.what;
            RegCloseKey(key);
        }
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << c.what << ": " << said;
        EXPECT_NE(said.find(c.said), std::string::npos) << c.what << ": " << said;
        EXPECT_NE(said.find(c.path), std::string::npos) << c.what << ": " << said;
    }
}

// Every statement is done with when a call returns, so checkpoints keep the log small over a
// long session of saves, as the program makes them.
TEST_F(RegistryTest, TheFilesStaySmallOverThousandsOfSaves) {
    for (int save = 0; save < 3000; ++save) {
        HKEY key = Open();
        SetText(key, TEXT("score"), std::u16string(1, static_cast<char16_t>(u'0' + save % 10)));
        DWORD size = 0;
        RegQueryValueExW(key, TEXT("level"), nullptr, nullptr, nullptr, &size);
        RegCloseKey(key);
    }
    for (const char* suffix : {"", "-wal"}) {
        EXPECT_LT(std::filesystem::file_size(File() + suffix), 1u << 20) << suffix;
    }
}

// --- Durability -------------------------------------------------------------------------

std::u16string WriteName(int round, int index) {
    const std::string ascii = "r" + std::to_string(round) + "-" + std::to_string(index);
    return std::u16string(ascii.begin(), ascii.end());
}

// A child writes numbered values and reports each one once RegSetValueExW has returned; the
// parent kills it at a random moment. Every reported value must be there afterwards.
TEST_F(RegistryTest, EveryWriteReportedBeforeAKillSurvivesIt) {
    std::mt19937 random(20261206);
    int reportedTotal = 0;
    for (int round = 0; round < 25; ++round) {
        Use(File());  // no connection may cross the fork
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeEnds[0]);
            HKEY key = nullptr;
            if (RegCreateKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &key, nullptr) != ERROR_SUCCESS) {
                std::fprintf(stderr, "child: %s\n", store_->LastError().c_str());
                _exit(3);
            }
            for (int i = 0;; ++i) {
                const std::u16string name = WriteName(round, i);
                const int value[2] = {round, i};
                if (RegSetValueExW(key, name.c_str(), 0, REG_BINARY,
                                   reinterpret_cast<const BYTE*>(value),
                                   sizeof value) == ERROR_SUCCESS) {
                    if (write(pipeEnds[1], &i, sizeof i) != sizeof i) _exit(1);
                }
            }
        }
        close(pipeEnds[1]);
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + random() % 40));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        std::vector<int> reported;
        int i = 0;
        while (read(pipeEnds[0], &i, sizeof i) == sizeof i) reported.push_back(i);
        close(pipeEnds[0]);

        Use(File());
        HKEY key = Open();
        for (int index : reported) {
            const std::u16string name = WriteName(round, index);
            int value[2] = {-1, -1};
            DWORD size = sizeof value;
            ASSERT_EQ(RegQueryValueExW(key, name.c_str(), nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(value), &size),
                      ERROR_SUCCESS)
                << "round " << round << ", write " << index;
            EXPECT_EQ(value[0], round);
            EXPECT_EQ(value[1], index);
        }
        RegCloseKey(key);
        reportedTotal += static_cast<int>(reported.size());
    }
    EXPECT_TRUE(DamagedFiles().empty());
    EXPECT_GT(reportedTotal, 25) << "the children had time to write";
}

}  // namespace
