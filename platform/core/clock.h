// The clock seam: GetTickCount and GetLocalTime read the system's clocks unless another
// clock (a test's) is set.
#pragma once

#include "platform/win32.h"

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual DWORD TickCount() = 0;
    virtual void LocalTime(SYSTEMTIME& time) = 0;
};

// The system's clocks: monotonic milliseconds since an arbitrary start, and local wall time.
DWORD SystemTickCount();
void SystemLocalTime(SYSTEMTIME& time);

// Null goes back to the system's clocks.
void SetClock(Clock* clock);

}  // namespace platform
