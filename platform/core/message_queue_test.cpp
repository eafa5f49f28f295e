// The message loop's waits: short while anything moves or is held, and for ever once all has
// been still for a second, so an idle game never wakes.
#include <gtest/gtest.h>

#include <vector>

#include "platform/testing/testing.h"
#include "platform/win32.h"

namespace {

// The program's loop, with a picture drawn at each of `draws`, until the clock reaches `end`.
void RunLoop(HWND window, std::vector<DWORD> draws, DWORD end) {
    while (GetTickCount() < end) {
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            GetMessageW(&message, nullptr, 0, 0);
            DispatchMessageW(&message);
        }
        if (!draws.empty() && GetTickCount() >= draws.front()) {
            draws.erase(draws.begin());
            HDC dc = GetDC(window);
            platform::testing::SetPixelAt(dc, 0, 0, RGB(255, 255, 255));
            ReleaseDC(window, dc);
        }
    }
}

// Every time at which the loop began to wait for ever after waiting briefly.
std::vector<DWORD> StillSince(const platform::testing::ScriptedDisplay& display) {
    std::vector<DWORD> times;
    bool forever = false;
    for (const auto& wait : display.waits) {
        if (wait.timeoutMs < 0 && !forever) times.push_back(wait.time);
        forever = wait.timeoutMs < 0;
    }
    return times;
}

// A picture at 1000, a press held from 3000 to 5500, a key held from 8000 to 10500 and a
// picture after it at 11000, the window losing the focus at 14000: each second of stillness
// starts only once the last of them is over, and a wait for ever ends at the next event.
TEST(MessageQueueTest, TheLoopWaitsForEverOnlyAfterASecondWithNothingShownPostedOrHeld) {
    platform::testing::ClearMessages();
    platform::testing::SetTickCount(500);
    {
        platform::testing::ScriptedDisplay display;
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.lpszClassName = TEXT("QueueTest");
        RegisterClassW(&windowClass);
        const HWND window = CreateWindowW(TEXT("QueueTest"), TEXT("Queue"), WS_VISIBLE, 0, 0, 240,
                                          320, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        display.PressAt(3000, 5, 5);
        display.ReleaseAt(5500, 5, 5);
        display.KeyDownAt(8000, 'A');
        display.KeyDownAt(9000, 'A', true);
        display.KeyUpAt(10500, 'A');
        display.DeactivateAt(14000);
        display.CloseAt(20000);  // only ends the last wait
        platform::testing::SetTickCount(1000);
        RunLoop(window, {1000, 11000}, 20000);

        EXPECT_EQ(StillSince(display), (std::vector<DWORD>{2000, 6500, 12000, 15000}));
        ASSERT_FALSE(display.frames.empty());
        EXPECT_EQ(display.frames.back().time, 11000u);
        platform::testing::DestroyWindows();
    }
    // Without a desktop nothing can arrive: no wait at all, for ever least of all.
    MSG message;
    EXPECT_EQ(GetMessageW(&message, nullptr, 0, 0), -1);
    platform::testing::ClearMessages();
}

}  // namespace
