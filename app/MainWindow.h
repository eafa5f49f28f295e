// The outermost layer: one instance, one full-screen window, the main loop that ticks the
// current screen on every pass, and the window procedure that feeds it. The loop itself never
// waits; the platform's look at the queue rests only once nothing has moved or been touched
// for a second, so no tick the picture needs comes late.
#pragma once

#include <cstdint>

#include "app/Application.h"
#include "platform/win32.h"

// Program-wide state; tests reset it.
extern Application* application;
extern std::int32_t screenWidth;
extern std::int32_t screenHeight;
extern SHACTIVATEINFO activateInfo;

bool CreateMainWindow(HINSTANCE instance, int showCommand);
void RegisterMainWindowClass(HINSTANCE instance, LPCWSTR className);
int RunMainLoop();
LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
