// The adapter on the real API (under Wine): keyed copies as the artwork needs them, a
// program window that is a 240 × 320 display wherever the desktop window is and however big,
// a press that ends off the window, and the real registry as the program's store.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/testing/testing.h"
#include "platform/win32.h"
#include "tests/support/RegistryContract.h"

namespace {

std::vector<std::pair<UINT, LPARAM>> heard;

LRESULT CALLBACK Recording(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_KEYDOWN ||
        message == WM_KEYUP) {
        heard.emplace_back(message, lParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A program window whose client area is `width` × `height` at the screen's top left corner.
HWND ProgramWindow(DWORD style, int width, int height) {
    static const ATOM registered = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = Recording;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"AdapterTest";
        return RegisterClassW(&windowClass);
    }();
    if (registered == 0) return nullptr;
    HWND window = CreateWindowW(L"AdapterTest", L"", style, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, GetWindowLongW(window, GWL_STYLE), FALSE, 0);
    ::SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOZORDER);
    return window;
}

// The key's two stored forms and a neighbour on each side of its 5-6-5 cell: only the first
// two are left out; the background shows through them.
TEST(Adapter, TransparentImageLeavesOutTheKeyOnItsFiveSixFiveBits) {
    const COLORREF key = RGB(0xF6, 0x8C, 0xC5);
    const COLORREF row[] = {key, RGB(0xF0, 0x8C, 0xC0), RGB(0xEF, 0x8C, 0xC5),
                            RGB(0xF6, 0x90, 0xC5)};
    HDC screen = GetDC(nullptr);
    HDC source = CreateCompatibleDC(screen);
    HDC dest = CreateCompatibleDC(screen);
    HBITMAP sourceBitmap = CreateCompatibleBitmap(screen, 4, 1);
    HBITMAP destBitmap = CreateCompatibleBitmap(screen, 4, 1);
    HGDIOBJ oldSource = SelectObject(source, sourceBitmap);
    HGDIOBJ oldDest = SelectObject(dest, destBitmap);
    for (int x = 0; x < 4; ++x) {
        SetPixel(source, x, 0, row[x]);
        SetPixel(dest, x, 0, RGB(0, 0, 0xFF));
    }
    ASSERT_TRUE(TransparentImage(dest, 0, 0, 4, 1, source, 0, 0, 4, 1, key));
    EXPECT_EQ(GetPixel(dest, 0, 0), RGB(0, 0, 0xFF));
    EXPECT_EQ(GetPixel(dest, 1, 0), RGB(0, 0, 0xFF));
    EXPECT_EQ(GetPixel(dest, 2, 0), row[2]);
    EXPECT_EQ(GetPixel(dest, 3, 0), row[3]);
    // A bitmap that is not selected anywhere may be the source too.
    SelectObject(source, oldSource);
    EXPECT_TRUE(TransparentImage(dest, 0, 0, 4, 1, sourceBitmap, 0, 0, 4, 1, key));
    EXPECT_FALSE(TransparentImage(dest, 0, 0, 4, 1, sourceBitmap, 0, 0, 2, 1, key));
    SelectObject(dest, oldDest);
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(sourceBitmap), static_cast<HGDIOBJ>(destBitmap)}) {
        DeleteObject(object);
    }
    DeleteDC(source);
    DeleteDC(dest);
    ReleaseDC(nullptr, screen);
}

// In a client area of 1000 × 700 the display stands at scale 2 (480 × 640), 260 pixels in
// from the left and 30 down. Each row: a message at a client point, and what the program
// hears (0: nothing).
TEST(Adapter, AProgramWindowIsADisplayShownAtAWholeScale) {
    HWND window = ProgramWindow(0, 1000, 700);
    ASSERT_NE(window, nullptr);

    RECT client{};
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    EXPECT_EQ(std::pair(client.right, client.bottom), std::pair(240L, 320L));
    EXPECT_EQ(std::pair(GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)),
              std::pair(240, 320));
    ReleaseDC(window, dc);

    const struct {
        UINT message;
        int x, y;
        UINT heardMessage;
        int heardX, heardY;
    } rows[] = {
        {WM_LBUTTONDOWN, 260, 30, WM_LBUTTONDOWN, 0, 0},
        {WM_LBUTTONUP, 739, 669, WM_LBUTTONUP, 239, 319},
        {WM_LBUTTONDBLCLK, 261 + 2 * 100, 31 + 2 * 150, WM_LBUTTONDOWN, 100, 150},
        {WM_LBUTTONDOWN, 259, 100, 0, 0, 0},  // on the bar left of the picture
        {WM_LBUTTONDOWN, 300, 670, 0, 0, 0},  // below it
        {WM_LBUTTONUP, 100, 100, WM_LBUTTONUP, 0, 35},  // a release anywhere ends the press
        {WM_MOUSEMOVE, 400, 400, 0, 0, 0},
        {WM_RBUTTONDOWN, 400, 400, 0, 0, 0},
    };
    for (const auto& row : rows) {
        heard.clear();
        SendMessageW(window, row.message, 0, MAKELPARAM(row.x, row.y));
        if (row.heardMessage == 0) {
            EXPECT_TRUE(heard.empty()) << row.x << "," << row.y;
        } else {
            ASSERT_EQ(heard.size(), 1u) << row.x << "," << row.y;
            EXPECT_EQ(heard[0].first, row.heardMessage);
            EXPECT_EQ(std::pair(LOWORD(heard[0].second), HIWORD(heard[0].second)),
                      std::pair(static_cast<WORD>(row.heardX), static_cast<WORD>(row.heardY)));
        }
    }

    // F11 fills the monitor without a frame, and again gives the window back.
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    SendMessageW(window, WM_KEYDOWN, VK_F11, 0);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION, 0);
    SendMessageW(window, WM_KEYDOWN, VK_F11, 0);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & ~WS_VISIBLE, style & ~WS_VISIBLE);
    // Held, it does not flicker; the program hears nothing of it, but of every other key.
    heard.clear();
    constexpr LPARAM kHeld = 0x40000001, kLetGo = 0xC0000001;
    for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
        SendMessageW(window, message, VK_F11, message == WM_KEYDOWN ? kHeld : kLetGo);
        SendMessageW(window, message, VK_TAB, message == WM_KEYDOWN ? 1 : kLetGo);
    }
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & ~WS_VISIBLE, style & ~WS_VISIBLE);
    const std::vector<std::pair<UINT, LPARAM>> tab = {{WM_KEYDOWN, 1}, {WM_KEYUP, kLetGo}};
    EXPECT_EQ(heard, tab);
    // The program cannot move it.
    RECT before{}, after{};
    GetWindowRect(window, &before);
    MoveWindow(window, 0, 0, 240, 320, TRUE);
    GetWindowRect(window, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    DestroyWindow(window);
}

// A child's press that slides off the window and ends beyond it still ends: the release is
// the program's, or the button it pressed would stay down. Real input, through the system's
// queue, to a window at scale 1 in the screen's top left corner.
TEST(Adapter, APressEndedOffTheWindowIsReleasedThere) {
    HWND window = ProgramWindow(WS_VISIBLE, 240, 320);
    ASSERT_NE(window, nullptr);
    // The button goes down or up where the cursor is; then the window's messages are handled
    // until the program has heard `count` mouse messages or a moment has passed.
    const auto button = [](DWORD flags, std::size_t count) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        SendInput(1, &input, sizeof input);
        const DWORD start = ::GetTickCount();
        MSG message;
        while (heard.size() < count && ::GetTickCount() - start < 3000) {
            if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        }
    };
    POINT inside = {100, 150};
    ClientToScreen(window, &inside);
    heard.clear();
    SetCursorPos(inside.x, inside.y);
    button(MOUSEEVENTF_LEFTDOWN, 1);
    RECT outer{};
    GetWindowRect(window, &outer);
    SetCursorPos(outer.right + 200, outer.bottom + 200);
    button(MOUSEEVENTF_LEFTUP, 2);
    const std::vector<std::pair<UINT, LPARAM>> expected = {{WM_LBUTTONDOWN, MAKELPARAM(100, 150)},
                                                           {WM_LBUTTONUP, MAKELPARAM(239, 319)}};
    EXPECT_EQ(heard, expected) << "the release beyond the window was not the program's";
    EXPECT_EQ(GetCapture(), nullptr);
    DestroyWindow(window);
}

// A press the program heard, then the capture lost or the window deactivated before the
// release (the window minimised, another program come forward): the program hears the pen
// lift off beyond every figure, once, so no button stays pressed for the next tap.
TEST(Adapter, APressCutShortEndsOffEveryFigure) {
    HWND window = ProgramWindow(0, 240, 320);
    ASSERT_NE(window, nullptr);
    HWND other = CreateWindowW(L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const struct {
        const char* what;
        void (*cut)(HWND window, HWND other);
    } rows[] = {
        {"capture released", [](HWND, HWND) { ReleaseCapture(); }},
        {"capture taken", [](HWND, HWND other) { SetCapture(other); }},
        {"deactivated",
         [](HWND window, HWND other) {
             SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(other));
         }},
    };
    const std::vector<std::pair<UINT, LPARAM>> expected = {
        {WM_LBUTTONDOWN, MAKELPARAM(10, 20)}, {WM_LBUTTONUP, MAKELPARAM(0xFFFF, 0xFFFF)}};
    for (const auto& row : rows) {
        heard.clear();
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
        row.cut(window, other);
        row.cut(window, other);
        EXPECT_EQ(heard, expected) << row.what;
        ReleaseCapture();
    }
    DestroyWindow(other);
    DestroyWindow(window);
}

// The window class the program registers without an icon shows the program's own, in full
// colour; the executable's icon holds every size from 16 to 256 px.
TEST(Adapter, TheProgramHasItsOwnIconInEverySize) {
    HWND window = ProgramWindow(0, 240, 320);
    ASSERT_NE(window, nullptr);
    for (int index : {GCLP_HICON, GCLP_HICONSM}) {
        auto icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, index));
        ICONINFO info = {};
        ASSERT_TRUE(icon != nullptr && GetIconInfo(icon, &info)) << index;
        BITMAP colour = {};
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmBitsPixel, 32) << index;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    DestroyWindow(window);

    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(win32adapter::kProgramIcon),
                                MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    ASSERT_NE(found, nullptr);
    const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
    std::vector<std::pair<int, int>> sizes;  // (width, bits per pixel) of each image
    for (int i = 0; i < group[4]; ++i) {
        const BYTE* entry = group + 6 + 14 * i;
        sizes.emplace_back(entry[0] == 0 ? 256 : entry[0], entry[6]);
    }
    const std::vector<std::pair<int, int>> expected = {{16, 32},  {24, 32},  {32, 32}, {48, 32},
                                                       {64, 32}, {128, 32}, {256, 32}};
    EXPECT_EQ(sizes, expected);
}

// The real registry keeps the contract of every store. A key whose access list lets no one in
// stands for a registry that cannot be used: the handle that set the list keeps the right to
// give the old one back.
TEST(Adapter, TheRegistryKeepsTheStoreContract) {
    platform::testing::TemporaryRegistry registry;  // the program's key under one of the test's
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Brindlewick\\Chalkmere", 0, nullptr,
                              0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    std::vector<BYTE> open(4096);
    DWORD size = static_cast<DWORD>(open.size());
    ASSERT_EQ(RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, open.data(), &size),
              ERROR_SUCCESS);
    SECURITY_DESCRIPTOR shut = {};
    ACL none = {};
    ASSERT_TRUE(InitializeSecurityDescriptor(&shut, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(InitializeAcl(&none, sizeof none, ACL_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&shut, TRUE, &none, FALSE));
    testsupport::CheckRegistryContract(
        {[] {}, [&](bool available) {
             ASSERT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION,
                                         available ? PSECURITY_DESCRIPTOR{open.data()} : &shut),
                       ERROR_SUCCESS);
         }});
    RegCloseKey(key);
}

// When nothing is queued the loop waits a millisecond within a second of the last present,
// input or message (an animation's ticks), 100 ms while a press or key is held (a hold ring),
// and otherwise until something comes, with no timeout: an idle game never wakes.
TEST(Adapter, TheLoopWaitsForEverOnlyOnceAllIsStill) {
    // Each call a picture other than the last.
    static const auto Draw = [](HWND window) {
        static bool white = false;
        HDC dc = GetDC(window);
        PatBlt(dc, 0, 0, 1, 1, (white = !white) ? WHITENESS : BLACKNESS);
        ReleaseDC(window, dc);
    };
    HWND window = ProgramWindow(WS_VISIBLE, 240, 320);
    ASSERT_NE(window, nullptr);
    static std::vector<DWORD> waits;
    const auto bounded = win32adapter::TestSeams().waitForInput;
    win32adapter::TestSeams().waitForInput = [](DWORD timeout) { waits.push_back(timeout); };
    const struct {
        const char* what;
        void (*act)(HWND window);
        DWORD later;
        DWORD wait;
    } rows[] = {
        {"nothing for 5 s", [](HWND) {}, 0, INFINITE},
        {"a present", Draw, 999, 1},
        {"a present a second ago", Draw, 1000, INFINITE},
        // A context released undrawn on (a figure makes its own from it) shows nothing.
        {"a context released untouched", [](HWND window) { ReleaseDC(window, GetDC(window)); },
         999, INFINITE},
        {"a posted message taken",
         [](HWND) {
             MSG taken;
             PostThreadMessageW(GetCurrentThreadId(), WM_USER, 0, 0);
             PeekMessageW(&taken, nullptr, WM_USER, WM_USER, PM_REMOVE);
         },
         500, 1},
        {"a sent message", [](HWND window) { SendMessageW(window, WM_USER, 0, 0); }, 500, 1},
        {"a press held",
         [](HWND window) { SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(9, 9)); },
         3000, 100},
        {"the press ended",
         [](HWND window) { SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(9, 9)); }, 1000,
         INFINITE},
        {"a key held", [](HWND window) { SendMessageW(window, WM_KEYDOWN, 'A', 1); }, 3000, 100},
        {"the key let go", [](HWND window) { SendMessageW(window, WM_KEYUP, 'A', 0xC0000001); },
         1000, INFINITE},
    };
    DWORD now = 100000;
    for (const auto& row : rows) {
        // All that was queued is handled; 5 s on the row acts, then `later` ms on the loop
        // finds nothing.
        platform::testing::SetTickCount(now);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        platform::testing::SetTickCount(now + 5000);
        row.act(window);
        platform::testing::SetTickCount(now + 5000 + row.later);
        waits.clear();
        EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) << row.what;
        EXPECT_EQ(waits, std::vector<DWORD>{row.wait}) << row.what;
        now += 10000;
    }
    win32adapter::TestSeams().waitForInput = bounded;
    platform::testing::UseRealTickCount();
    DestroyWindow(window);
}

// One copy per class and title: the first claim holds until the process ends, a second one
// for the same names is refused (as it is for another process), other names are free.
TEST(Adapter, AnInstanceIsClaimedOncePerClassAndTitle) {
    EXPECT_TRUE(win32adapter::ClaimInstance(L"ClaimTest", L"One"));
    EXPECT_FALSE(win32adapter::ClaimInstance(L"ClaimTest", L"One"));
    EXPECT_TRUE(win32adapter::ClaimInstance(L"ClaimTest", L"Two"));
}

// Each program window keeps the list it was last given, names cut at their end; a window that
// is not the program's, or a role that is not one, is refused.
TEST(Adapter, AProgramWindowKeepsItsAccessibleItems) {
    HWND window = ProgramWindow(0, 240, 320);
    ACCESSIBLE_ITEM items[2] = {{ACCESSIBLE_LIVE, L"7 + 5 = ?", FALSE, FALSE, {0, 0, 240, 20}},
                                {ACCESSIBLE_BUTTON, L"Back", FALSE, TRUE, {0, 290, 30, 320}}};
    items[1].name[7] = L'x';
    EXPECT_TRUE(SetAccessibleItems(window, items, 2));
    const std::vector<ACCESSIBLE_ITEM> kept = platform::testing::AccessibleItems(window);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(std::wstring(kept[0].name) + kept[1].name, L"7 + 5 = ?Back");
    EXPECT_EQ(kept[1].name[7], L'\0');
    EXPECT_EQ(kept[1].bounds.top, 290);
    items[0].role = 6;
    EXPECT_FALSE(SetAccessibleItems(window, items, 2));
    EXPECT_FALSE(SetAccessibleItems(GetDesktopWindow(), items + 1, 1));
    EXPECT_EQ(platform::testing::AccessibleItems(window).size(), 2u);
    DestroyWindow(window);
    EXPECT_FALSE(SetAccessibleItems(window, items + 1, 1));
}

}  // namespace
