// Shared by the adapter's rooms, never called by the program: the sound that waits for the
// program's first frame.
#pragma once

#include "platform/windows/adapter.h"

namespace win32adapter {

// Plays at once, or hands the play to the tests' seam.
BOOL PlaySoundNow(LPCWSTR sound, UINT flags);
// While a shown program window waits for its first paint, an asynchronous play waits for it
// too (starting the system's sound would hold up the first picture): true when it was kept.
// A stop or a synchronous play cuts off a play kept, as it would one playing.
bool HoldUntilFirstFrame(LPCWSTR sound, UINT flags);

}  // namespace win32adapter
