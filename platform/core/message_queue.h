// The thread's message queue. Internal to the platform.
#pragma once

#include "platform/win32.h"

namespace platform {

// Empties the queue, the quit message included, and forgets the keys held.
void ClearMessageQueue();

// A key of the keyboard going down or up in the window, as a display's event would be
// delivered: a WM_KEYDOWN or WM_KEYUP queued; GetKeyState follows as it is taken.
void DeliverKeyTo(HWND window, int virtualKey, bool down, bool repeat);

}  // namespace platform
