// Window classes and windows: creation, painting state, the window procedure's defaults, and
// the single-instance rule through the instance backend.
#include "platform/core/window.h"

#include <algorithm>
#include <map>

#include "platform/core/display.h"
#include "platform/core/icons.h"
#include "platform/core/instance.h"
#include "platform/core/utf16.h"

namespace platform {
namespace {

struct WindowClass {
    WNDPROC procedure;
    HICON icon;
};

// Class names compare without regard to case, as on Win32.
std::map<std::u16string, WindowClass>& Classes() {
    static std::map<std::u16string, WindowClass> classes;
    return classes;
}

LRESULT Send(Window* window, UINT message, WPARAM wParam, LPARAM lParam) {
    return window->procedure != nullptr
               ? window->procedure(HandleOf(window), message, wParam, lParam)
               : DefWindowProcW(HandleOf(window), message, wParam, lParam);
}

// The window of another process that claimed the name: what FindWindowW found last.
struct OtherInstance {
    std::u16string className;
    std::u16string title;
};

OtherInstance& FoundOther() {
    static OtherInstance found;
    return found;
}

HWND OtherInstanceHandle() { return reinterpret_cast<HWND>(&FoundOther()); }

// The display showing the window, or null for a window off the desktop.
DisplayBackend* DisplayOf(const Window& window) {
    return window.displayWindow != 0 ? CurrentDisplay() : nullptr;
}

// Puts the window on the desktop and claims its name there; false when no desktop window can
// be opened.
bool OpenOnDesktop(Window& window, HICON classIcon) {
    DisplayBackend* display = CurrentDisplay();
    if (display == nullptr) return true;
    // The class's icon, or the program's own icon group.
    const IconImage icon = DesktopIcon(classIcon != nullptr ? classIcon : ProgramIcon());
    window.displayWindow = display->Open(window.title, window.client.width, window.client.height,
                                         icon.width > 0 ? &icon : nullptr);
    if (window.displayWindow == 0) return false;
    if (InstanceBackend* instances = CurrentInstanceBackend()) {
        window.instanceClaim = instances->Claim(window.className, window.title);
    }
    return true;
}

}  // namespace

BOOL DestroyWindow(HWND handle) {
    Window* window = LookupWindow(handle);
    if (window == nullptr) return FALSE;
    Send(window, WM_DESTROY, 0, 0);
    FreeWindow(window);
    return TRUE;
}

void FreeWindow(Window* window) {
    UnregisterWindow(window);
    if (DisplayBackend* display = DisplayOf(*window)) display->Close(window->displayWindow);
    if (window->instanceClaim >= 0 && CurrentInstanceBackend() != nullptr) {
        CurrentInstanceBackend()->Release(window->instanceClaim);
    }
    delete window;
}

void FreeAllWindows() {
    for (Window* window : LiveWindows()) FreeWindow(window);
}

}  // namespace platform

using namespace platform;

ATOM RegisterClassW(const WNDCLASSW* windowClass) {
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr) return 0;
    const std::u16string key = AsciiUpper(windowClass->lpszClassName);
    if (key.empty() || Classes().count(key) != 0) return 0;
    Classes()[key] = {windowClass->lpfnWndProc, windowClass->hIcon};
    return static_cast<ATOM>(Classes().size());
}

HWND CreateWindowExW(DWORD, LPCWSTR className, LPCWSTR windowName, DWORD style, int, int, int, int,
                     HWND, HMENU, HINSTANCE, LPVOID) {
    auto found = Classes().find(AsciiUpper(className));
    if (found == Classes().end()) return nullptr;
    // The window covers the display until it is moved.
    auto* window = new Window(EmulatedDisplay().width, EmulatedDisplay().height);
    window->className = className;
    window->title = windowName != nullptr ? windowName : u"";
    window->procedure = found->second.procedure;
    if (!OpenOnDesktop(*window, found->second.icon)) {
        delete window;
        return nullptr;
    }
    RegisterWindow(window);
    if (Send(window, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(HandleOf(window));
        return nullptr;
    }
    if ((style & WS_VISIBLE) != 0) ShowWindow(HandleOf(window), SW_SHOW);
    return HandleOf(window);
}

BOOL ShowWindow(HWND handle, int command) {
    Window* window = LookupWindow(handle);
    if (window == nullptr) return FALSE;
    const bool wasVisible = window->visible;
    window->visible = command != SW_HIDE;
    if (window->visible && !wasVisible) {
        window->invalid = true;
        window->showPending = DisplayOf(*window) != nullptr;
    }
    if (!window->visible) window->showPending = false;
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
    MarkDrawn(*window);
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
    const std::u16string wantedClass = AsciiUpper(className);
    const std::u16string wantedTitle = windowName != nullptr ? windowName : u"";
    for (Window* window : LiveWindows()) {
        if (AsciiUpper(window->className.c_str()) == wantedClass &&
            (windowName == nullptr || window->title == wantedTitle)) {
            return HandleOf(window);
        }
    }
    InstanceBackend* instances = CurrentInstanceBackend();
    if (instances == nullptr || className == nullptr || windowName == nullptr ||
        !instances->FindOther(className, windowName)) {
        return nullptr;
    }
    FoundOther() = {className, windowName};
    return OtherInstanceHandle();
}

BOOL SetForegroundWindow(HWND handle) {
    // The handheld lets the lowest bit ask for owned windows too; there are none here.
    handle = reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(handle) & ~std::uintptr_t{1});
    if (Window* window = LookupWindow(handle)) {
        if (DisplayBackend* display = DisplayOf(*window)) display->Raise(window->displayWindow);
        return TRUE;
    }
    InstanceBackend* instances = CurrentInstanceBackend();
    return handle == OtherInstanceHandle() && instances != nullptr &&
                   instances->AskOtherToRaise(FoundOther().className, FoundOther().title)
               ? TRUE
               : FALSE;
}
