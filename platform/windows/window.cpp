// The display window: each program window is a 240 × 320 display drawn on a bitmap and shown
// at a whole scale in a resizable desktop window; the pen's positions mapped back to it; the
// one copy of the program a user runs, and raising it. The Win32 counterpart of the core's
// window.cpp.
#define CHALKMERE_WIN32_ADAPTER
#include "platform/windows/adapter.h"

#include <sddl.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "platform/portable/display_arithmetic.h"
#include "platform/windows/gdi_guards.h"

namespace win32adapter {
namespace {

constexpr int kDisplayWidth = 240;
constexpr int kDisplayHeight = 320;
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;

// One program window: the display it draws on and how that is shown in the desktop window.
struct Display {
    HWND window = nullptr;
    WNDPROC programProc = nullptr;
    // Gone in the reverse order: the bitmap deselected, the context deleted, then the bitmap.
    GdiObject<HBITMAP> surface;
    MemoryDc surfaceDC;
    std::optional<Selection> surfaceSelected;
    HDC paintDC = nullptr;  // the window's own, between BeginPaint and EndPaint
    int scale = 1;
    int offsetX = 0;
    int offsetY = 0;
    bool fullScreen = false;
    bool pressed = false;  // the program has heard a press and not yet its release
    // Until the window's first paint, drawings through GetDC are not shown: the program
    // builds its title before it paints, and the first paint shows all of it at once.
    bool painted = false;
    // The display's pixels as last shown. Releasing the context without drawing (a figure
    // asks for it only to make a context of its own) shows nothing new, as on the system.
    std::vector<std::uint32_t> shown;
    WINDOWPLACEMENT placement = {};
    // What the program last said is on its screen; kept, as no screen reader is told here.
    std::vector<ACCESSIBLE_ITEM> accessibleItems;
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
// The last present, input or message of the program's; and the keys its windows hold down.
DWORD lastActivity = 0;
std::set<WPARAM> keysHeld;

Display* Find(HWND window) {
    auto found = Displays().find(window);
    return found != Displays().end() ? found->second.get() : nullptr;
}

Display* FindBySurface(HDC dc) {
    for (auto& [window, display] : Displays()) {
        if (display->surfaceDC.get() == dc) return display.get();
    }
    return nullptr;
}

// Asks a window of the program to come forward: posted, so the asking process never waits.
UINT RaiseMessage() {
    static const UINT message = RegisterWindowMessageW(L"Chalkmere.RaiseInstance");
    return message;
}

// Asked by another start, a window that may be covered by another program's comes back as a
// minimised one does: a window manager may refuse the focus to a window that only asks for
// it, never to one restored. The restore waits a moment, for a window manager that minimises
// in its own time to have done so.
constexpr UINT_PTR kRestoreTimer = 0x43A1;
constexpr UINT kRestoreDelay = 150;

BOOL BringForward(HWND window, bool asked) {
    if (asked) {
        // The foreground as it stands once the input waiting has been taken in (another
        // program may have taken it while this one was not answering): a peek that finds
        // nothing takes it in.
        MSG none;
        ::PeekMessageW(&none, window, RaiseMessage(), RaiseMessage(), PM_NOREMOVE);
    }
    if (asked && !IsIconic(window) && GetForegroundWindow() != window) {
        ShowWindow(window, SW_MINIMIZE);
        return SetTimer(window, kRestoreTimer, kRestoreDelay, nullptr) != 0;
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
    display.surfaceDC.reset(CreateCompatibleDC(screen));
    display.surface.reset(CreateCompatibleBitmap(screen, kDisplayWidth, kDisplayHeight));
    ::ReleaseDC(nullptr, screen);
    if (display.surfaceDC == nullptr || display.surface == nullptr) return false;
    display.surfaceSelected.emplace(display.surfaceDC.get(), display.surface.get());
    PatBlt(display.surfaceDC.get(), 0, 0, kDisplayWidth, kDisplayHeight, BLACKNESS);
    return true;
}

// The largest whole scale at which the display fits the client area, centred in it.
void Fit(Display& display) {
    RECT client{};
    ::GetClientRect(display.window, &client);
    const platform::WholeFit fit = platform::FitWhole(
        client.right - client.left, client.bottom - client.top, kDisplayWidth, kDisplayHeight);
    display.scale = fit.scale;
    display.offsetX = fit.left;
    display.offsetY = fit.top;
}

std::vector<std::uint32_t> SurfacePixels(const Display& display) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kDisplayWidth;
    info.bmiHeader.biHeight = -kDisplayHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(kDisplayWidth * kDisplayHeight);
    GetDIBits(display.surfaceDC.get(), display.surface.get(), 0, kDisplayHeight, pixels.data(),
              &info, DIB_RGB_COLORS);
    return pixels;
}

// With CHALKMERE_TRACE=<file> in the environment, each present appends "present <ns since
// 1970> <hash of the display's pixels>" to it, for the benchmark to time from outside the
// first frame that shows the title; otherwise nothing.
void TracePresent(const Display& display) {
    static const HANDLE trace = [] {
        wchar_t path[MAX_PATH];
        const DWORD length = GetEnvironmentVariableW(L"CHALKMERE_TRACE", path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return INVALID_HANDLE_VALUE;
        return CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }();
    if (trace == INVALID_HANDLE_VALUE) return;
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    const std::uint64_t ticks = (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
    std::uint32_t hash = 2166136261u;  // FNV-1a
    for (const std::uint32_t pixel : display.shown) {
        hash = (hash ^ (pixel & 0xFFFFFFu)) * 16777619u;
    }
    const std::string line = "present " +
                             std::to_string((ticks - 116444736000000000ULL) * 100) + " " +
                             std::to_string(hash) + "\n";
    DWORD written = 0;
    WriteFile(trace, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
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
    StretchBlt(windowDC, picture.left, picture.top, width, height, display.surfaceDC.get(), 0,
               0, kDisplayWidth, kDisplayHeight, SRCCOPY);
    lastActivity = GetTickCount();
    display.shown = SurfacePixels(display);
    TracePresent(display);
}

// A point of the client area in display pixels; false in the bars around the picture.
bool ToDisplay(const Display& display, LPARAM position, LPARAM& mapped) {
    const int x =
        platform::ToPicture(static_cast<short>(LOWORD(position)), display.offsetX, display.scale);
    const int y =
        platform::ToPicture(static_cast<short>(HIWORD(position)), display.offsetY, display.scale);
    mapped = MAKELPARAM(std::clamp(x, 0, kDisplayWidth - 1), std::clamp(y, 0, kDisplayHeight - 1));
    return x >= 0 && y >= 0 && x < kDisplayWidth && y < kDisplayHeight;
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
    // Whatever reaches the window, sent or posted, input or not, wakes the program up.
    lastActivity = GetTickCount();
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
            if (LOWORD(wParam) == WA_INACTIVE) {
                CancelPress(*display);
                keysHeld.clear();  // their releases go to the window that has the focus now
            }
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
        case WM_KEYUP:
            if (message == WM_KEYDOWN) {
                keysHeld.insert(wParam);
            } else {
                keysHeld.erase(wParam);
            }
            // F11 is the window's own: full screen and back at each fresh press, held or let
            // go nothing. The program never hears of it; every other key reaches it.
            if (wParam == VK_F11) {
                if (message == WM_KEYDOWN && (lParam & (1L << 30)) == 0) ToggleFullScreen(*display);
                return 0;
            }
            break;
        case WM_PAINT: {
            const LRESULT result =
                CallWindowProcW(display->programProc, window, message, wParam, lParam);
            display->painted = true;
            return result;
        }
        case WM_NCDESTROY: {
            const LRESULT result =
                CallWindowProcW(display->programProc, window, message, wParam, lParam);
            Displays().erase(window);
            return result;
        }
        case WM_TIMER:
            if (wParam != kRestoreTimer) break;
            KillTimer(window, kRestoreTimer);
            BringForward(window, false);
            return 0;
        default:
            if (message == RaiseMessage()) return BringForward(window, true);
            break;
    }
    return CallWindowProcW(display->programProc, window, message, wParam, lParam);
}

}  // namespace

HDC GetDC(HWND window) {
    Display* display = Find(window);
    return display != nullptr ? display->surfaceDC.get() : ::GetDC(window);
}

int ReleaseDC(HWND window, HDC dc) {
    Display* display = Find(window);
    if (display == nullptr || dc != display->surfaceDC.get()) return ::ReleaseDC(window, dc);
    if (display->painted && IsWindowVisible(window) &&
        SurfacePixels(*display) != display->shown) {
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
    paint->hdc = display->surfaceDC.get();
    paint->rcPaint = {0, 0, kDisplayWidth, kDisplayHeight};
    return display->surfaceDC.get();
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
    const int scale = platform::FitWhole(workWidth - frameWidth, workHeight - frameHeight,
                                         kDisplayWidth, kDisplayHeight)
                          .scale;
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

BOOL PeekMessageW(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removal) {
    if (!::PeekMessageW(message, window, filterMin, filterMax, removal)) {
        // While the picture moves or the child has just acted, the loop's ticks keep the
        // animation's time; while a press or key is held, a hold ring may be due. Otherwise
        // nothing happens until something arrives: no wake-ups at all.
        const bool held = !keysHeld.empty() ||
                          std::any_of(Displays().begin(), Displays().end(),
                                      [](const auto& shown) { return shown.second->pressed; });
        const DWORD wait = GetTickCount() - lastActivity < 1000 ? 1 : held ? 100 : INFINITE;
        if (TestSeams().waitForInput != nullptr) {
            TestSeams().waitForInput(wait);
        } else {
            MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
        if (!::PeekMessageW(message, window, filterMin, filterMax, removal)) return FALSE;
    }
    lastActivity = GetTickCount();
    return TRUE;
}

std::vector<ACCESSIBLE_ITEM> AccessibleItems(HWND window) {
    Display* display = Find(window);
    return display != nullptr ? display->accessibleItems : std::vector<ACCESSIBLE_ITEM>{};
}

COLORREF DisplayPixel(HWND window, int x, int y) {
    Display* display = Find(window);
    if (display == nullptr || x < 0 || y < 0 || x >= kDisplayWidth || y >= kDisplayHeight) {
        return CLR_INVALID;
    }
    return GetPixel(display->surfaceDC.get(), x, y);
}

}  // namespace win32adapter

BOOL SetAccessibleItems(HWND window, const ACCESSIBLE_ITEM* items, UINT count) {
    win32adapter::Display* display = win32adapter::Find(window);
    if (display == nullptr || (items == nullptr && count > 0)) return FALSE;
    for (UINT i = 0; i < count; ++i) {
        if (items[i].role < ACCESSIBLE_LIVE || items[i].role > ACCESSIBLE_CHECKBOX) return FALSE;
    }
    display->accessibleItems.assign(items, items + count);
    for (ACCESSIBLE_ITEM& item : display->accessibleItems) {
        // Cut at the name's end (or the array's), zeros after it, as the core keeps it.
        const std::size_t length = std::find(item.name, std::end(item.name), L'\0') - item.name;
        std::fill(item.name + length, std::end(item.name), L'\0');
    }
    return TRUE;
}
