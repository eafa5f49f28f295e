// Values of a registry key read and written directly, below whatever uses them: what a test
// stores before a record loads, and what it finds afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace testsupport {

// Text as the program's strings hold it.
using WideString = std::basic_string<WCHAR>;

class StoredValues {
public:
    explicit StoredValues(LPCWSTR keyPath = TEXT("Software\\Brindlewick\\Chalkmere"))
        : keyPath_(keyPath) {}

    void Set(LPCWSTR name, DWORD type, const void* data, DWORD size) {
        HKEY key = Open();
        EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    // Text as the program writes it: UTF-16 with its terminator.
    void SetText(LPCWSTR name, const WideString& text) {
        Set(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * 2));
    }
    void SetStatistics(const std::vector<std::int32_t>& counters) {
        Set(TEXT("stat"), REG_BINARY, counters.data(), static_cast<DWORD>(counters.size() * 4));
    }

    // The value's bytes and type; the query's status when it cannot be read whole.
    LONG Get(LPCWSTR name, DWORD& type, std::vector<BYTE>& bytes) {
        HKEY key = Open();
        DWORD size = 0;
        LONG status = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
        if (status == ERROR_SUCCESS) {
            bytes.assign(size, 0);
            status = RegQueryValueExW(key, name, nullptr, &type, bytes.data(), &size);
        }
        RegCloseKey(key);
        return status;
    }
    // A text value as stored, checking that it was written with its terminator.
    WideString Text(LPCWSTR name) {
        DWORD type = REG_NONE;
        std::vector<BYTE> bytes;
        if (Get(name, type, bytes) != ERROR_SUCCESS) return TEXT("<missing>");
        WideString text(reinterpret_cast<const WCHAR*>(bytes.data()), bytes.size() / 2);
        if (type != REG_SZ || bytes.size() % 2 != 0 || text.empty() || text.back() != 0) {
            return TEXT("<not a terminated text>");
        }
        return text.substr(0, text.size() - 1);
    }

private:
    HKEY Open() {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        return key;
    }

    WideString keyPath_;
};

}  // namespace testsupport
