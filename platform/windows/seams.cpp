// The seams the tests set (clock, local time, sounds, the registry's root) and the count of
// resource loads they read; the program never sets them. The counterpart of the core's
// backends.cpp.
#define CHALKMERE_WIN32_ADAPTER
#include "platform/windows/adapter.h"

#include <cstdint>
#include <map>

namespace win32adapter {

DWORD GetTickCount() {
    return TestSeams().tickCount != nullptr ? TestSeams().tickCount() : ::GetTickCount();
}

void GetLocalTime(LPSYSTEMTIME time) {
    if (TestSeams().localTime != nullptr) {
        TestSeams().localTime(time);
    } else {
        ::GetLocalTime(time);
    }
}

BOOL sndPlaySoundW(LPCWSTR sound, UINT flags) {
    if (TestSeams().playSound != nullptr) return TestSeams().playSound(sound, flags);
    return ::sndPlaySoundW(sound, flags);
}

namespace {
// The key the program's HKEY_CURRENT_USER stands for; null when the registry is refused.
HKEY CurrentUser(HKEY key) {
    if (key != HKEY_CURRENT_USER) return key;
    if (TestSeams().registryRefused) return nullptr;
    return TestSeams().registryRoot != nullptr ? TestSeams().registryRoot : key;
}
}  // namespace

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                     REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                     LPDWORD disposition) {
    key = CurrentUser(key);
    if (key == nullptr) return ERROR_ACCESS_DENIED;
    return ::RegCreateKeyExW(key, subKey, reserved, keyClass, options, access, security, result,
                             disposition);
}

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result) {
    key = CurrentUser(key);
    if (key == nullptr) return ERROR_ACCESS_DENIED;
    return ::RegOpenKeyExW(key, subKey, options, access, result);
}

LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey) {
    key = CurrentUser(key);
    if (key == nullptr) return ERROR_ACCESS_DENIED;
    return ::RegDeleteKeyW(key, subKey);
}

namespace {
std::map<HRSRC, int>& ResourceIds() {
    static std::map<HRSRC, int> ids;
    return ids;
}
std::map<int, int>& LoadCounts() {
    static std::map<int, int> counts;
    return counts;
}
}  // namespace

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    HRSRC found = ::FindResourceW(module, name, type);
    if (found != nullptr && IS_INTRESOURCE(name)) {
        ResourceIds()[found] = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
    }
    return found;
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    auto id = ResourceIds().find(resource);
    if (id != ResourceIds().end()) ++LoadCounts()[id->second];
    return ::LoadResource(module, resource);
}

int ResourceLoadCount(int id) { return LoadCounts()[id]; }

Seams& TestSeams() {
    static Seams seams;
    return seams;
}

}  // namespace win32adapter
