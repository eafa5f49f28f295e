// On Windows the program calls the real Win32 API. This header brings it in and adds the
// thin adapter for what a desktop lacks or does differently: the handheld's shell calls and
// TransparentImage, a 240 × 320 display shown at a whole scale in a desktop window, pen and
// mouse positions mapped back to display pixels, the program's entry renamed so that the
// adapter's wWinMain can call it, and the seams the tests set.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>

#include <cstdint>
#include <vector>

// ---------------------------------------------------------------------------
// The handheld's shell, which a desktop does not have

struct SHACTIVATEINFO {
    DWORD cbSize;
    HWND hwndLastFocus;
    UINT fSipUp : 1;
    UINT fSipOnDeactivation : 1;
    UINT fActive : 1;
    UINT fReserved : 29;
};

#define SHFS_SHOWTASKBAR 0x0001u
#define SHFS_HIDETASKBAR 0x0002u
#define SHFS_SHOWSIPBUTTON 0x0004u
#define SHFS_HIDESIPBUTTON 0x0008u
#define SHFS_SHOWSTARTICON 0x0010u
#define SHFS_HIDESTARTICON 0x0020u

enum SIPSTATE {
    SIP_UP = 0,
    SIP_DOWN = 1,
    SIP_FORCEDOWN = 2,
    SIP_UNCHANGED = 3,
    SIP_INPUTDIALOG = 4
};

// A desktop window has no task bar, start icon or input panel of its own: these do nothing.
BOOL SHFullScreen(HWND window, DWORD state);
BOOL SHSipPreference(HWND window, SIPSTATE state);
BOOL SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info,
                        DWORD flags);
BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info);

// Copies a block leaving out the source pixels that match `transparentColor` on the top 5 bits
// of red and blue and the top 6 bits of green, as the artwork was keyed. `source` is a drawing
// context or a bitmap; both sizes must be equal.
BOOL TransparentImage(HDC dest, LONG destX, LONG destY, LONG destWidth, LONG destHeight,
                      HANDLE source, LONG sourceX, LONG sourceY, LONG sourceWidth,
                      LONG sourceHeight, COLORREF transparentColor);

// ---------------------------------------------------------------------------
// Accessibility (the list is kept for each window; no screen-reader bridge reads it here)

#include "platform/accessible_items.h"

// ---------------------------------------------------------------------------
// Calls the adapter stands in front of. Each behaves as its Win32 namesake, except:

namespace win32adapter {

// The program's windows each cover a 240 × 320 display: their drawing contexts, client
// rectangle and device capabilities are the display's, and the display is presented at the
// largest whole scale that fits, letterboxed, in a resizable desktop window.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
BOOL GetClientRect(HWND window, LPRECT rect);
int GetDeviceCaps(HDC dc, int index);
// The display cannot move on a desktop; the window stays where the user put it.
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
ATOM RegisterClassW(const WNDCLASSW* windowClass);
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);
// The handheld's lowest bit ("owned windows too") is cleared; a minimised window is restored.
// Another process's window is asked to come forward by a message it handles itself, after
// it has been let take the foreground: nothing here waits on that process, which may not be
// answering.
BOOL SetForegroundWindow(HWND window);
// With the null pen the fill covers the whole rectangle, right column and bottom row included,
// as the program's surfaces are cleared (GDI would leave them out).
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
// Text is drawn bi-level, as on the handheld's screen.
HFONT CreateFontIndirectW(const LOGFONTW* font);
// The program's artwork is kept at its own depth (4 or 8 bits a pixel, with its palette), not
// the screen's 32: the same pixels wherever it is copied, in a quarter of the memory or less.
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);
// When nothing is waiting, waits for input (as the loop would otherwise spin): 1 ms within a
// second of the last present, input or message; 100 ms after that while a press or key is
// held; else until something arrives, however long.
BOOL PeekMessageW(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removal);
// The next six also answer to the test seams below.
DWORD GetTickCount();
void GetLocalTime(LPSYSTEMTIME time);
BOOL sndPlaySoundW(LPCWSTR sound, UINT flags);
LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                     REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                     LPDWORD disposition);
LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey);

// The one copy of the program a user runs: a named mutex of the user's for this class and
// title, created before anything else. False when another process holds it already; true
// when this process holds it now (or it could not be made, as the window is then looked for).
bool ClaimInstance(LPCWSTR className, LPCWSTR title);
// Brings forward the window of this class and title that another process made, waiting up to
// `waitMs` for it while that process starts; false when none appeared.
bool RaiseRunningInstance(LPCWSTR className, LPCWSTR title, DWORD waitMs);

// The program's own icon, every size from 16 to 256 px (windows/manifest.rc); a window class
// registered without an icon gets it.
constexpr int kProgramIcon = 1;

// --- Seams for the tests (never set by the program) ---------------------------------------
struct Seams {
    DWORD (*tickCount)() = nullptr;
    void (*localTime)(LPSYSTEMTIME) = nullptr;
    BOOL (*playSound)(LPCWSTR, UINT) = nullptr;
    // Keys the program opens under HKEY_CURRENT_USER open under this key instead; with
    // registryRefused, every key the program opens is refused.
    HKEY registryRoot = nullptr;
    bool registryRefused = false;
    // In place of PeekMessageW's wait for input, given its timeout in ms (or INFINITE): a
    // test's clock that does not move must not leave a test waiting for ever.
    void (*waitForInput)(DWORD timeout) = nullptr;
};
Seams& TestSeams();

// How often LoadResource has handed out the program's resource with this identifier.
int ResourceLoadCount(int id);
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);

// The display's pixels as the program drew them (0x00BBGGRR); CLR_INVALID outside.
COLORREF DisplayPixel(HWND window, int x, int y);

// What SetAccessibleItems last gave the program's window; none for another window.
std::vector<ACCESSIBLE_ITEM> AccessibleItems(HWND window);

}  // namespace win32adapter

// The program's entry, called by the adapter's wWinMain.
int ChalkmereWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine,
                     int showCommand);

#ifndef CHALKMERE_WIN32_ADAPTER
#define WinMain ChalkmereWinMain
#define GetDC win32adapter::GetDC
#define ReleaseDC win32adapter::ReleaseDC
#define BeginPaint win32adapter::BeginPaint
#define EndPaint win32adapter::EndPaint
#define GetClientRect win32adapter::GetClientRect
#define GetDeviceCaps win32adapter::GetDeviceCaps
#define MoveWindow win32adapter::MoveWindow
#define RegisterClassW win32adapter::RegisterClassW
#define CreateWindowExW win32adapter::CreateWindowExW
#define SetForegroundWindow win32adapter::SetForegroundWindow
#define CreateFontIndirectW win32adapter::CreateFontIndirectW
#define LoadBitmapW win32adapter::LoadBitmapW
#define Rectangle win32adapter::Rectangle
#define PeekMessageW win32adapter::PeekMessageW
#define GetTickCount win32adapter::GetTickCount
#define GetLocalTime win32adapter::GetLocalTime
#define sndPlaySoundW win32adapter::sndPlaySoundW
#define RegCreateKeyExW win32adapter::RegCreateKeyExW
#define RegOpenKeyExW win32adapter::RegOpenKeyExW
#define RegDeleteKeyW win32adapter::RegDeleteKeyW
#define FindResourceW win32adapter::FindResourceW
#define LoadResource win32adapter::LoadResource
#endif
