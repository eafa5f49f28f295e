// The subset of the Win32 / Windows CE API that Chalkmere calls, with Win32 names, types and
// results. Behind it, platform/core implements each call over memory and the backends of
// platform/desktop. Program code (scene/, app/, drill/) reaches the system only through
// this header.
#pragma once

#if defined(_WIN32)
// On Windows the program runs on the real API, behind a thin adapter.
#include "platform/windows/adapter.h"
#else

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------------------
// Basic types

typedef int BOOL;
#define TRUE 1
#define FALSE 0

typedef std::uint8_t BYTE;
typedef std::uint16_t WORD;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef std::uint32_t UINT;
typedef std::uint32_t ULONG;
typedef int INT;
typedef void* LPVOID;
typedef DWORD* LPDWORD;
typedef BYTE* LPBYTE;
typedef DWORD REGSAM;
typedef WORD ATOM;
typedef std::uintptr_t WPARAM;
typedef std::intptr_t LPARAM;
typedef std::intptr_t LRESULT;

// Wide characters are 16-bit on every target; TEXT("…") makes a 16-bit literal.
typedef char16_t WCHAR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
#define TEXT(quote) u##quote

typedef DWORD COLORREF;
#define RGB(r, g, b) \
    ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define MAKELPARAM(low, high) ((LPARAM)(DWORD)(((WORD)(low)) | (((DWORD)(WORD)(high)) << 16)))
#define LOWORD(value) ((WORD)(((std::uintptr_t)(value)) & 0xFFFF))
#define HIWORD(value) ((WORD)((((std::uintptr_t)(value)) >> 16) & 0xFFFF))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))

// Handles are distinct pointer types, as with STRICT on Win32.
#define DECLARE_HANDLE(name) \
    struct name##__ {        \
        int unused;          \
    };                       \
    typedef struct name##__* name

DECLARE_HANDLE(HWND);
DECLARE_HANDLE(HDC);
DECLARE_HANDLE(HBITMAP);
DECLARE_HANDLE(HPEN);
DECLARE_HANDLE(HBRUSH);
DECLARE_HANDLE(HFONT);
DECLARE_HANDLE(HINSTANCE);
DECLARE_HANDLE(HRSRC);
DECLARE_HANDLE(HICON);
DECLARE_HANDLE(HKEY);
DECLARE_HANDLE(HMENU);
DECLARE_HANDLE(HCURSOR);
typedef HKEY* PHKEY;
typedef void* HANDLE;
typedef void* HGLOBAL;
typedef void* HGDIOBJ;
typedef HINSTANCE HMODULE;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
typedef RECT* LPRECT;

struct POINT {
    LONG x;
    LONG y;
};

struct SIZE {
    LONG cx;
    LONG cy;
};

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

// ---------------------------------------------------------------------------
// Graphics (GDI)

#define SRCCOPY 0x00CC0020u

#define PS_SOLID 0
#define PS_NULL 5

#define WHITE_BRUSH 0
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8

#define HORZRES 8
#define VERTRES 10

HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
BOOL GetClientRect(HWND window, LPRECT rect);
int GetDeviceCaps(HDC dc, int index);

HDC CreateCompatibleDC(HDC dc);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteDC(HDC dc);
BOOL DeleteObject(HGDIOBJ object);
int GetObjectW(HANDLE object, int size, LPVOID buffer);
HGDIOBJ GetStockObject(int index);

HPEN CreatePen(int style, int width, COLORREF colour);
HBRUSH CreateSolidBrush(COLORREF colour);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);

COLORREF SetBkColor(HDC dc, COLORREF colour);
COLORREF SetTextColor(HDC dc, COLORREF colour);

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
            DWORD rop);
// Copies a block leaving out the source pixels that match `transparentColor` on the
// top 5 bits of red and blue and the top 6 bits of green. `source` is a drawing
// context or a bitmap. Stretching is not supported: both sizes must be equal.
BOOL TransparentImage(HDC dest, LONG destX, LONG destY, LONG destWidth, LONG destHeight,
                      HANDLE source, LONG sourceX, LONG sourceY, LONG sourceWidth,
                      LONG sourceHeight, COLORREF transparentColor);

// ---------------------------------------------------------------------------
// Text

#define LF_FACESIZE 32
#define FW_NORMAL 400
#define FW_BOLD 700
#define FF_DONTCARE 0x00
#define FF_ROMAN 0x10
#define FF_SWISS 0x20
#define FF_MODERN 0x30
#define SYSTEM_FONT 13

struct LOGFONTW {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
};

#define DT_CENTER 0x0001u
#define DT_VCENTER 0x0004u
#define DT_SINGLELINE 0x0020u

// Only the system's face is made: bold (weight 600 and above), of the Swiss family, named by
// no face, upright and plain; null for any other. A positive lfHeight is the cell height
// (ascent + descent) in pixels, a negative one the em height. Text is drawn bi-level: every
// pixel is either the text colour or the background colour.
HFONT CreateFontIndirectW(const LOGFONTW* font);
// The extent of `count` characters: cx their total advance, cy the font's cell height.
// Fitting (`fit`, `extents`) is not supported and fails the call.
BOOL GetTextExtentExPointW(HDC dc, LPCWSTR text, int count, int maxExtent, INT* fit, INT* extents,
                           SIZE* size);
// One line, placed in `rect` as `format` says and clipped to it; the line's cell box is
// filled with the background colour first (the background mode is always opaque). Only
// DT_SINGLELINE with DT_CENTER and DT_VCENTER is supported. Returns the line's height, 0 on
// failure. A count of -1 means the text is null-terminated.
int DrawTextW(HDC dc, LPCWSTR text, int count, RECT* rect, UINT format);

// ---------------------------------------------------------------------------
// Messages

#define WM_CREATE 0x0001u
#define WM_DESTROY 0x0002u
#define WM_ACTIVATE 0x0006u
#define WM_PAINT 0x000Fu
#define WM_CLOSE 0x0010u
#define WM_QUIT 0x0012u
#define WM_SETTINGCHANGE 0x001Au
#define WM_KEYDOWN 0x0100u
#define WM_KEYUP 0x0101u
#define WM_LBUTTONDOWN 0x0201u
#define WM_LBUTTONUP 0x0202u
#define WM_APP 0x8000u

#define PM_NOREMOVE 0x0000u
#define PM_REMOVE 0x0001u

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG* LPMSG;

typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);

// ---------------------------------------------------------------------------
// Windows
//
// A window covers the emulated 240 × 320 display; on the desktop it is shown in a window of
// its own, scaled by a whole factor. Windows and their messages belong to the one thread
// that runs the message loop.

#define CS_VREDRAW 0x0001u
#define CS_HREDRAW 0x0002u
#define CS_DBLCLKS 0x0008u
#define WS_VISIBLE 0x10000000u
#define CW_USEDEFAULT ((int)0x80000000)
#define SW_HIDE 0
#define SW_SHOW 5

struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
};

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

ATOM RegisterClassW(const WNDCLASSW* windowClass);
// WM_CREATE reaches the window procedure before this returns; a window whose procedure
// answers it with -1 is not created.
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID parameter);
#define CreateWindowW(className, windowName, style, x, y, width, height, parent, menu, instance,  \
                      parameter)                                                                  \
    CreateWindowExW(0, className, windowName, style, x, y, width, height, parent, menu, instance, \
                    parameter)
BOOL ShowWindow(HWND window, int command);
// Sends WM_PAINT at once when part of the window is invalid.
BOOL UpdateWindow(HWND window);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A window of this process, or of another running instance of the program.
HWND FindWindowW(LPCWSTR className, LPCWSTR windowName);
// Raises and focuses the window; the lowest bit of the handle may be set.
BOOL SetForegroundWindow(HWND window);

// ---------------------------------------------------------------------------
// Messages (continued)

// Queues a message for the window; it is handled on a later pass of the message loop.
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Looks for a waiting message. It does not wait for one, except that when nothing is waiting
// it may wait a moment for the desktop's events: at most 1 ms while the picture has changed
// in the last second, longer when it has been still; any input ends the wait at once.
BOOL PeekMessageW(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removal);
// Waits for a message; FALSE for WM_QUIT.
BOOL GetMessageW(LPMSG message, HWND window, UINT filterMin, UINT filterMax);
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageW(const MSG* message);
void PostQuitMessage(int exitCode);

// ---------------------------------------------------------------------------
// Keyboard
//
// WM_KEYDOWN and WM_KEYUP carry the virtual-key code in wParam; lParam holds a repeat count
// of 1 in its low word, bit 30 set when the key was already down (an auto-repeat, and every
// key up) and bit 31 set for a key up. Either Shift, Ctrl or Alt arrives as VK_SHIFT,
// VK_CONTROL or VK_MENU; GetKeyState also answers for each side. '0'-'9' and 'A'-'Z' are
// their own codes. Characters are not made from keys: the program reads keys only.

typedef short SHORT;

#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_CLEAR 0x0C
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_CAPITAL 0x14
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_LWIN 0x5B
#define VK_RWIN 0x5C
#define VK_APPS 0x5D
#define VK_NUMPAD0 0x60
#define VK_NUMPAD1 0x61
#define VK_NUMPAD2 0x62
#define VK_NUMPAD3 0x63
#define VK_NUMPAD4 0x64
#define VK_NUMPAD5 0x65
#define VK_NUMPAD6 0x66
#define VK_NUMPAD7 0x67
#define VK_NUMPAD8 0x68
#define VK_NUMPAD9 0x69
#define VK_MULTIPLY 0x6A
#define VK_ADD 0x6B
#define VK_SEPARATOR 0x6C
#define VK_SUBTRACT 0x6D
#define VK_DECIMAL 0x6E
#define VK_DIVIDE 0x6F
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F3 0x72
#define VK_F4 0x73
#define VK_F5 0x74
#define VK_F6 0x75
#define VK_F7 0x76
#define VK_F8 0x77
#define VK_F9 0x78
#define VK_F10 0x79
#define VK_F11 0x7A
#define VK_F12 0x7B
#define VK_NUMLOCK 0x90
#define VK_SCROLL 0x91
#define VK_LSHIFT 0xA0
#define VK_RSHIFT 0xA1
#define VK_LCONTROL 0xA2
#define VK_RCONTROL 0xA3
#define VK_LMENU 0xA4
#define VK_RMENU 0xA5
#define VK_OEM_1 0xBA       // ;:
#define VK_OEM_PLUS 0xBB    // =+
#define VK_OEM_COMMA 0xBC   // ,<
#define VK_OEM_MINUS 0xBD   // -_
#define VK_OEM_PERIOD 0xBE  // .>
#define VK_OEM_2 0xBF       // /?
#define VK_OEM_3 0xC0       // `~
#define VK_OEM_4 0xDB       // [{
#define VK_OEM_5 0xDC       // \|
#define VK_OEM_6 0xDD       // ]}
#define VK_OEM_7 0xDE       // '"
#define VK_OEM_102 0xE2     // the extra key beside left Shift

// The high bit is set while the key is down, as of the last keyboard message the window was
// given; the low bit flips at each fresh press (Caps Lock's toggle).
SHORT GetKeyState(int virtualKey);

// ---------------------------------------------------------------------------
// Time and the handheld's shell

// Milliseconds, unsigned 32-bit; wraps after 49.7 days.
DWORD GetTickCount();

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
void GetLocalTime(SYSTEMTIME* time);

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

// The desktop has no task bar, start icon or input panel: these keep the window covering
// the emulated display and do nothing else.
BOOL SHFullScreen(HWND window, DWORD state);
BOOL SHSipPreference(HWND window, SIPSTATE state);
BOOL SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info,
                        DWORD flags);
BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info);

// The program's entry, called by the platform's start-up code.
int WinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand);

// ---------------------------------------------------------------------------
// Accessibility

#include "platform/accessible_items.h"

// ---------------------------------------------------------------------------
// Sound

#define SND_SYNC 0x0000u
#define SND_ASYNC 0x0001u
#define SND_NODEFAULT 0x0002u
#define SND_MEMORY 0x0004u

// Plays a whole RIFF/WAVE image from memory (SND_MEMORY is required). Asynchronous play
// returns at once and cuts off the sound that is playing; synchronous play returns when the
// sound has been heard. A null sound stops what is playing. FALSE when nothing can play.
BOOL sndPlaySoundW(LPCWSTR sound, UINT flags);

// ---------------------------------------------------------------------------
// Resources of the program's own module

#define MAKEINTRESOURCEW(id) ((LPWSTR)(std::uintptr_t)((WORD)(id)))
#define IS_INTRESOURCE(p) ((((std::uintptr_t)(p)) >> 16) == 0)
#define RT_BITMAP MAKEINTRESOURCEW(2)

// With a null name, the program's own module; no other module can be named.
HMODULE GetModuleHandleW(LPCWSTR moduleName);
// A bitmap in the display's format, or null when there is no such resource.
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);
// `type` is RT_BITMAP or a resource type name such as TEXT("WAVE").
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
// A pointer to the resource's data, which stays valid for the life of the process.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
// Copies at most capacity - 1 characters and always terminates; returns the characters
// copied, 0 for a missing string.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int capacity);
// The shared icon of an icon group; null when there is none.
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);

// The languages whose resources the loaders above prefer, in order: a list of names ("de",
// "pt-BR") each ended by a 0 and the list by another; null clears it. A name that is
// not a language is passed over; with none, English is used.
#define MUI_LANGUAGE_NAME 0x8u
BOOL SetThreadPreferredUILanguages(DWORD flags, LPCWSTR languages, ULONG* count);

// ---------------------------------------------------------------------------
// Registry of the current user

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L

#define HKEY_CURRENT_USER ((HKEY)(std::uintptr_t)0x80000001u)
#define KEY_READ 0x20019u
#define KEY_ALL_ACCESS 0xF003Fu
#define REG_CREATED_NEW_KEY 1u
#define REG_OPENED_EXISTING_KEY 2u

#define REG_NONE 0u
#define REG_SZ 1u
#define REG_BINARY 3u
#define REG_DWORD 4u

struct SECURITY_ATTRIBUTES;
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

// Opens the key, creating it and any missing parent keys. Key paths are separated by
// backslashes; paths and value names compare without regard to (ASCII) case.
LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                     REGSAM access, SECURITY_ATTRIBUTES* security, PHKEY result,
                     LPDWORD disposition);
// With a null `data`, reports the value's type and size. ERROR_MORE_DATA with the size
// needed when the buffer is too small; ERROR_FILE_NOT_FOUND for a missing value.
LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize);
// Stores the bytes as given, whatever the type; once it returns ERROR_SUCCESS the value
// survives the process being killed.
LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD dataSize);
LONG RegCloseKey(HKEY key);
// Opens a key that exists; ERROR_FILE_NOT_FOUND, and nothing created, when it does not.
LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
// The name of the key's index-th direct subkey, as it was written, in an order that holds while
// nothing changes; *nameLength counts characters without the terminator. ERROR_MORE_DATA when
// the name and its terminator do not fit in *nameLength characters, ERROR_NO_MORE_ITEMS past
// the last. Subkeys have no class (an empty one) and no time of last write (zero).
LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD reserved,
                   LPWSTR keyClass, LPDWORD classLength, FILETIME* lastWrite);
// Deletes the key and its values, which survives the process being killed once it returns
// ERROR_SUCCESS; a key with subkeys stays (ERROR_ACCESS_DENIED).
LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey);

// ---------------------------------------------------------------------------
// Wide strings

int lstrlenW(LPCWSTR text);
LPWSTR lstrcpynW(LPWSTR dest, LPCWSTR source, int capacity);
int lstrcmpW(LPCWSTR a, LPCWSTR b);
// Supports "%d" and "%%"; writes at most 1024 characters with the terminator, as Win32 does.
int wsprintfW(LPWSTR dest, LPCWSTR format, ...);

#endif  // _WIN32
