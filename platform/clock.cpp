// The millisecond tick count: monotonic time, or a value a test has set.
#include <ctime>
#include <optional>

#include "platform/testing.h"
#include "platform/win32.h"

namespace {

std::optional<DWORD>& TestTickCount() {
    static std::optional<DWORD> tickCount;
    return tickCount;
}

}  // namespace

DWORD GetTickCount() {
    if (TestTickCount()) return *TestTickCount();
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Wraps every 49.7 days, as on Win32.
    const auto milliseconds = static_cast<unsigned long long>(now.tv_sec) * 1000ULL +
                              static_cast<unsigned long long>(now.tv_nsec) / 1000000ULL;
    return static_cast<DWORD>(milliseconds);
}

namespace platform::testing {

void SetTickCount(DWORD tickCount) { TestTickCount() = tickCount; }

void UseRealTickCount() { TestTickCount().reset(); }

}  // namespace platform::testing
