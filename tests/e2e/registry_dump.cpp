// Prints the progress values stored in a registry database, read through the platform layer
// exactly as the program reads them:
//   registry_dump <registry.db>
// → score=…, level=…, auto=… and stat=c1/a1 … c12/a12, one per line; "missing" for a value
// that is not there. The end-to-end tests compare these lines.
//   registry_dump <registry.db> children
// → those lines, then the household's (picture, children, lastChild, nextChild), then
// Children=<the numbers of its subkeys, ascending> (or Children=missing without the key) and,
// for each subkey n, its five values as Children\n\score=… and so on.
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/desktop/sqlite_store.h"
#include "platform/win32.h"

namespace {

constexpr int kLevels = 12;
constexpr DWORD kStatSize = kLevels * 2 * 4;

// Type and bytes of a value; false when it is missing.
bool Query(HKEY key, LPCWSTR name, DWORD& type, std::vector<BYTE>& data) {
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    data.assign(size, 0);
    return size == 0 ||
           RegQueryValueExW(key, name, nullptr, &type, data.data(), &size) == ERROR_SUCCESS;
}

// REG_SZ text as stored, up to its terminator; anything else is shown with its type so that
// a wrongly typed value never passes for the right one.
std::string Text(HKEY key, LPCWSTR name) {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    if (!Query(key, name, type, data)) return "missing";
    if (type != REG_SZ) return "type" + std::to_string(type);
    std::string text;
    bool terminated = false;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        const unsigned unit = data[i] | (data[i + 1] << 8);
        if (unit == 0) {
            terminated = true;
            break;
        }
        text += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    return terminated ? text : text + "(unterminated)";
}

std::string Statistics(HKEY key) {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    if (!Query(key, TEXT("stat"), type, data)) return "missing";
    if (type != REG_BINARY) return "type" + std::to_string(type);
    if (data.size() != kStatSize) return "size" + std::to_string(data.size());
    const auto number = [&](std::size_t at) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(data[at]) |
                                         static_cast<std::uint32_t>(data[at + 1]) << 8 |
                                         static_cast<std::uint32_t>(data[at + 2]) << 16 |
                                         static_cast<std::uint32_t>(data[at + 3]) << 24);
    };
    std::string text;
    for (int level = 0; level < kLevels; ++level) {
        if (level != 0) text += ' ';
        text += std::to_string(number(level * 8)) + "/" + std::to_string(number(level * 8 + 4));
    }
    return text;
}

// A value's text by its narrow name; the names are ASCII.
std::string Text(HKEY key, const std::string& name) {
    const std::u16string wide(name.begin(), name.end());
    return Text(key, wide.c_str());
}

void PrintProgress(HKEY key, const std::string& prefix) {
    for (const char* name : {"score", "level", "auto"}) {
        std::printf("%s%s=%s\n", prefix.c_str(), name, Text(key, name).c_str());
    }
    std::printf("%sstat=%s\n", prefix.c_str(), Statistics(key).c_str());
}

// The household's values and every child's key; false when the store cannot be read.
bool PrintChildren(HKEY key) {
    for (const char* name : {"picture", "children", "lastChild", "nextChild"}) {
        std::printf("%s=%s\n", name, Text(key, name).c_str());
    }
    HKEY children = nullptr;
    const LONG opened = key == nullptr
                            ? ERROR_FILE_NOT_FOUND
                            : RegOpenKeyExW(key, TEXT("Children"), 0, KEY_READ, &children);
    if (opened == ERROR_FILE_NOT_FOUND) {
        std::printf("Children=missing\n");
        return true;
    }
    if (opened != ERROR_SUCCESS) return false;
    std::vector<std::u16string> names;
    WCHAR name[64];
    for (DWORD length = 64; RegEnumKeyExW(children, static_cast<DWORD>(names.size()), name, &length,
                                          nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         length = 64) {
        names.emplace_back(name);
    }
    // Numbers in ascending order: the shorter name first.
    std::sort(names.begin(), names.end(), [](const std::u16string& a, const std::u16string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    std::string listed;
    for (const std::u16string& child : names) {
        if (!listed.empty()) listed += ',';
        listed += std::string(child.begin(), child.end());
    }
    std::printf("Children=%s\n", listed.c_str());
    for (const std::u16string& child : names) {
        const std::string prefix = "Children\\" + std::string(child.begin(), child.end()) + "\\";
        HKEY childKey = nullptr;
        if (RegOpenKeyExW(children, child.c_str(), 0, KEY_READ, &childKey) != ERROR_SUCCESS) {
            return false;
        }
        PrintProgress(childKey, prefix);
        std::printf("%spicture=%s\n", prefix.c_str(), Text(childKey, "picture").c_str());
        RegCloseKey(childKey);
    }
    RegCloseKey(children);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const bool children = argc == 3 && std::string(argv[2]) == "children";
    if (argc != 2 && !children) {
        std::fprintf(stderr, "usage: %s <registry.db> [children]\n", argv[0]);
        return 2;
    }
    // Opening creates a database; a missing file must stay missing for the next look.
    struct stat info {};
    if (stat(argv[1], &info) != 0) {
        PrintProgress(nullptr, "");
        if (children) PrintChildren(nullptr);
        return 0;
    }
    platform::SqliteStore store(argv[1]);
    platform::SetRegistryStore(&store);
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, TEXT("Software\\Brindlewick\\Chalkmere"), 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        std::fprintf(stderr, "registry_dump: cannot open the key: %s\n", store.LastError().c_str());
        return 1;
    }
    PrintProgress(key, "");
    const bool read = !children || PrintChildren(key);
    if (!read)
        std::fprintf(stderr, "registry_dump: cannot read the children: %s\n",
                     store.LastError().c_str());
    RegCloseKey(key);
    platform::SetRegistryStore(nullptr);
    return read ? 0 : 1;
}
