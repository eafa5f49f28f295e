// GetTickCount and GetLocalTime on the standard library's clocks, or on the clock that is set.
#include "platform/core/clock.h"

#include <chrono>
#include <ctime>

namespace platform {
namespace {

Clock* currentClock = nullptr;

}  // namespace

DWORD SystemTickCount() {
    const auto elapsed = std::chrono::steady_clock::now().time_since_epoch();
    // Wraps every 49.7 days, as on Win32.
    return static_cast<DWORD>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void SystemLocalTime(SYSTEMTIME& time) {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    // One thread calls this, so localtime's shared result is safe to read.
    const std::tm local = *std::localtime(&seconds);
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    time.wYear = static_cast<WORD>(local.tm_year + 1900);
    time.wMonth = static_cast<WORD>(local.tm_mon + 1);
    time.wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time.wDay = static_cast<WORD>(local.tm_mday);
    time.wHour = static_cast<WORD>(local.tm_hour);
    time.wMinute = static_cast<WORD>(local.tm_min);
    time.wSecond = static_cast<WORD>(local.tm_sec);
    time.wMilliseconds = static_cast<WORD>(milliseconds);
}

void SetClock(Clock* clock) { currentClock = clock; }

}  // namespace platform

using namespace platform;

DWORD GetTickCount() {
    return currentClock != nullptr ? currentClock->TickCount() : SystemTickCount();
}

void GetLocalTime(SYSTEMTIME* time) {
    if (time == nullptr) return;
    if (currentClock != nullptr) {
        currentClock->LocalTime(*time);
    } else {
        SystemLocalTime(*time);
    }
}
