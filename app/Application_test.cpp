// The program from its entry: one window, the title first with its tune, navigation between
// the screens through the window's messages, and the end through the main loop.
#include "app/Application.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "app/MainWindow.h"
#include "platform/testing/testing.h"
#include "resources/ResourceIds.h"
#include "scene/WaveResource.h"
#include "tests/support/Pixels.h"
#include "tests/support/StoredValues.h"

namespace {

class ProgramTest : public ::testing::Test {
protected:
    ProgramTest() {
        platform::testing::SetTickCount(1000);
        platform::testing::SetLocalTime({2026, 12, 0, 6, 10, 20, 30, 0});
        platform::testing::ClearMessages();
    }
    ~ProgramTest() override {
        platform::testing::DestroyWindows();
        application = nullptr;
        platform::testing::ClearMessages();
        platform::testing::UseRealLocalTime();
        platform::testing::UseRealTickCount();
    }

    // Handles every message waiting, as passes of the main loop would, ticking in between and
    // once more after, as a pass with nothing waiting does.
    static void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) break;
            DispatchMessageW(&message);
            if (application != nullptr) application->current->Tick(GetTickCount());
        }
        if (application != nullptr) application->current->Tick(GetTickCount());
    }

    DWORD now = 1000;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    platform::testing::TemporaryRegistry registry;
    platform::testing::SoundRecorder sounds;
};

// The program as a child meets it, through the window's messages: the title with its tune,
// a tap into the drill, a double tap that stays on its screen, the settings and back, the end.
TEST_F(ProgramTest, TheTitleTheDrillAndTheSettingsAsAChildTapsThroughThem) {
    // The title is painted and its tune plays; a second start makes nothing.
    ASSERT_TRUE(CreateMainWindow(instance, SW_SHOW));
    const HWND window = FindWindowW(TEXT("ORVANE"), TEXT("Chalkmere"));
    EXPECT_TRUE(testsupport::MatchesGolden(window, "app-title"));
    EXPECT_EQ(std::pair(sounds.calls.at(0).data, sounds.calls.at(0).flags),
              std::pair(LoadWaveResource(IDW_WELCOME), DWORD{SND_ASYNC | SND_MEMORY}));
    EXPECT_FALSE(CreateMainWindow(instance, SW_SHOW));

    // Each row: a press some milliseconds after the last, how long it is held, where it is
    // lifted, the screen after each, and how many sounds were heard by the release, the last
    // always the navigation sound; a release sounds nothing. The title goes at the press, even
    // one between its text lines; a press within 250 ms of a change belongs to a double tap
    // and answers no card (whose click would be heard); settings sounds at the press and
    // switches at the release, slid off or not; RESET does nothing held 1.5 s, and held 2 s
    // sounds (the screen's own sound) and stays; OK returns.
    Screen* const game = application->gameScreen;
    Screen* const settings = application->settingsScreen;
    const std::tuple<DWORD, POINT, DWORD, POINT, Screen*, Screen*, std::size_t> rows[] = {
        {300, {100, 290}, 0, {100, 290}, game, game, 2},
        {0, {43, 293}, 0, {43, 293}, game, game, 2},
        {300, {30, 35}, 0, {200, 200}, game, settings, 3},
        {300, {150, 270}, 1500, {150, 270}, settings, settings, 3},
        {300, {150, 270}, 2000, {150, 270}, settings, settings, 4},
        {300, {60, 275}, 0, {60, 275}, settings, game, 5}};
    for (const auto& [wait, down, held, up, pressed, released, heard] : rows) {
        platform::testing::SetTickCount(now += wait);
        PostMessageW(window, WM_LBUTTONDOWN, 1, MAKELPARAM(down.x, down.y));
        Pump();
        platform::testing::SetTickCount(now += held);
        Pump();
        EXPECT_EQ(std::tuple(application->current, sounds.calls.size(), sounds.calls.back().data),
                  std::tuple(pressed, heard, LoadWaveResource(IDW_NAVIGATE)))
            << down.x << "," << down.y;
        PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
        Pump();
        EXPECT_EQ(std::pair(application->current, sounds.calls.size()), std::pair(released, heard))
            << up.x << "," << up.y;
    }

    // A paint request puts the window back over the display.
    MoveWindow(window, 0, 0, 100, 100, TRUE);
    Pump();
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right * 1000 + client.bottom, 240320);

    // The exit box ends the main loop with exit code 0.
    platform::testing::SetTickCount(now += 300);
    PostMessageW(window, WM_LBUTTONDOWN, 1, MAKELPARAM(215, 27));
    EXPECT_EQ(RunMainLoop(), 0);
    EXPECT_EQ(application, nullptr);
}

// A press within 250 ms of a screen change belongs to the double tap that brought the screen
// up and does nothing on it; from 250 ms on it acts. Each row: the screen, and the point that
// leads away from it (the title anywhere, the drill's settings button, the settings' OK).
TEST_F(ProgramTest, APressActsOnlyFrom250MillisecondsAfterTheScreenChanged) {
    const std::tuple<const char*, std::vector<POINT>, POINT> screens[] = {
        {"title", {}, {120, 160}},
        {"drill", {{120, 160}}, {32, 37}},
        {"settings", {{120, 160}, {32, 37}}, {65, 275}}};
    for (const auto& [name, way, away] : screens) {
        for (const DWORD delay : {0u, 120u, 249u, 250u, 300u}) {
            ASSERT_TRUE(CreateMainWindow(instance, SW_SHOW));
            const HWND window = FindWindowW(TEXT("ORVANE"), TEXT("Chalkmere"));
            const auto tap = [&](DWORD wait, POINT at) {
                platform::testing::SetTickCount(now += wait);
                PostMessageW(window, WM_LBUTTONDOWN, 1, MAKELPARAM(at.x, at.y));
                PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
                Pump();
            };
            for (const POINT& step : way) tap(1000, step);
            Screen* const shown = application->current;
            tap(delay, away);
            EXPECT_EQ(application->current != shown, delay >= 250) << name << " " << delay;
            platform::testing::DestroyWindows();
            application = nullptr;
            platform::testing::ClearMessages();
        }
    }
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

        // Nothing else changes on the drill then: the first frame that differs shows the press.
        std::vector<std::uint32_t> released;
        DWORD shown = 0;
        for (const auto& frame : display.frames) {
            if (frame.time < press) {
                released = frame.pixels;
            } else if (shown == 0 && frame.pixels != released) {
                shown = frame.time;
            }
        }
        ASSERT_NE(shown, 0u) << "the press at " << press << " was never shown";
        EXPECT_LE(shown - press, 45u) << "pressed at " << press;
    }
}

// Brother and sister through the window's messages: the sister is added from the settings
// with the fox, each plays under their own picture into their own values, the chooser rings
// who played last and ignores the second tap of a double tap, and the sister is removed by a
// two-second hold and a confirmation, after which her brother plays on.
TEST_F(ProgramTest, EachChildPlaysTheirOwnProgressUnderTheirOwnPicture) {
    ASSERT_TRUE(CreateMainWindow(instance, SW_SHOW));
    const HWND window = FindWindowW(TEXT("ORVANE"), TEXT("Chalkmere"));
    const auto press = [&](DWORD wait, POINT at, DWORD held = 0) {
        platform::testing::SetTickCount(now += wait);
        PostMessageW(window, WM_LBUTTONDOWN, 1, MAKELPARAM(at.x, at.y));
        Pump();
        platform::testing::SetTickCount(now += held);
        Pump();
        PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        Pump();
    };
    const auto answerRight = [&] {
        const Answer* right = application->gameScreen->answers.At(0);
        press(300, {right->GetX() + 5, right->GetY() + 5});
        platform::testing::SetTickCount(now += 1500);  // the check mark, then the next problem
        Pump();
    };
    using Page = ChildrenScreen::Page;
    testsupport::StoredValues brother;
    testsupport::StoredValues sister(TEXT("Software\\Brindlewick\\Chalkmere\\Children\\2"));

    press(300, {120, 160});
    answerRight();
    EXPECT_FALSE(application->gameScreen->childPicture->visible) << "one child: no picture";
    ChildrenScreen*& children = application->childrenScreen;
    // Settings, the heading, the free cell, the fox; back to the settings and the drill.
    for (const POINT at : {POINT{32, 37}, POINT{120, 20}, POINT{170, 100}, POINT{120, 100}}) {
        press(300, at);
    }
    ASSERT_EQ(std::pair(application->current, children->page),
              (std::pair<Screen*, Page>(children, Page::Children)));
    press(300, {30, 37});
    press(300, {65, 275});
    ASSERT_EQ(application->current, application->gameScreen);
    EXPECT_TRUE(application->gameScreen->childPicture->visible);

    // The brother's picture in the top bar leads to the chooser; a second tap 120 ms later
    // chooses nobody; the sister's fox, in the second cell, starts her drill.
    press(300, {66, 37});
    press(120, {170, 100});
    ASSERT_EQ(std::pair(application->current, children->page),
              (std::pair<Screen*, Page>(children, Page::WhoIsPlaying)));
    press(300, {170, 100});
    EXPECT_EQ(application->gameScreen->progress->child, 2);
    EXPECT_EQ(application->gameScreen->childPicture->currentFrame, 1) << "the fox";
    answerRight();
    press(300, {32, 37});
    press(300, {30 + 30 * 2 + 5, 87 + 5});  // level 3 for her
    press(300, {65, 275});
    EXPECT_EQ(std::tuple(brother.Text(TEXT("score")), sister.Text(TEXT("score")),
                         sister.Text(TEXT("level")), brother.Text(TEXT("level")),
                         brother.Text(TEXT("lastChild"))),
              std::tuple(testsupport::WideString(TEXT("12")), testsupport::WideString(TEXT("12")),
                         testsupport::WideString(TEXT("3")), testsupport::WideString(TEXT("<missing>")),
                         testsupport::WideString(TEXT("2"))));

    // Her badge held 1.5 s does nothing; held 2 s it asks, showing her fox; the cross removes.
    press(300, {32, 37});
    press(300, {120, 20});
    press(300, {196, 70}, 1500);
    EXPECT_EQ(children->page, Page::Children);
    press(300, {196, 70}, 2000);
    EXPECT_EQ(children->page, Page::Remove);
    press(300, {120, 240});
    EXPECT_EQ(std::pair(children->page, sister.Text(TEXT("picture"))),
              std::pair(Page::Children, testsupport::WideString(TEXT("<missing>"))));
    EXPECT_EQ(application->settingsScreen->progress->child, 1);
    press(300, {30, 37});
    press(300, {65, 275});
    EXPECT_EQ(std::pair(application->current, application->gameScreen->childPicture->visible),
              (std::pair<Screen*, bool>(application->gameScreen, false)));
    EXPECT_EQ(application->gameScreen->progress->score, 12);
}

}  // namespace
