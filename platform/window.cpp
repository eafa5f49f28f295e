// Window classes and windows: creation, painting state, the window procedure's defaults.
#include "platform/window.h"

#include <algorithm>
#include <map>

#include "platform/icons.h"
#include "platform/messages.h"
#include "platform/sdl_display.h"
#include "platform/single_instance.h"
#include "platform/testing.h"

namespace platform {
namespace {

struct WindowClass {
    WNDPROC procedure;
    HICON icon;
};

// Class names compare without regard to case, as on Win32.
std::u16string ClassKey(LPCWSTR name) {
    std::u16string key = name != nullptr ? name : u"";
    for (char16_t& c : key) {
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return key;
}

std::map<std::u16string, WindowClass>& Classes() {
    static std::map<std::u16string, WindowClass> classes;
    return classes;
}

LRESULT Send(Window* window, UINT message, WPARAM wParam, LPARAM lParam) {
    return window->procedure != nullptr
               ? window->procedure(HandleOf(window), message, wParam, lParam)
               : DefWindowProcW(HandleOf(window), message, wParam, lParam);
}

// The icon a desktop window shows: the class's, or the program's own icon group.
HICON DesktopIcon(HICON classIcon) { return classIcon != nullptr ? classIcon : ProgramIcon(); }

}  // namespace

}  // namespace platform

using namespace platform;

ATOM RegisterClassW(const WNDCLASSW* windowClass) {
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr) return 0;
    const std::u16string key = ClassKey(windowClass->lpszClassName);
    if (key.empty() || Classes().count(key) != 0) return 0;
    Classes()[key] = {windowClass->lpfnWndProc, windowClass->hIcon};
    return static_cast<ATOM>(Classes().size());
}

HWND CreateWindowExW(DWORD, LPCWSTR className, LPCWSTR windowName, DWORD style, int, int, int, int,
                     HWND, HMENU, HINSTANCE, LPVOID) {
    auto found = Classes().find(ClassKey(className));
    if (found == Classes().end()) return nullptr;
    // The window covers the display until it is moved.
    auto* window = new Window(Display().width, Display().height);
    window->className = className;
    window->title = windowName != nullptr ? windowName : u"";
    window->procedure = found->second.procedure;
    RegisterWindow(window);
    if (!HeadlessDisplay()) {
        window->desktop = OpenDesktopWindow(*window, DesktopIcon(found->second.icon));
        window->instanceClaim = ClaimInstanceName(window->className, window->title);
    }
    if (Send(window, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(HandleOf(window));
        return nullptr;
    }
    if ((style & WS_VISIBLE) != 0) ShowWindow(HandleOf(window), SW_SHOW);
    return HandleOf(window);
}

namespace platform {

void FreeWindow(Window* window) {
    UnregisterWindow(window);
    CloseDesktopWindow(window->desktop);
    ReleaseInstanceName(window->instanceClaim);
    delete window;
}

void FreeAllWindows() {
    for (Window* window : LiveWindows()) FreeWindow(window);
}

}  // namespace platform

BOOL DestroyWindow(HWND handle) {
    Window* window = LookupWindow(handle);
    if (window == nullptr) return FALSE;
    Send(window, WM_DESTROY, 0, 0);
    FreeWindow(window);
    return TRUE;
}

BOOL ShowWindow(HWND handle, int command) {
    Window* window = LookupWindow(handle);
    if (window == nullptr) return FALSE;
    const bool wasVisible = window->visible;
    window->visible = command != SW_HIDE;
    if (window->visible && !wasVisible) {
        window->invalid = true;
        ShowDesktopWindow(window->desktop);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND handle) {
    Window* window = LookupWindow(handle);
    if (window == nullptr) return FALSE;
    if (window->invalid && window->visible) Send(window, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL MoveWindow(HWND handle, int, int, int width, int height, BOOL repaint) {
    Window* window = LookupWindow(handle);
    if (window == nullptr || width < 0 || height < 0) return FALSE;
    if (width == window->client.width && height == window->client.height) return TRUE;
    Bitmap resized(width, height);
    for (int y = 0; y < std::min(height, window->client.height); ++y) {
        std::copy_n(window->client.Row(y), std::min(width, window->client.width), resized.Row(y));
    }
    window->client.width = width;
    window->client.height = height;
    window->client.pixels.swap(resized.pixels);
    if (repaint) window->invalid = true;
    window->presentPending = true;
    return TRUE;
}

BOOL InvalidateRect(HWND handle, const RECT*, BOOL) {
    Window* window = LookupWindow(handle);
    if (window == nullptr) return FALSE;
    // The program always repaints the whole window, so the area is not tracked.
    window->invalid = true;
    return TRUE;
}

HDC BeginPaint(HWND handle, PAINTSTRUCT* paint) {
    Window* window = LookupWindow(handle);
    if (window == nullptr || paint == nullptr) return nullptr;
    *paint = PAINTSTRUCT{};
    paint->hdc = GetDC(handle);
    paint->rcPaint = {0, 0, window->client.width, window->client.height};
    window->invalid = false;
    return paint->hdc;
}

BOOL EndPaint(HWND handle, const PAINTSTRUCT* paint) {
    if (paint == nullptr) return FALSE;
    return ReleaseDC(handle, paint->hdc) == 1 ? TRUE : FALSE;
}

LRESULT DefWindowProcW(HWND handle, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_CLOSE: DestroyWindow(handle); return 0;
        case WM_PAINT: {
            // Painting nothing still validates, or WM_PAINT would come for ever.
            PAINTSTRUCT paint;
            BeginPaint(handle, &paint);
            EndPaint(handle, &paint);
            return 0;
        }
        default: return 0;
    }
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
    const std::u16string wantedClass = ClassKey(className);
    const std::u16string wantedTitle = windowName != nullptr ? windowName : u"";
    for (Window* window : LiveWindows()) {
        if (ClassKey(window->className.c_str()) == wantedClass &&
            (windowName == nullptr || window->title == wantedTitle)) {
            return HandleOf(window);
        }
    }
    if (HeadlessDisplay() || className == nullptr || windowName == nullptr) return nullptr;
    return FindOtherInstance(className, windowName);
}

BOOL SetForegroundWindow(HWND handle) {
    // The handheld lets the lowest bit ask for owned windows too; there are none here.
    handle = reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(handle) & ~std::uintptr_t{1});
    if (Window* window = LookupWindow(handle)) {
        RaiseDesktopWindow(window->desktop);
        return TRUE;
    }
    return AskOtherInstanceToRaise(handle) ? TRUE : FALSE;
}

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
