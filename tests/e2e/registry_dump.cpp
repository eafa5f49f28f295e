// Prints the progress values stored in a registry database, read through the platform layer
// exactly as the program reads them:
//   registry_dump <registry.db>
// → score=…, level=…, auto=… and stat=c1/a1 … c12/a12, one per line; "missing" for a value
// that is not there. The end-to-end tests compare these lines.
#include <sys/stat.h>

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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <registry.db>\n", argv[0]);
        return 2;
    }
    // Opening creates a database; a missing file must stay missing for the next look.
    struct stat info {};
    if (stat(argv[1], &info) != 0) {
        std::printf("score=missing\nlevel=missing\nauto=missing\nstat=missing\n");
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
    std::printf("score=%s\n", Text(key, TEXT("score")).c_str());
    std::printf("level=%s\n", Text(key, TEXT("level")).c_str());
    std::printf("auto=%s\n", Text(key, TEXT("auto")).c_str());
    std::printf("stat=%s\n", Statistics(key).c_str());
    RegCloseKey(key);
    platform::SetRegistryStore(nullptr);
    return 0;
}
