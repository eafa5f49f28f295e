// The contract every registry keeps, whatever holds the values (SQLite, memory, the browser's
// storage, the real Windows registry), checked through the program's own registry calls.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>
#include <vector>

#include "platform/win32.h"
#include "tests/support/StoredValues.h"

namespace testsupport {

struct RegistryUnderTest {
    // Closes what is open and opens the store again, as a new start of the program would.
    std::function<void()> reopen;
    // Makes every call fail as with a locked or refused store, and back; empty where a store
    // cannot be made to fail from a test.
    std::function<void(bool available)> setAvailable;
    // Where the store can tell: every write it has reported done has reached the disk.
    std::function<void()> checkWritesKept = {};
};

// The names of the key's subkeys, sorted, as they are listed up to the status that ends it.
inline std::vector<WideString> Subkeys(HKEY key, LONG& end) {
    std::vector<WideString> names;
    WCHAR name[32];
    DWORD length = 32;
    while ((end = RegEnumKeyExW(key, static_cast<DWORD>(names.size()), name, &length, nullptr,
                                nullptr, nullptr, nullptr)) == ERROR_SUCCESS) {
        names.emplace_back(name, length);
        length = 32;
    }
    std::sort(names.begin(), names.end());
    return names;
}

inline LONG OpenStatus(const WideString& path) {
    HKEY key = nullptr;
    const LONG status = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key);
    if (status == ERROR_SUCCESS) RegCloseKey(key);
    return status;
}

// Each kind of value comes back with its type and bytes under a name that ignores case, also
// after reopening; writing again replaces type and bytes; too small a buffer gets
// ERROR_MORE_DATA with the size needed and nothing written; a value never written, or another
// key's, is absent (ERROR_FILE_NOT_FOUND); a store that cannot be used says so otherwise, and
// loses nothing. Subkeys, as each further child's progress is kept: a key opens only when it
// exists, is listed under the name it was written with, and is deleted with its values only
// when it has no subkeys.
inline void CheckRegistryContract(const RegistryUnderTest& registry) {
    const LPCWSTR program = TEXT("Software\\Brindlewick\\Chalkmere");
    StoredValues values(program);
    // Written and read by these names.
    using Row = std::tuple<LPCWSTR, LPCWSTR, DWORD, std::vector<BYTE>>;
    const Row cases[] = {
        {TEXT("STAT"), TEXT("Stat"), REG_BINARY, {1, 0, 0, 0, 0xFF}},
        {TEXT("Dword"), TEXT("dword"), REG_DWORD, {4, 3, 2, 1}},
        {TEXT("empty"), TEXT("Empty"), REG_BINARY, {}},
        {TEXT("Level"), TEXT("level"), REG_SZ, {'7', 0, 'x', 0}},  // text as given, unterminated
        {nullptr, TEXT(""), REG_SZ, {'d', 0, 0, 0}},  // the default value, by either name
    };
    values.SetText(TEXT("stat"), TEXT("replaced by the first row, type and all"));
    for (const auto& [written, read, type, bytes] : cases) {
        // What follows the bytes is no terminator: the real registry counts one it finds there.
        std::vector<BYTE> followed = bytes;
        followed.insert(followed.end(), {'!', 0});
        values.Set(written, type, followed.data(), static_cast<DWORD>(bytes.size()));
    }
    registry.reopen();
    for (const auto& [written, read, type, bytes] : cases) {
        DWORD storedType = REG_NONE;
        std::vector<BYTE> stored;
        EXPECT_EQ(values.Get(read, storedType, stored), ERROR_SUCCESS) << type;
        EXPECT_EQ(std::tie(storedType, stored), std::tie(type, bytes)) << type;
    }

    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, program, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    BYTE buffer[3] = {'#'};
    DWORD size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExW(key, TEXT("level"), nullptr, nullptr, buffer, &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(std::tuple(size, buffer[0]), std::tuple(4u, '#'));  // size needed, none written
    DWORD type = REG_NONE;
    size = 0;
    EXPECT_EQ(RegQueryValueExW(key, TEXT("never written"), nullptr, &type, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
    EXPECT_EQ(StoredValues(TEXT("Software\\Other")).Text(TEXT("level")), TEXT("<missing>"));

    const WideString children = WideString(program) + TEXT("\\Children");
    const WideString first = children + TEXT("\\1"), deeper = children + TEXT("\\Two\\Deeper");
    EXPECT_EQ(OpenStatus(first), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(OpenStatus(children), ERROR_FILE_NOT_FOUND) << "a failed open makes no key";
    StoredValues(first.c_str()).SetText(TEXT("level"), TEXT("3"));
    StoredValues(children.c_str()).SetText(TEXT("next"), TEXT("2"));
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, deeper.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    HKEY parent = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, children.c_str(), 0, KEY_ALL_ACCESS, &parent),
              ERROR_SUCCESS);
    LONG end = ERROR_SUCCESS;
    using Names = std::vector<WideString>;
    EXPECT_EQ(Subkeys(parent, end), (Names{TEXT("1"), TEXT("Two")}));
    EXPECT_EQ(end, ERROR_NO_MORE_ITEMS);
    WCHAR name[8];
    DWORD length = 8;
    EXPECT_EQ(RegEnumKeyExW(parent, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegEnumKeyExW(parent, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA)
        << "no room for the terminator";
    EXPECT_EQ(RegDeleteKeyW(parent, TEXT("Two")), ERROR_ACCESS_DENIED) << "it has a subkey";
    EXPECT_EQ(RegDeleteKeyW(parent, TEXT("1")), ERROR_SUCCESS);
    if (registry.checkWritesKept) registry.checkWritesKept();
    EXPECT_EQ(OpenStatus(first), ERROR_FILE_NOT_FOUND);
    registry.reopen();
    EXPECT_EQ(OpenStatus(first), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Subkeys(parent, end), (Names{TEXT("Two")}));
    EXPECT_EQ(OpenStatus(deeper), ERROR_SUCCESS);
    EXPECT_EQ(StoredValues(children.c_str()).Text(TEXT("next")), TEXT("2"));
    EXPECT_EQ(StoredValues(first.c_str()).Text(TEXT("level")), TEXT("<missing>"))
        << "its values went with it";
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, first.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, first.c_str()), ERROR_FILE_NOT_FOUND);
    RegCloseKey(parent);

    if (!registry.setAvailable) return;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, children.c_str(), 0, KEY_ALL_ACCESS, &parent),
              ERROR_SUCCESS);
    registry.setAvailable(false);
    // Neither a key that cannot be opened nor subkeys that cannot be listed look absent; a
    // deletion happens as reported (the real registry may still list or delete through a
    // handle opened before).
    const LONG opened = OpenStatus(program);
    EXPECT_TRUE(opened != ERROR_SUCCESS && opened != ERROR_FILE_NOT_FOUND) << opened;
    const Names listed = Subkeys(parent, end);
    EXPECT_TRUE(end == ERROR_NO_MORE_ITEMS ? listed == Names{TEXT("Two")}
                                           : listed.empty() && end != ERROR_FILE_NOT_FOUND);
    const LONG deleted = RegDeleteKeyW(parent, TEXT("Two\\Deeper"));
    EXPECT_NE(deleted, ERROR_FILE_NOT_FOUND);
    RegCloseKey(parent);
    // Either the key cannot be opened or its values cannot be read or written; neither may look
    // like an empty store, and no write may look kept.
    key = nullptr;
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, program, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        size = sizeof buffer;
        status = RegQueryValueExW(key, TEXT("level"), nullptr, &type, buffer, &size);
        const BYTE lost[] = {'9', 0, 0, 0};
        EXPECT_NE(RegSetValueExW(key, TEXT("level"), 0, REG_SZ, lost, sizeof lost), ERROR_SUCCESS)
            << "a write that was not kept is reported as a failure";
        RegCloseKey(key);
    }
    EXPECT_NE(status, ERROR_SUCCESS);
    EXPECT_NE(status, ERROR_FILE_NOT_FOUND) << "an unusable store is not an empty one";
    registry.setAvailable(true);
    registry.reopen();
    EXPECT_EQ(OpenStatus(deeper) == ERROR_SUCCESS, deleted != ERROR_SUCCESS);
    std::vector<BYTE> bytes;
    EXPECT_EQ(values.Get(TEXT("level"), type, bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, (std::vector<BYTE>{'7', 0, 'x', 0})) << "nothing was lost meanwhile";
}

}  // namespace testsupport
