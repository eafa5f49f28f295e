// The handheld shell's calls. A desktop has no task bar, start icon or input panel to hide:
// these check their window and arguments and do nothing else.
#include "platform/core/window.h"

using namespace platform;

BOOL SHFullScreen(HWND window, DWORD state) {
    constexpr DWORD kKnown = SHFS_SHOWTASKBAR | SHFS_HIDETASKBAR | SHFS_SHOWSIPBUTTON |
                             SHFS_HIDESIPBUTTON | SHFS_SHOWSTARTICON | SHFS_HIDESTARTICON;
    return LookupWindow(window) != nullptr && (state & ~kKnown) == 0 ? TRUE : FALSE;
}

BOOL SHSipPreference(HWND window, SIPSTATE) {
    return LookupWindow(window) != nullptr ? TRUE : FALSE;
}

BOOL SHHandleWMActivate(HWND window, WPARAM, LPARAM, SHACTIVATEINFO* info, DWORD) {
    return LookupWindow(window) != nullptr && info != nullptr ? TRUE : FALSE;
}

BOOL SHHandleWMSettingChange(HWND window, WPARAM, LPARAM, SHACTIVATEINFO* info) {
    return LookupWindow(window) != nullptr && info != nullptr ? TRUE : FALSE;
}
