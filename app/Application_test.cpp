// The program from its entry: one window, the title first with its tune, navigation between
// the screens through the window's messages, and the end through the main loop.
#include "app/Application.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "platform/testing/testing.h"
#include "resources/ResourceIds.h"
#include "scene/WaveResource.h"
#include "tests/support/TestFigures.h"

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

TEST_F(ProgramTest, StartsOnTheTitleWithItsTuneAndPaintsIt) {
    ASSERT_TRUE(CreateMainWindow(instance, SW_SHOW));
    ASSERT_NE(application, nullptr);
    EXPECT_EQ(application->current, application->splashScreen);
    EXPECT_TRUE(application->splashScreen->active);
    EXPECT_FALSE(application->gameScreen->active);
    EXPECT_FALSE(application->settingsScreen->active);
    ASSERT_FALSE(sounds.calls.empty());
    EXPECT_EQ(sounds.calls[0].data, LoadWaveResource(IDW_WELCOME));
    EXPECT_EQ(sounds.calls[0].flags, SND_ASYNC | SND_MEMORY);

    RECT client{};
    GetClientRect(MainWindow(), &client);
    EXPECT_EQ(client.right, 240);
    EXPECT_EQ(client.bottom, 320);
    EXPECT_EQ(screenWidth, 240);
    EXPECT_EQ(screenHeight, 320);
    // Showing and updating the window painted the title: the yellow version line is there.
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
    HDC dc = GetDC(MainWindow());
    int yellow = 0;
    for (int x = 15; x < 50; ++x) {
        for (int y = 287; y < 299; ++y)
            yellow += platform::testing::PixelAt(dc, x, y) == RGB(255, 255, 0);
    }
    ReleaseDC(MainWindow(), dc);
    EXPECT_GT(yellow, 10);
}

TEST_F(ProgramTest, ASecondStartFindsTheFirstAndCreatesNothing) {
    ASSERT_TRUE(CreateMainWindow(instance, SW_SHOW));
    Application* first = application;
    HWND window = MainWindow();
    EXPECT_FALSE(CreateMainWindow(instance, SW_SHOW));
    EXPECT_EQ(application, first);
    EXPECT_EQ(MainWindow(), window);
}

TEST_F(ProgramTest, ATapOnTheTitleSoundsAndShowsTheGameAtStylusDown) {
    ASSERT_TRUE(CreateMainWindow(instance, SW_SHOW));
    Press(120, 150);
    EXPECT_EQ(application->current, application->gameScreen);
    EXPECT_TRUE(application->gameScreen->active);
    EXPECT_FALSE(application->splashScreen->active);
    EXPECT_EQ(PlaysOf(IDW_NAVIGATE), 1);
    Release(120, 150);
    EXPECT_EQ(application->current, application->gameScreen) << "lifting does nothing more";
    EXPECT_EQ(PlaysOf(IDW_NAVIGATE), 1);
}

TEST_F(ProgramTest, SettingsAndBackSoundOnStylusDownAndSwitchOnStylusUp) {
    ASSERT_TRUE(CreateMainWindow(instance, SW_SHOW));
    Tap(120, 150);
    Press(30, 35);
    EXPECT_EQ(PlaysOf(IDW_NAVIGATE), 2);
    EXPECT_EQ(application->current, application->gameScreen);
    // Slid off the button before lifting: it still switches.
    Release(200, 200);
    EXPECT_EQ(application->current, application->settingsScreen);

    Tap(150, 270);  // RESET: its own sound, no switch
    EXPECT_EQ(PlaysOf(IDW_NAVIGATE), 3) << "the reset sound is the screen's own";
    EXPECT_EQ(application->current, application->settingsScreen);

    Tap(60, 275);  // OK
    EXPECT_EQ(PlaysOf(IDW_NAVIGATE), 4);
    EXPECT_EQ(application->current, application->gameScreen);
}

TEST_F(ProgramTest, APressAtAWindowPointReachesTheCurrentScreenThere) {
    ASSERT_TRUE(CreateMainWindow(instance, SW_SHOW));
    Tap(120, 150);
    std::vector<std::string> log;
    testsupport::LoggingListener listener("figure", log);
    auto* target = new testsupport::BareFigure(application->gameScreen, MainWindow(), 4, 4);
    target->SetX(15);
    target->SetY(298);
    target->SetZOrder(200);
    target->SetVisible(true);
    target->SetEnabled(true);
    target->AddListener(&listener);
    application->gameScreen->AddFigure(target);
    Press(17, 300);
    EXPECT_EQ(log, (std::vector<std::string>{"figure down 17,300"}));
}

TEST_F(ProgramTest, APaintRequestPutsTheWindowBackOverTheDisplayAndPaintsInFull) {
    ASSERT_TRUE(CreateMainWindow(instance, SW_SHOW));
    MoveWindow(MainWindow(), 0, 0, 100, 100, TRUE);
    Pump();
    RECT client{};
    GetClientRect(MainWindow(), &client);
    EXPECT_EQ(client.right, 240);
    EXPECT_EQ(client.bottom, 320);
    HDC dc = GetDC(MainWindow());
    EXPECT_NE(platform::testing::PixelAt(dc, 239, 319), RGB(0, 0, 0)) << "painted to the corner";
    ReleaseDC(MainWindow(), dc);
}

TEST_F(ProgramTest, TheSameStartTimeGivesTheSameProblems) {
    std::vector<std::int32_t> problems[2];
    for (auto& seen : problems) {
        ASSERT_TRUE(CreateMainWindow(instance, SW_SHOW));
        const Equation& equation = *application->gameScreen->equation;
        seen = {equation.operand1, equation.operand2,
                application->gameScreen->answers.At(1)->number};
        platform::testing::DestroyWindows();
        platform::testing::ClearMessages();
    }
    EXPECT_EQ(problems[0], problems[1]);
}

TEST_F(ProgramTest, TheExitBoxEndsTheMainLoopWithExitCodeZero) {
    ASSERT_TRUE(CreateMainWindow(instance, SW_SHOW));
    Tap(120, 150);
    platform::testing::SetTickCount(now += 300);
    PostMessageW(MainWindow(), WM_LBUTTONDOWN, 1, MAKELPARAM(215, 27));
    EXPECT_EQ(RunMainLoop(), 0);
    EXPECT_EQ(application, nullptr);
    EXPECT_EQ(sounds.calls.back().flags, SND_MEMORY) << "the exit click played to its end";
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

TEST_F(ProgramTest, TheWindowsCloseButtonEndsTheProgramToo) {
    ASSERT_TRUE(CreateMainWindow(instance, SW_SHOW));
    PostMessageW(MainWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(RunMainLoop(), 0);
    EXPECT_EQ(application, nullptr);
    EXPECT_EQ(MainWindow(), nullptr);
}

}  // namespace
