// Window handles and the emulated display.
#include "platform/window.h"

#include <unordered_set>

namespace platform {
namespace {

std::unordered_set<Window*>& LiveWindows() {
    static std::unordered_set<Window*> windows;
    return windows;
}

}  // namespace

DisplaySize& Display() {
    static DisplaySize display;
    return display;
}

void RegisterWindow(Window* window) { LiveWindows().insert(window); }

void UnregisterWindow(Window* window) { LiveWindows().erase(window); }

Window* LookupWindow(HWND handle) {
    auto* window = reinterpret_cast<Window*>(handle);
    return LiveWindows().count(window) != 0 ? window : nullptr;
}

}  // namespace platform
