#include "app/MainWindow.h"

#include <new>

#include "resources/ResourceIds.h"

Application* application = nullptr;
std::int32_t screenWidth = 0;
std::int32_t screenHeight = 0;
SHACTIVATEINFO activateInfo = {};

bool CreateMainWindow(HINSTANCE instance, int showCommand) {
    WCHAR className[100];
    WCHAR title[100];
    LoadStringW(instance, IDS_CLASS_NAME, className, 100);
    LoadStringW(instance, IDS_TITLE, title, 100);

    if (HWND running = FindWindowW(className, title)) {
        // The lowest bit brings the running instance's owned windows forward too.
        SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(running) | 1));
        return false;
    }

    RegisterMainWindowClass(instance, className);
    HWND window = CreateWindowW(className, title, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return false;

    application = new (std::nothrow) Application(window, instance);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return true;
}

void RegisterMainWindowClass(HINSTANCE instance, LPCWSTR className) {
    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(3));
    windowClass.hCursor = nullptr;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
}

int RunMainLoop() {
    MSG message;
    for (;;) {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            GetMessageW(&message, nullptr, 0, 0);
            if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (application != nullptr) application->current->Tick(GetTickCount());
    }
}

LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            activateInfo = {};
            activateInfo.cbSize = sizeof activateInfo;
            HDC dc = GetDC(window);
            screenWidth = GetDeviceCaps(dc, HORZRES);
            screenHeight = GetDeviceCaps(dc, VERTRES);
            ReleaseDC(window, dc);
            MoveWindow(window, 0, 0, screenWidth, screenHeight, TRUE);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            if (application != nullptr) {
                delete application;
                application = nullptr;
            }
            return 0;
        case WM_ACTIVATE: SHHandleWMActivate(window, wParam, lParam, &activateInfo, 0); return 0;
        case WM_PAINT: {
            SHSipPreference(window, SIP_FORCEDOWN);
            SHFullScreen(window, SHFS_HIDESIPBUTTON);
            SHFullScreen(window, SHFS_HIDETASKBAR);
            SHFullScreen(window, SHFS_HIDESTARTICON);
            MoveWindow(window, 0, 0, screenWidth, screenHeight, TRUE);
            // Painting begins and ends even when there is nothing to paint, so the window is
            // validated and the paint request does not come back on every pass.
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            if (application != nullptr && application->current->active) {
                application->current->Paint(dc, true);
            }
            EndPaint(window, &paint);
            return 0;
        }
        case Application::kFinishStart:
            if (application != nullptr) application->FinishStart();
            return 0;
        case WM_SETTINGCHANGE:
            SHHandleWMSettingChange(window, wParam, lParam, &activateInfo);
            return 0;
        case WM_LBUTTONDOWN:
            if (application != nullptr) application->OnTap();
            // A child's double tap must not carry into the screen its first tap brought up.
            if (application != nullptr &&
                GetTickCount() - application->switchTime >= Application::kSettleTime) {
                application->current->PointerDown(LOWORD(lParam), HIWORD(lParam));
            }
            return 0;
        case WM_KEYDOWN:
            // A key held down repeats (bit 30: it was down already); only its first press
            // counts. A double press, like a double tap, acts on one screen only.
            if (application != nullptr && (lParam & (1L << 30)) == 0 &&
                GetTickCount() - application->switchTime >= Application::kSettleTime) {
                application->OnKeyDown(static_cast<UINT>(wParam));
            }
            return 0;
        case WM_KEYUP:
            if (application != nullptr) application->OnKeyUp(static_cast<UINT>(wParam));
            return 0;
        case WM_LBUTTONUP:
            if (application != nullptr) {
                application->current->PointerUp(LOWORD(lParam), HIWORD(lParam));
            }
            return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}
