// The program from its entry: one window, the title first with its tune, navigation between
// the screens through the window's messages, and the end through the main loop.
#include "app/Application.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/MainWindow.h"
#include "platform/testing/testing.h"
#include "resources/ResourceIds.h"
#include "scene/WaveResource.h"
#include "tests/support/Pixels.h"

using platform::testing::SoundRecorder;
using platform::testing::TemporaryRegistry;

namespace {

constexpr SYSTEMTIME kStartTime = {2026, 12, 0, 6, 10, 20, 30, 0};

class ProgramTest : public ::testing::Test {
protected:
    ProgramTest() {
        platform::testing::SetTickCount(1000);
        platform::testing::SetLocalTime(kStartTime);
        platform::testing::ClearMessages();
    }
    ~ProgramTest() override {
        platform::testing::DestroyWindows();
        application = nullptr;
        platform::testing::ClearMessages();
        platform::testing::UseRealLocalTime();
        platform::testing::UseRealTickCount();
    }

    static HWND MainWindow() { return FindWindowW(TEXT("ORVANE"), TEXT("Chalkmere")); }

    // Handles every message waiting, as passes of the main loop would, ticking in between.
    static void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) break;
            DispatchMessageW(&message);
            if (application != nullptr) application->current->Tick(GetTickCount());
        }
    }

    // A stylus press at display point (x, y), through the window's messages, a moment after
    // the last (presses right after a change of screen belong to a double tap).
    void Press(std::int32_t x, std::int32_t y) {
        platform::testing::SetTickCount(now += 300);
        PostMessageW(MainWindow(), WM_LBUTTONDOWN, 1, MAKELPARAM(x, y));
        Pump();
    }
    static void Release(std::int32_t x, std::int32_t y) {
        PostMessageW(MainWindow(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        Pump();
    }
    void Tap(std::int32_t x, std::int32_t y) {
        Press(x, y);
        Release(x, y);
    }

    int PlaysOf(int waveId) {
        int count = 0;
        for (const auto& call : sounds.calls) count += call.data == LoadWaveResource(waveId);
        return count;
    }

    DWORD now = 1000;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    TemporaryRegistry registry;
    SoundRecorder sounds;
};

// The program as a child meets it, through the window's messages: the title with its tune,
// a tap into the drill, a double tap that stays on its screen, the settings and back, the end.
TEST_F(ProgramTest, TheTitleTheDrillAndTheSettingsAsAChildTapsThroughThem) {
    // 1. The title is current, painted, and its tune plays; a second start makes nothing.
    ASSERT_TRUE(CreateMainWindow(instance, SW_SHOW));
    const HWND window = MainWindow();
    EXPECT_EQ(application->current, application->splashScreen);
    EXPECT_FALSE(application->gameScreen->active || application->settingsScreen->active);
    EXPECT_EQ(sounds.calls.at(0).data, LoadWaveResource(IDW_WELCOME));
    EXPECT_EQ(sounds.calls.at(0).flags, SND_ASYNC | SND_MEMORY);
    HDC dc = GetDC(window);
    EXPECT_TRUE(testsupport::MatchesGolden(dc, 240, 320, "app-title"));
    ReleaseDC(window, dc);
    EXPECT_FALSE(CreateMainWindow(instance, SW_SHOW));
    EXPECT_EQ(MainWindow(), window);

    // 2. A press on the title sounds and shows the drill at once; lifting does nothing more.
    Press(120, 150);
    EXPECT_EQ(application->current, application->gameScreen);
    Release(120, 150);
    EXPECT_EQ(PlaysOf(IDW_NAVIGATE), 1);
    // 3. The second press of a double tap, within 250 ms of the change, answers no card.
    PostMessageW(window, WM_LBUTTONDOWN, 1, MAKELPARAM(43, 293));
    Pump();
    EXPECT_EQ(PlaysOf(IDW_TAP), 0);

    // 4. The settings button sounds on the press and switches on the release, slid off or not.
    Press(30, 35);
    EXPECT_EQ(PlaysOf(IDW_NAVIGATE), 2);
    EXPECT_EQ(application->current, application->gameScreen);
    Release(200, 200);
    EXPECT_EQ(application->current, application->settingsScreen);
    // 5. RESET sounds (the screen's own sound) and stays; OK returns to the drill.
    Tap(150, 270);
    EXPECT_EQ(PlaysOf(IDW_NAVIGATE), 3);
    EXPECT_EQ(application->current, application->settingsScreen);
    Tap(60, 275);
    EXPECT_EQ(PlaysOf(IDW_NAVIGATE), 4);
    EXPECT_EQ(application->current, application->gameScreen);

    // 6. A paint request puts the window back over the display.
    MoveWindow(window, 0, 0, 100, 100, TRUE);
    Pump();
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right * 1000 + client.bottom, 240320);

    // 7. The exit box's click is heard to its end, then the main loop ends with exit code 0.
    platform::testing::SetTickCount(now += 300);
    PostMessageW(window, WM_LBUTTONDOWN, 1, MAKELPARAM(215, 27));
    EXPECT_EQ(RunMainLoop(), 0);
    EXPECT_EQ(application, nullptr);
    EXPECT_EQ(sounds.calls.back().flags, SND_MEMORY);
}

// A press whose redraw the screen's throttle defers must not wait for the main loop's long
// sleep of a still picture: held after 1.5 s of stillness, the pressed settings button is on
// the desktop within 45 ms, wherever the press falls between two ticks.
TEST_F(ProgramTest, AHeldPressIsShownWithinFortyFiveMillisecondsAfterStillness) {
    for (DWORD offset = 0; offset < 100; offset += 10) {
        platform::testing::ScriptedDisplay display;
        const DWORD press = 2650 + offset;
        display.PressAt(1300, 120, 150);  // the title leads to the drill
        display.ReleaseAt(1350, 120, 150);
        display.PressAt(press, 30, 35);
        display.CloseAt(press + 300);
        platform::testing::SetTickCount(1000);
        ASSERT_TRUE(CreateMainWindow(instance, SW_SHOW));
        ASSERT_EQ(RunMainLoop(), 0);

        const auto button = [](const platform::testing::ScriptedDisplay::Frame& frame) {
            std::vector<COLORREF> face;
            for (int y = 20; y < 55; ++y) {
                for (int x = 12; x < 52; ++x) face.push_back(frame.Pixel(x, y));
            }
            return face;
        };
        std::vector<COLORREF> released;
        DWORD shown = 0;
        for (const auto& frame : display.frames) {
            if (frame.time < press) {
                released = button(frame);
            } else if (shown == 0 && button(frame) != released) {
                shown = frame.time;
            }
        }
        ASSERT_NE(shown, 0u) << "the press at " << press << " was never shown";
        EXPECT_LE(shown - press, 45u) << "pressed at " << press;
    }
}

}  // namespace
