// The live windows and the display they cover; every handle to a window is checked here.
#include <algorithm>

#include "platform/core/window.h"

namespace platform {
namespace {

std::vector<Window*>& Windows() {
    static std::vector<Window*> windows;
    return windows;
}

}  // namespace

DisplaySize& EmulatedDisplay() {
    static DisplaySize display;
    return display;
}

void RegisterWindow(Window* window) { Windows().push_back(window); }

void UnregisterWindow(Window* window) {
    auto& windows = Windows();
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

Window* LookupWindow(HWND handle) {
    auto* window = reinterpret_cast<Window*>(handle);
    const auto& windows = Windows();
    return std::find(windows.begin(), windows.end(), window) != windows.end() ? window : nullptr;
}

HWND HandleOf(Window* window) { return reinterpret_cast<HWND>(window); }

std::vector<Window*> LiveWindows() { return Windows(); }

Window* WindowOnDisplay(int displayWindow) {
    for (Window* window : Windows()) {
        if (displayWindow != 0 && window->displayWindow == displayWindow) return window;
    }
    return nullptr;
}

void MarkDrawn(Window& window) { window.drawn = true; }

}  // namespace platform
