// The object behind a window handle, and the emulated display it shows. Internal to
// platform/.
#pragma once

#include "platform/gdi_objects.h"

namespace platform {

// The handheld's display: 240 × 320 unless a headless test display asks for another size.
struct DisplaySize {
    int width = 240;
    int height = 320;
};
DisplaySize& Display();

struct Window {
    Window(int width, int height) : client(width, height) {}

    // What the window shows, in display pixels; drawn through the window's display context.
    Bitmap client;
};

void RegisterWindow(Window* window);
void UnregisterWindow(Window* window);
// The live window behind `handle`, or null.
Window* LookupWindow(HWND handle);

}  // namespace platform
