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

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                     REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                     LPDWORD disposition) {
    if (key == HKEY_CURRENT_USER) {
        if (TestSeams().registryRefused) return ERROR_ACCESS_DENIED;
        if (TestSeams().registryRoot != nullptr) key = TestSeams().registryRoot;
    }
    return ::RegCreateKeyExW(key, subKey, reserved, keyClass, options, access, security, result,
                             disposition);
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
