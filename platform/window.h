// The objects behind window handles, and the emulated display they cover. Internal to
// platform/.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi_objects.h"

namespace platform {

// The handheld's display: 240 × 320 unless a headless test display asks for another size.
struct DisplaySize {
    int width = 240;
    int height = 320;
};
DisplaySize& Display();

class DesktopWindow;

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
    bool presentPending = false;
    // The desktop window showing it; null on a headless display.
    DesktopWindow* desktop = nullptr;
    // The listening socket of the single-instance name this window claimed, or -1.
    int instanceClaim = -1;
};

void RegisterWindow(Window* window);
void UnregisterWindow(Window* window);
// The live window behind `handle`, or null.
Window* LookupWindow(HWND handle);
HWND HandleOf(Window* window);
std::vector<Window*> LiveWindows();

// Frees a window without telling its procedure; DestroyWindow tells it first.
void FreeWindow(Window* window);
// At the end of the program: the windows whose procedure already heard WM_DESTROY (an exit
// that posted it) are still there.
void FreeAllWindows();

// True when new windows stay off the desktop (tests); false by default.
bool& HeadlessDisplay();

}  // namespace platform
