// The program from its entry: one window, the title first with its tune, navigation between
// the screens through the window's messages, and the end through the main loop.
#include "app/Application.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
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
    // The title is painted before anything else is built or heard; the first pass of the main
    // loop builds the rest and starts the tune. A second start makes nothing.
    ASSERT_TRUE(CreateMainWindow(instance, SW_SHOW));
    const HWND window = FindWindowW(TEXT("ORVANE"), TEXT("Chalkmere"));
    EXPECT_TRUE(testsupport::MatchesGolden(window, "app-title"));
    EXPECT_TRUE(application->gameScreen == nullptr && sounds.calls.empty());
    Pump();
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
    EXPECT_EQ(
        std::tuple(brother.Text(TEXT("score")), sister.Text(TEXT("score")),
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

// The whole game from the keyboard, through the window's messages: any key leaves the title;
// a key within 250 ms of a change of screen and a key's auto-repeat do nothing; 1-4 (top row
// or keypad) press the cards from the left, a press on the key's down and a release on its up;
// Tab and the arrows move a focus drawn only once a key is used; Enter presses what it is on
// (on the key's down); Escape on the settings is OK; a tap hides the focus. What a screen reader
// is told follows: the problem in words, the cards by their numbers, the settings' states.
TEST_F(ProgramTest, TheGameIsPlayedWithKeysAlone) {
    ASSERT_TRUE(CreateMainWindow(instance, SW_SHOW));
    const HWND window = FindWindowW(TEXT("ORVANE"), TEXT("Chalkmere"));
    const auto key = [&](DWORD wait, UINT vk, bool up = true, LPARAM repeat = 0) {
        platform::testing::SetTickCount(now += wait);
        PostMessageW(window, WM_KEYDOWN, vk, 1 | repeat);
        Pump();
        if (up) {
            PostMessageW(window, WM_KEYUP, vk, 1 | (1L << 30) | (1L << 31));
            Pump();
        }
    };
    const auto said = [&] {
        std::vector<std::string> items;
        for (const ACCESSIBLE_ITEM& item : platform::testing::AccessibleItems(window)) {
            const std::basic_string<WCHAR> name = item.name;
            items.push_back(std::to_string(item.role) + (item.checked ? "*" : "") +
                            (item.focused ? ">" : "") + std::string(name.begin(), name.end()));
        }
        return items;
    };
    Pump();  // the title's first pass builds the rest
    GameScreen* const game = application->gameScreen;
    testsupport::StoredValues stored;

    key(300, 'Q');
    ASSERT_EQ(application->current, game);
    EXPECT_FALSE(game->focusShown) << "no focus until a key moves it";
    // The problem in words, then the settings, the score and the four cards by their numbers.
    std::vector<std::pair<std::int32_t, std::string>> byPlace;
    for (auto* node = game->answers.head; node != nullptr; node = node->next) {
        byPlace.emplace_back(node->value->GetX(), "3" + std::to_string(node->value->number));
    }
    std::sort(byPlace.begin(), byPlace.end());
    std::vector<std::string> cards;
    for (const auto& [x, card] : byPlace) cards.push_back(card);
    const Equation& posed = *game->equation;
    const std::vector<std::string> drill = said();
    ASSERT_GE(drill.size(), 7u);
    ASSERT_EQ(posed.operation, Addition);
    EXPECT_EQ(drill[0],
              "1" + std::to_string(posed.operand1) + " plus " + std::to_string(posed.operand2));
    EXPECT_EQ(std::vector<std::string>(drill.end() - 4, drill.end()), cards);

    const std::int32_t right = (game->answers.At(0)->GetX() - 20) / 50;
    const UINT wrong = right == 0 ? VK_NUMPAD2 : VK_NUMPAD1;
    key(300, wrong, false);
    key(0, wrong, false, 1L << 30);  // held: the repeat presses nothing more
    PostMessageW(window, WM_KEYUP, wrong, 1 | (1L << 30) | (1L << 31));
    Pump();
    EXPECT_EQ(std::pair(game->progress->bonus, said()[0]),
              std::pair(4, std::string("1Not this one")));
    key(300, static_cast<UINT>('1' + right));
    EXPECT_EQ(said()[0], "1Right, 4 points");
    platform::testing::SetTickCount(now += 1500);
    Pump();
    EXPECT_EQ(stored.Text(TEXT("score")), TEXT("4"));

    // Tab reaches the settings button first; Enter presses it on its down, switches on its up.
    key(300, VK_TAB);
    EXPECT_TRUE(game->focusShown);
    key(300, VK_RETURN, false);
    auto* settingsButton = static_cast<Button*>(game->FocusedFigure());
    EXPECT_EQ(std::pair(settingsButton->pressed, application->current),
              (std::pair<std::uint8_t, Screen*>(1, game)));
    PostMessageW(window, WM_KEYUP, VK_RETURN, 1 | (1L << 30) | (1L << 31));
    Pump();
    SettingsScreen* const settings = application->settingsScreen;
    ASSERT_EQ(application->current, settings);

    // A second Enter 120 ms after the change does nothing; then level 3 by Tab and the arrows
    // and Enter, the switch above level 1 and Space, Escape for OK.
    key(120, VK_RETURN);
    EXPECT_EQ(application->current, settings);
    while (settings->FocusedFigure() != settings->levelBoxes[0]) key(300, VK_TAB);
    key(300, VK_RIGHT);
    key(300, VK_RIGHT);
    key(300, VK_RETURN);
    key(300, VK_LEFT);
    key(300, VK_LEFT);
    key(300, VK_UP);
    EXPECT_EQ(settings->FocusedFigure(), settings->autoBox);
    key(300, VK_SPACE);
    EXPECT_EQ(std::pair(stored.Text(TEXT("level")), stored.Text(TEXT("auto"))),
              std::pair(testsupport::WideString(TEXT("3")), testsupport::WideString(TEXT("1"))));
    const std::vector<std::string> told = said();
    EXPECT_NE(std::find(told.begin(), told.end(), "4*Level 3"), told.end());
    EXPECT_NE(std::find(told.begin(), told.end(), "5>Automatic levelling"), told.end());
    key(300, VK_ESCAPE);
    EXPECT_EQ(application->current, game);
    EXPECT_TRUE(game->focusShown);

    // A tap hides the focus; only a key shows it again.
    PostMessageW(window, WM_LBUTTONDOWN, 1, MAKELPARAM(120, 150));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(120, 150));
    platform::testing::SetTickCount(now += 300);
    Pump();
    EXPECT_FALSE(game->focusShown);
}

}  // namespace
