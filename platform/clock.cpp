// The millisecond tick count: monotonic time, or a value a test has set.
#include <time.h>
#include <ctime>
#include <optional>

#include "platform/testing.h"
#include "platform/win32.h"

namespace {

std::optional<DWORD>& TestTickCount() {
    static std::optional<DWORD> tickCount;
    return tickCount;
}

std::optional<SYSTEMTIME>& TestLocalTime() {
    static std::optional<SYSTEMTIME> localTime;
    return localTime;
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

void SetLocalTime(const SYSTEMTIME& time) { TestLocalTime() = time; }

void UseRealLocalTime() { TestLocalTime().reset(); }

}  // namespace platform::testing

void GetLocalTime(SYSTEMTIME* time) {
    if (time == nullptr) return;
    if (TestLocalTime()) {
        *time = *TestLocalTime();
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    time->wSecond = static_cast<WORD>(local.tm_sec);
    time->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}
