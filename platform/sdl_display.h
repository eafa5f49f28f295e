// The desktop side of windows: an SDL window showing the emulated display scaled by a whole
// factor, and the desktop's events turned into messages. Internal to platform/.
#pragma once

#include "platform/window.h"

namespace platform {

// Opens a hidden desktop window for `window`; null when no display can be opened.
DesktopWindow* OpenDesktopWindow(Window& window, HICON icon);
void CloseDesktopWindow(DesktopWindow* desktop);
void ShowDesktopWindow(DesktopWindow* desktop);
void RaiseDesktopWindow(DesktopWindow* desktop);
// Copies the window's pixels to the desktop.
void PresentDesktopWindow(DesktopWindow* desktop, const Bitmap& client);
// Turns waiting desktop events into messages, waiting up to `timeout` ms for the first one.
// Returns false when no desktop is in use.
bool PumpDesktopEvents(int timeout);
// Closes the desktop side at the end of the program.
void ShutDownDesktop();

}  // namespace platform
