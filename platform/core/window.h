// The objects behind window handles, and the emulated display they cover. Internal to the
// platform.
#pragma once

#include <string>
#include <vector>

#include "platform/core/gdi_objects.h"

namespace platform {

// The handheld's display: 240 × 320 unless a headless test display asks for another size.
struct DisplaySize {
    int width = 240;
    int height = 320;
};
DisplaySize& EmulatedDisplay();

struct Window {
    Window(int width, int height) : client(width, height) {}

    // What the window shows, in display pixels; drawn through the window's display context.
    Bitmap client;
    std::u16string className;
    std::u16string title;
    WNDPROC procedure = nullptr;
    bool visible = false;
    bool invalid = false;
    // Drawn on since the desktop last showed it.
    bool drawn = false;
    // Made visible and not yet put on the desktop: that waits for the next look at the queue,
    // so the window appears with its first picture rather than empty before it.
    bool showPending = false;
    // The display backend's window showing it; 0 on no desktop.
    int displayWindow = 0;
    // The single-instance name this window claimed, or -1.
    int instanceClaim = -1;
    // What SetAccessibleItems last gave, names filled with zeros after their end.
    std::vector<ACCESSIBLE_ITEM> accessibleItems;
};

void RegisterWindow(Window* window);
void UnregisterWindow(Window* window);
// The live window behind `handle`, or null.
Window* LookupWindow(HWND handle);
HWND HandleOf(Window* window);
std::vector<Window*> LiveWindows();
// The live window that the display backend shows as `displayWindow`, or null.
Window* WindowOnDisplay(int displayWindow);

// What was drawn on the window reaches the desktop at the next look at the message queue.
void MarkDrawn(Window& window);

// Tells the window's procedure WM_DESTROY, then frees it.
BOOL DestroyWindow(HWND handle);
// Frees a window without telling its procedure.
void FreeWindow(Window* window);
// At the end of the program: the windows whose procedure already heard WM_DESTROY (an exit
// that posted it) are still there.
void FreeAllWindows();

}  // namespace platform
