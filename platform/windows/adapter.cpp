#define CHALKMERE_WIN32_ADAPTER
#include "platform/windows/adapter.h"

#include <sddl.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace win32adapter {
namespace {

constexpr int kDisplayWidth = 240;
constexpr int kDisplayHeight = 320;
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;

// One program window: the display it draws on and how that is shown in the desktop window.
struct Display {
    HWND window = nullptr;
    WNDPROC programProc = nullptr;
    HDC surfaceDC = nullptr;
    HBITMAP surface = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    HDC paintDC = nullptr;  // the window's own, between BeginPaint and EndPaint
    int scale = 1;
    int offsetX = 0;
    int offsetY = 0;
    bool fullScreen = false;
    bool pressed = false;  // the program has heard a press and not yet its release
    WINDOWPLACEMENT placement = {};

    ~Display() {
        if (surfaceDC != nullptr) SelectObject(surfaceDC, previousBitmap);
        DeleteDC(surfaceDC);
        DeleteObject(surface);
    }
};

std::map<HWND, std::unique_ptr<Display>>& Displays() {
    static std::map<HWND, std::unique_ptr<Display>> displays;
    return displays;
}
std::map<std::wstring, WNDPROC>& ClassProcs() {
    static std::map<std::wstring, WNDPROC> procs;
    return procs;
}
// The display whose window is being created: its first messages (and the program's calls
// while it handles WM_CREATE) come before CreateWindowExW has returned the handle.
std::unique_ptr<Display> creating;
DWORD lastPresent = 0;

Display* Find(HWND window) {
    auto found = Displays().find(window);
    return found != Displays().end() ? found->second.get() : nullptr;
}

Display* FindBySurface(HDC dc) {
    for (auto& [window, display] : Displays()) {
        if (display->surfaceDC == dc) return display.get();
    }
    return nullptr;
}

// Asks a window of the program to come forward: posted, so the asking process never waits.
UINT RaiseMessage() {
    static const UINT message = RegisterWindowMessageW(L"Chalkmere.RaiseInstance");
    return message;
}

// Asked by another start, a window covered by another program's comes back as a minimised one
// does: a window manager may refuse the focus to a window that only asks for it, never to one
// restored.
BOOL BringForward(HWND window, bool asked) {
    if (asked && !IsIconic(window) && GetForegroundWindow() != window) {
        ShowWindow(window, SW_MINIMIZE);
    }
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    // Raised as well as activated: without a window manager to act on the activation (as
    // under Wine on a bare X server), the window would otherwise stay where it was stacked.
    BringWindowToTop(window);
    return ::SetForegroundWindow(window);
}

// A press the program heard ends as if the pen lifted off beyond every figure, so no button
// stays pressed for the next tap to set off.
void CancelPress(Display& display) {
    if (!display.pressed) return;
    display.pressed = false;
    CallWindowProcW(display.programProc, display.window, WM_LBUTTONUP, 0,
                    MAKELPARAM(0xFFFF, 0xFFFF));
}

std::wstring Folded(LPCWSTR name) {
    std::wstring folded = name != nullptr ? name : L"";
    for (wchar_t& c : folded) c = static_cast<wchar_t>(towlower(c));
    return folded;
}

bool MakeSurface(Display& display) {
    HDC screen = ::GetDC(nullptr);
    display.surfaceDC = CreateCompatibleDC(screen);
    display.surface = CreateCompatibleBitmap(screen, kDisplayWidth, kDisplayHeight);
    ::ReleaseDC(nullptr, screen);
    if (display.surfaceDC == nullptr || display.surface == nullptr) return false;
    display.previousBitmap = SelectObject(display.surfaceDC, display.surface);
    PatBlt(display.surfaceDC, 0, 0, kDisplayWidth, kDisplayHeight, BLACKNESS);
    return true;
}

// The largest whole scale at which the display fits the client area, centred in it.
void Fit(Display& display) {
    RECT client{};
    ::GetClientRect(display.window, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    display.scale = std::max(1, std::min(width / kDisplayWidth, height / kDisplayHeight));
    display.offsetX = (width - kDisplayWidth * display.scale) / 2;
    display.offsetY = (height - kDisplayHeight * display.scale) / 2;
}

// Draws the display, and the bars around it, onto the window's own context.
void Present(Display& display, HDC windowDC) {
    RECT client{};
    ::GetClientRect(display.window, &client);
    const int width = kDisplayWidth * display.scale;
    const int height = kDisplayHeight * display.scale;
    const RECT picture = {display.offsetX, display.offsetY, display.offsetX + width,
                          display.offsetY + height};
    const auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT bars[] = {{0, 0, client.right, picture.top},
                         {0, picture.bottom, client.right, client.bottom},
                         {0, picture.top, picture.left, picture.bottom},
                         {picture.right, picture.top, client.right, picture.bottom}};
    for (const RECT& bar : bars) {
        if (bar.right > bar.left && bar.bottom > bar.top) FillRect(windowDC, &bar, black);
    }
    SetStretchBltMode(windowDC, COLORONCOLOR);
    StretchBlt(windowDC, picture.left, picture.top, width, height, display.surfaceDC, 0, 0,
               kDisplayWidth, kDisplayHeight, SRCCOPY);
    lastPresent = GetTickCount();
}

// A point of the client area in display pixels; false in the bars around the picture.
bool ToDisplay(const Display& display, LPARAM position, LPARAM& mapped) {
    const int x = static_cast<short>(LOWORD(position)) - display.offsetX;
    const int y = static_cast<short>(HIWORD(position)) - display.offsetY;
    const bool inside = x >= 0 && y >= 0 && x < kDisplayWidth * display.scale &&
                        y < kDisplayHeight * display.scale;
    const int displayX = std::clamp(x < 0 ? -1 : x / display.scale, 0, kDisplayWidth - 1);
    const int displayY = std::clamp(y < 0 ? -1 : y / display.scale, 0, kDisplayHeight - 1);
    mapped = MAKELPARAM(displayX, displayY);
    return inside;
}

void ToggleFullScreen(Display& display) {
    if (!display.fullScreen) {
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof monitor;
        display.placement.length = sizeof display.placement;
        if (!GetWindowPlacement(display.window, &display.placement) ||
            !GetMonitorInfoW(MonitorFromWindow(display.window, MONITOR_DEFAULTTOPRIMARY),
                             &monitor)) {
            return;
        }
        SetWindowLongPtrW(display.window, GWL_STYLE, WS_POPUP | WS_VISIBLE);
        const RECT& area = monitor.rcMonitor;
        SetWindowPos(display.window, HWND_TOP, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
    } else {
        SetWindowLongPtrW(display.window, GWL_STYLE, kWindowStyle | WS_VISIBLE);
        SetWindowPlacement(display.window, &display.placement);
        SetWindowPos(display.window, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER |
                         SWP_FRAMECHANGED);
    }
    display.fullScreen = !display.fullScreen;
}

LRESULT CALLBACK AdapterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Display* display = Find(window);
    if (display == nullptr && creating != nullptr) {
        creating->window = window;
        display = creating.get();
        Fit(*display);
        Displays()[window] = std::move(creating);
    }
    if (display == nullptr || display->programProc == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_LBUTTONDBLCLK:
            // The handheld's pen never double-clicks: a child's second quick tap is a tap.
            message = WM_LBUTTONDOWN;
            [[fallthrough]];
        case WM_LBUTTONDOWN: {
            LPARAM mapped = 0;
            if (!ToDisplay(*display, lParam, mapped)) return 0;
            SetCapture(window);
            display->pressed = true;
            return CallWindowProcW(display->programProc, window, message, wParam, mapped);
        }
        case WM_LBUTTONUP: {
            display->pressed = false;
            if (GetCapture() == window) ReleaseCapture();
            LPARAM mapped = 0;
            ToDisplay(*display, lParam, mapped);
            return CallWindowProcW(display->programProc, window, message, wParam, mapped);
        }
        case WM_CAPTURECHANGED:
            // Taken by another window, or dropped by the system, with the button still down.
            if (reinterpret_cast<HWND>(lParam) != window) CancelPress(*display);
            break;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) CancelPress(*display);
            break;
        case WM_MOUSEMOVE:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            return 0;  // the handheld knows only the pen
        case WM_SIZE:
            Fit(*display);
            InvalidateRect(window, nullptr, FALSE);
            break;
        case WM_ERASEBKGND:
            return 1;  // the present paints every pixel of the client area
        case WM_GETMINMAXINFO: {
            RECT frame = {0, 0, kDisplayWidth, kDisplayHeight};
            AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = {frame.right - frame.left, frame.bottom - frame.top};
            return 0;
        }
        case WM_DPICHANGED: {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_F11) {
                ToggleFullScreen(*display);
                return 0;
            }
            break;
        case WM_NCDESTROY: {
            const LRESULT result =
                CallWindowProcW(display->programProc, window, message, wParam, lParam);
            Displays().erase(window);
            return result;
        }
        default:
            if (message == RaiseMessage()) return BringForward(window, true);
            break;
    }
    return CallWindowProcW(display->programProc, window, message, wParam, lParam);
}

}  // namespace

HDC GetDC(HWND window) {
    Display* display = Find(window);
    return display != nullptr ? display->surfaceDC : ::GetDC(window);
}

int ReleaseDC(HWND window, HDC dc) {
    Display* display = Find(window);
    if (display == nullptr || dc != display->surfaceDC) return ::ReleaseDC(window, dc);
    if (IsWindowVisible(window)) {
        HDC windowDC = ::GetDC(window);
        Present(*display, windowDC);
        ::ReleaseDC(window, windowDC);
    }
    return 1;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    HDC windowDC = ::BeginPaint(window, paint);
    Display* display = Find(window);
    if (display == nullptr || windowDC == nullptr) return windowDC;
    display->paintDC = windowDC;
    paint->hdc = display->surfaceDC;
    paint->rcPaint = {0, 0, kDisplayWidth, kDisplayHeight};
    return display->surfaceDC;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    Display* display = Find(window);
    if (display == nullptr || display->paintDC == nullptr) return ::EndPaint(window, paint);
    Present(*display, display->paintDC);
    PAINTSTRUCT real = *paint;
    real.hdc = display->paintDC;
    display->paintDC = nullptr;
    return ::EndPaint(window, &real);
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    if (Find(window) == nullptr) return ::GetClientRect(window, rect);
    *rect = {0, 0, kDisplayWidth, kDisplayHeight};
    return TRUE;
}

int GetDeviceCaps(HDC dc, int index) {
    if (FindBySurface(dc) != nullptr) {
        if (index == HORZRES) return kDisplayWidth;
        if (index == VERTRES) return kDisplayHeight;
    }
    return ::GetDeviceCaps(dc, index);
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    if (Find(window) != nullptr) return TRUE;
    return ::MoveWindow(window, x, y, width, height, repaint);
}

ATOM RegisterClassW(const WNDCLASSW* windowClass) {
    WNDCLASSEXW adapted = {};
    adapted.cbSize = sizeof adapted;
    adapted.style = windowClass->style;
    adapted.cbClsExtra = windowClass->cbClsExtra;
    adapted.cbWndExtra = windowClass->cbWndExtra;
    adapted.hInstance = windowClass->hInstance;
    adapted.lpszMenuName = windowClass->lpszMenuName;
    adapted.lpszClassName = windowClass->lpszClassName;
    ClassProcs()[Folded(windowClass->lpszClassName)] = windowClass->lpfnWndProc;
    adapted.lpfnWndProc = AdapterProc;
    adapted.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    adapted.hbrBackground = nullptr;  // the present paints the whole client area
    adapted.hIcon = windowClass->hIcon;
    // The handheld's program asks for an icon the desktop build does not have; the title bar,
    // task bar and Alt+Tab show the program's own, each at the size the system uses there.
    if (adapted.hIcon == nullptr) {
        adapted.hIcon = static_cast<HICON>(LoadImageW(adapted.hInstance,
                                                      MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON,
                                                      0, 0, LR_DEFAULTSIZE | LR_SHARED));
        adapted.hIconSm = static_cast<HICON>(LoadImageW(
            adapted.hInstance, MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON,
            GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    }
    return ::RegisterClassExW(&adapted);
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    auto proc = ClassProcs().find(Folded(className));
    if (parent != nullptr || proc == ClassProcs().end()) {
        return ::CreateWindowExW(exStyle, className, windowName, style, x, y, width, height,
                                 parent, menu, instance, param);
    }
    auto display = std::make_unique<Display>();
    display->programProc = proc->second;
    if (!MakeSurface(*display)) return nullptr;

    // The largest whole scale that fits the work area of the primary monitor, frame included.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const int workWidth = monitor.rcWork.right - monitor.rcWork.left;
    const int workHeight = monitor.rcWork.bottom - monitor.rcWork.top;
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, exStyle);
    const int frameWidth = frame.right - frame.left;
    const int frameHeight = frame.bottom - frame.top;
    const int scale = std::max(1, std::min((workWidth - frameWidth) / kDisplayWidth,
                                           (workHeight - frameHeight) / kDisplayHeight));
    const int outerWidth = kDisplayWidth * scale + frameWidth;
    const int outerHeight = kDisplayHeight * scale + frameHeight;

    creating = std::move(display);
    HWND window = ::CreateWindowExW(
        exStyle, className, windowName, kWindowStyle | (style & WS_VISIBLE),
        monitor.rcWork.left + std::max(0, (workWidth - outerWidth) / 2),
        monitor.rcWork.top + std::max(0, (workHeight - outerHeight) / 2), outerWidth,
        outerHeight, nullptr, menu, instance, param);
    creating.reset();
    if (Display* made = Find(window)) Fit(*made);
    return window;
}

BOOL SetForegroundWindow(HWND window) {
    window = reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(window) & ~std::uintptr_t{1});
    DWORD process = 0;
    if (GetWindowThreadProcessId(window, &process) == 0) return FALSE;
    if (process == GetCurrentProcessId()) return BringForward(window, false);
    // Only the foreground process may hand the foreground on: this one, just started by the
    // user, lets the other take it when it handles the message.
    AllowSetForegroundWindow(process);
    return PostMessageW(window, RaiseMessage(), 0, 0);
}

bool ClaimInstance(LPCWSTR className, LPCWSTR title) {
    // Per user: the session's namespace, and the user's SID in the name.
    std::wstring name = std::wstring(L"Local\\") + className + L"." + title;
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        alignas(TOKEN_USER) BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
        DWORD size = 0;
        LPWSTR sid = nullptr;
        if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
            ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid)) {
            name += std::wstring(L".") + sid;
            LocalFree(sid);
        }
        CloseHandle(token);
    }
    // Held until the process ends; the system lets go of it then, however it ends.
    HANDLE claim = CreateMutexW(nullptr, FALSE, name.c_str());
    if (claim == nullptr) return true;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return true;
    CloseHandle(claim);
    return false;
}

bool RaiseRunningInstance(LPCWSTR className, LPCWSTR title, DWORD waitMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        // FindWindowW reads the windows' titles without asking their processes.
        if (HWND running = ::FindWindowW(className, title)) {
            return win32adapter::SetForegroundWindow(running) != FALSE;
        }
        if (::GetTickCount() - start >= waitMs) return false;
        Sleep(20);
    }
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    LOGPEN pen = {};
    if (GetObjectW(GetCurrentObject(dc, OBJ_PEN), sizeof pen, &pen) == sizeof pen &&
        pen.lopnStyle == PS_NULL) {
        ++right;
        ++bottom;
    }
    return ::Rectangle(dc, left, top, right, bottom);
}

HFONT CreateFontIndirectW(const LOGFONTW* font) {
    LOGFONTW adapted = *font;
    adapted.lfQuality = NONANTIALIASED_QUALITY;
    adapted.lfOutPrecision = OUT_TT_PRECIS;
    return ::CreateFontIndirectW(&adapted);
}

BOOL PeekMessageW(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removal) {
    if (::PeekMessageW(message, window, filterMin, filterMax, removal)) return TRUE;
    const DWORD wait = GetTickCount() - lastPresent < 1000 ? 1 : 100;
    MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    return ::PeekMessageW(message, window, filterMin, filterMax, removal);
}

DWORD GetTickCount() {
    return TestSeams().tickCount != nullptr ? TestSeams().tickCount() : ::GetTickCount();
}

void GetLocalTime(LPSYSTEMTIME time) {
    if (TestSeams().localTime != nullptr) {
        TestSeams().localTime(time);
    } else {
        ::GetLocalTime(time);
    }
}

BOOL sndPlaySoundW(LPCWSTR sound, UINT flags) {
    if (TestSeams().playSound != nullptr) return TestSeams().playSound(sound, flags);
    return ::sndPlaySoundW(sound, flags);
}

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                     REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                     LPDWORD disposition) {
    if (key == HKEY_CURRENT_USER) {
        if (TestSeams().registryRefused) return ERROR_ACCESS_DENIED;
        if (TestSeams().registryRoot != nullptr) key = TestSeams().registryRoot;
    }
    return ::RegCreateKeyExW(key, subKey, reserved, keyClass, options, access, security, result,
                             disposition);
}

namespace {
std::map<HRSRC, int>& ResourceIds() {
    static std::map<HRSRC, int> ids;
    return ids;
}
std::map<int, int>& LoadCounts() {
    static std::map<int, int> counts;
    return counts;
}
}  // namespace

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    HRSRC found = ::FindResourceW(module, name, type);
    if (found != nullptr && IS_INTRESOURCE(name)) {
        ResourceIds()[found] = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
    }
    return found;
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    auto id = ResourceIds().find(resource);
    if (id != ResourceIds().end()) ++LoadCounts()[id->second];
    return ::LoadResource(module, resource);
}

int ResourceLoadCount(int id) { return LoadCounts()[id]; }

Seams& TestSeams() {
    static Seams seams;
    return seams;
}

COLORREF DisplayPixel(HWND window, int x, int y) {
    Display* display = Find(window);
    if (display == nullptr || x < 0 || y < 0 || x >= kDisplayWidth || y >= kDisplayHeight) {
        return CLR_INVALID;
    }
    return GetPixel(display->surfaceDC, x, y);
}

}  // namespace win32adapter

BOOL SHFullScreen(HWND, DWORD) { return TRUE; }
BOOL SHSipPreference(HWND, SIPSTATE) { return TRUE; }
BOOL SHHandleWMActivate(HWND, WPARAM, LPARAM, SHACTIVATEINFO*, DWORD) { return TRUE; }
BOOL SHHandleWMSettingChange(HWND, WPARAM, LPARAM, SHACTIVATEINFO*) { return TRUE; }

BOOL TransparentImage(HDC dest, LONG destX, LONG destY, LONG destWidth, LONG destHeight,
                      HANDLE source, LONG sourceX, LONG sourceY, LONG sourceWidth,
                      LONG sourceHeight, COLORREF transparentColor) {
    if (destWidth != sourceWidth || destHeight != sourceHeight || sourceWidth <= 0 ||
        sourceHeight <= 0) {
        return FALSE;
    }
    const DWORD kind = GetObjectType(source);
    HDC sourceDC = nullptr;
    HDC madeDC = nullptr;
    HGDIOBJ madeBitmap = nullptr;
    if (kind == OBJ_DC || kind == OBJ_MEMDC) {
        sourceDC = static_cast<HDC>(source);
    } else if (kind == OBJ_BITMAP) {
        madeDC = CreateCompatibleDC(dest);
        madeBitmap = SelectObject(madeDC, source);
        sourceDC = madeDC;
    } else {
        return FALSE;
    }

    // TransparentBlt leaves out only exact matches: the block is copied into a 32-bit
    // surface where every pixel that matches the key on the 5-6-5 bits becomes the key.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = sourceWidth;
    info.bmiHeader.biHeight = -sourceHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP keyed = CreateDIBSection(dest, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC keyedDC = CreateCompatibleDC(dest);
    BOOL done = FALSE;
    if (keyed != nullptr && keyedDC != nullptr) {
        HGDIOBJ previous = SelectObject(keyedDC, keyed);
        BitBlt(keyedDC, 0, 0, sourceWidth, sourceHeight, sourceDC, sourceX, sourceY, SRCCOPY);
        GdiFlush();
        // DIB pixels are 0x00RRGGBB; a COLORREF is 0x00BBGGRR.
        const DWORD key = (GetRValue(transparentColor) << 16) |
                          (GetGValue(transparentColor) << 8) | GetBValue(transparentColor);
        const DWORD mask = 0xF8FCF8u;
        auto* pixels = static_cast<DWORD*>(bits);
        const std::size_t count = static_cast<std::size_t>(sourceWidth) * sourceHeight;
        for (std::size_t i = 0; i < count; ++i) {
            if (((pixels[i] ^ key) & mask) == 0) pixels[i] = key;
        }
        done = TransparentBlt(dest, destX, destY, destWidth, destHeight, keyedDC, 0, 0,
                              sourceWidth, sourceHeight, transparentColor & 0xFFFFFFu);
        SelectObject(keyedDC, previous);
    }
    if (keyedDC != nullptr) DeleteDC(keyedDC);
    if (keyed != nullptr) DeleteObject(keyed);
    if (madeDC != nullptr) {
        SelectObject(madeDC, madeBitmap);
        DeleteDC(madeDC);
    }
    return done;
}
