// The handheld shell's calls. A desktop window has no task bar, start icon or input panel of
// its own: these do nothing.
#define CHALKMERE_WIN32_ADAPTER
#include "platform/windows/adapter.h"

BOOL SHFullScreen(HWND, DWORD) { return TRUE; }
BOOL SHSipPreference(HWND, SIPSTATE) { return TRUE; }
BOOL SHHandleWMActivate(HWND, WPARAM, LPARAM, SHACTIVATEINFO*, DWORD) { return TRUE; }
BOOL SHHandleWMSettingChange(HWND, WPARAM, LPARAM, SHACTIVATEINFO*) { return TRUE; }
