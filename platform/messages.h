// The message queue, internal to platform/.
#pragma once

#include "platform/win32.h"

namespace platform {

void EnqueueMessage(const MSG& message);
// The first queued message for `window` (any with null) in [filterMin, filterMax] (any
// with both 0), or the quit message once nothing posted is left.
bool TakeQueuedMessage(MSG& out, HWND window, UINT filterMin, UINT filterMax, bool remove);
void ClearMessageQueue();

}  // namespace platform
