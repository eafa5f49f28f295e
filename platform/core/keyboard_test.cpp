// The display's key events become the messages a real window gets, and GetKeyState follows
// the messages as the program takes them, not as they arrive.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/testing/testing.h"
#include "platform/win32.h"

namespace {

enum class Input { Down, Repeat, Up, FocusLost };

struct Step {
    Input input;
    int key;
    UINT message;  // what the window is given; 0 for nothing
    WPARAM wParam;
    LPARAM lParam;
    std::vector<int> held;  // of kWatched, what GetKeyState has down once it is taken
};

constexpr LPARAM kFresh = 1;                       // a repeat count of 1
constexpr LPARAM kAgain = 1 | (1L << 30);          // the key was already down
constexpr LPARAM kLetGo = 1 | (1L << 30) | (1L << 31);
const std::vector<int> kWatched = {VK_SHIFT, VK_LSHIFT, VK_RSHIFT, VK_TAB, VK_MENU, VK_NUMPAD7,
                                   '7', '5'};

TEST(KeyboardTest, KeyEventsArriveAsWindowsMessagesWithTheStateTheProgramHasTaken) {
    const std::vector<Step> steps = {
        {Input::Down, VK_LSHIFT, WM_KEYDOWN, VK_SHIFT, kFresh, {VK_SHIFT, VK_LSHIFT}},
        {Input::Down, VK_TAB, WM_KEYDOWN, VK_TAB, kFresh, {VK_SHIFT, VK_LSHIFT, VK_TAB}},
        {Input::Repeat, VK_TAB, WM_KEYDOWN, VK_TAB, kAgain, {VK_SHIFT, VK_LSHIFT, VK_TAB}},
        {Input::Up, VK_TAB, WM_KEYUP, VK_TAB, kLetGo, {VK_SHIFT, VK_LSHIFT}},
        // Both Shifts: the generic code is down while either is.
        {Input::Down, VK_RSHIFT, WM_KEYDOWN, VK_SHIFT, kFresh, {VK_SHIFT, VK_LSHIFT, VK_RSHIFT}},
        {Input::Up, VK_LSHIFT, WM_KEYUP, VK_SHIFT, kLetGo, {VK_SHIFT, VK_RSHIFT}},
        {Input::Up, VK_RSHIFT, WM_KEYUP, VK_SHIFT, kLetGo, {}},
        {Input::Down, VK_NUMPAD7, WM_KEYDOWN, VK_NUMPAD7, kFresh, {VK_NUMPAD7}},
        {Input::Down, '7', WM_KEYDOWN, '7', kFresh, {VK_NUMPAD7, '7'}},
        {Input::Up, VK_NUMPAD7, WM_KEYUP, VK_NUMPAD7, kLetGo, {'7'}},
        {Input::Up, '7', WM_KEYUP, '7', kLetGo, {}},
        // Alt+F4 is the window manager's; other Alt combinations are plain keys.
        {Input::Down, VK_LMENU, WM_KEYDOWN, VK_MENU, kFresh, {VK_MENU}},
        {Input::Down, VK_F4, 0, 0, 0, {VK_MENU}},
        {Input::Down, VK_TAB, WM_KEYDOWN, VK_TAB, kFresh, {VK_MENU, VK_TAB}},
        // Keys let go in another window are never heard of.
        {Input::FocusLost, 0, WM_ACTIVATE, 0, 0, {}},
        // Held on coming back, a key repeats: it was down before, though never seen going down.
        {Input::Repeat, '5', WM_KEYDOWN, '5', kAgain, {'5'}},
        {Input::Up, '5', WM_KEYUP, '5', kLetGo, {}},
        {Input::Down, VK_TAB, WM_KEYDOWN, VK_TAB, kFresh, {VK_TAB}},
        {Input::Up, VK_TAB, WM_KEYUP, VK_TAB, kLetGo, {}},
        {Input::Down, VK_CAPITAL, WM_KEYDOWN, VK_CAPITAL, kFresh, {}},
        {Input::Up, VK_CAPITAL, WM_KEYUP, VK_CAPITAL, kLetGo, {}},
    };
    platform::testing::ClearMessages();
    platform::testing::SetTickCount(0);
    platform::testing::ScriptedDisplay display;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = TEXT("KeyboardTest");
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowW(TEXT("KeyboardTest"), TEXT("Keys"), 0, 0, 0, 0, 0, nullptr,
                                      nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    // All at once, so that they arrive in one look at the desktop.
    platform::testing::SetTickCount(100);
    for (const Step& step : steps) {
        switch (step.input) {
            case Input::Down: display.KeyDownAt(100, step.key); break;
            case Input::Repeat: display.KeyDownAt(100, step.key, true); break;
            case Input::Up: display.KeyUpAt(100, step.key); break;
            case Input::FocusLost: display.DeactivateAt(100); break;
        }
    }
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        if (step.message == 0) continue;
        MSG message = {};
        ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) << "step " << i;
        EXPECT_EQ(message.hwnd, window) << "step " << i;
        EXPECT_EQ(message.message, step.message) << "step " << i;
        EXPECT_EQ(message.wParam, step.wParam) << "step " << i;
        EXPECT_EQ(message.lParam, step.lParam) << "step " << i;
        for (int key : kWatched) {
            const bool held = std::find(step.held.begin(), step.held.end(), key) != step.held.end();
            EXPECT_EQ(GetKeyState(key) < 0, held) << "step " << i << ", key " << key;
        }
    }
    MSG rest = {};
    EXPECT_FALSE(PeekMessageW(&rest, nullptr, 0, 0, PM_REMOVE)) << rest.message;
    EXPECT_EQ(GetKeyState(VK_CAPITAL), 1) << "toggled on, and up";
    platform::testing::DestroyWindows();
    platform::testing::ClearMessages();
}

}  // namespace
