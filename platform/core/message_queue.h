// The thread's message queue. Internal to the platform.
#pragma once

#include "platform/win32.h"

namespace platform {

// Empties the queue, the quit message included.
void ClearMessageQueue();

}  // namespace platform
