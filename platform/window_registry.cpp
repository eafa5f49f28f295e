// The live windows and the display they cover; every drawing context on a window checks
// its handle here.
#include <algorithm>

#include "platform/testing.h"
#include "platform/window.h"

namespace platform {
namespace {

std::vector<Window*>& Windows() {
    static std::vector<Window*> windows;
    return windows;
}

}  // namespace

DisplaySize& Display() {
    static DisplaySize display;
    return display;
}

bool& HeadlessDisplay() {
    static bool headless = false;
    return headless;
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

}  // namespace platform

namespace platform::testing {

void UseHeadlessDisplay(bool headless) { HeadlessDisplay() = headless; }

}  // namespace platform::testing
