// One running instance per user: the first window of a class and title claims a per-user
// name (an abstract Unix socket); a later process finds it there and asks it to come forward.
// Internal to platform/.
#pragma once

#include <string>

#include "platform/win32.h"

namespace platform {

// Claims the name for this class and title; the listening socket, or -1 when another
// process holds it (or it cannot be made).
int ClaimInstanceName(const std::u16string& className, const std::u16string& title);
void ReleaseInstanceName(int socket);
// A handle standing for the window of another process that claimed the name, or null.
HWND FindOtherInstance(LPCWSTR className, LPCWSTR title);
// Asks the process behind a handle from FindOtherInstance to raise its window.
bool AskOtherInstanceToRaise(HWND handle);
// Raises the windows whose names another instance has asked for.
void ServeRaiseRequests();

}  // namespace platform
