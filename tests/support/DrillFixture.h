// Shared by the drill's tests: a headless window, a registry of the test's own, the clock
// under control, and one log of what is heard and what the open screen passes on, in order.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "drill/GameScreen.h"
#include "drill/Progress.h"
#include "platform/testing/testing.h"
#include "resources/ResourceIds.h"
#include "scene/Image.h"
#include "scene/Screen.h"
#include "scene/ScreenListener.h"
#include "scene/WaveResource.h"
#include "tests/support/Pixels.h"
#include "tests/support/StoredValues.h"

namespace testsupport {

class DrillFixture : public ::testing::Test, public ScreenListener {
protected:
    using Log = std::vector<std::string>;

    DrillFixture() {
        platform::testing::SetTickCount(1000);
        platform::testing::ClearMessages();
        std::srand(1);
        // "click to the end" for a sound heard to its end before the call returns.
        static std::map<const void*, std::string> names = {
            {LoadWaveResource(IDW_TAP), "click"},
            {LoadWaveResource(IDW_CORRECT), "correct"},
            {LoadWaveResource(IDW_LEVEL_UP), "fanfare"},
            {LoadWaveResource(IDW_NAVIGATE), "reset"}};
        sounds.onPlay = [this](const platform::testing::SoundCall& call) {
            log.push_back(names[call.data] + ((call.flags & SND_ASYNC) ? "" : " to the end") +
                          (EndPosted() ? " after the end was posted" : ""));
        };
    }
    // Every screen and every test lets the record go; one release too many does no harm.
    ~DrillFixture() override {
        screen.reset();
        EXPECT_EQ(progressRefs, 0);
        ReleaseProgress();
        EXPECT_EQ(progressRefs, 0);
    }

    // Opens a screen of type T, listening to what it passes on.
    template <typename T>
    T& Open() {
        auto* opened = new T(window, GetModuleHandleW(nullptr));
        screen.reset(opened);
        opened->screenListeners.InsertAt(this, 0);
        opened->active = true;
        return *opened;
    }

    // Logs "down <type>", then an image's name or a hotspot's tag; "from another screen" when
    // it did not come from the open one.
    void OnFigureDown(Screen* from, Figure* it, int, int) override { Record("down", from, it); }
    void OnFigureUp(Screen* from, Figure* it, int, int) override { Record("up", from, it); }
    Log TakeLog() { return std::exchange(log, {}); }

    // Presses and lifts the stylus on a point of the open screen, or on a figure's middle.
    void TapAt(std::int32_t x, std::int32_t y) {
        screen->PointerDown(x, y);
        screen->PointerUp(x, y);
    }
    void Tap(Figure& figure) {
        TapAt(figure.GetX() + figure.GetWidth() / 2, figure.GetY() + figure.GetHeight() / 2);
    }

    // Whether the window was asked to go, which ends the program.
    static bool EndPosted() {
        MSG end{};
        return PeekMessageW(&end, nullptr, WM_DESTROY, WM_DESTROY, PM_NOREMOVE) != FALSE;
    }

    // Whether the open screen, painted whole, shows the committed picture.
    ::testing::AssertionResult Shows(const std::string& picture) {
        screen->Redraw(true);
        return MatchesGolden(window, picture);
    }

    platform::testing::HeadlessWindow window;
    platform::testing::TemporaryRegistry registry;
    platform::testing::SoundRecorder sounds;
    StoredValues stored;
    Log log;
    std::unique_ptr<Screen> screen;

private:
    void Record(const char* what, Screen* from, Figure* figure) {
        static std::map<std::int32_t, std::string> images = {
            {IDB_EXIT_BOX, " exit box"}, {IDB_OK_BUTTON, " OK"}, {IDB_RESET_BUTTON, " RESET"}};
        const WideString type = figure->GetTypeName();
        std::string entry = what + (" " + std::string(type.begin(), type.end()));
        if (type == TEXT("Hotspot")) entry += " " + std::to_string(figure->tag);
        if (type == TEXT("Image") || type == TEXT("Button"))
            entry += images[static_cast<Image*>(figure)->resourceId];
        log.push_back(from == screen.get() ? entry : entry + " from another screen");
    }
};


// "level 7, score 0, auto off", then "; 1: 3/4" for each level with statistics.
inline std::string Describe(const Progress& p) {
    std::string text = "level " + std::to_string(p.level) + ", score " + std::to_string(p.score) +
                       ", auto " + (p.autoLevel ? "on" : "off");
    for (int i = 0; i < Progress::kLevels; ++i) {
        const auto& [correct, attempts] = p.stats[i];
        if (correct == 0 && attempts == 0) continue;
        text += "; " + std::to_string(i + 1) + ": " + std::to_string(correct) + "/" +
                std::to_string(attempts);
    }
    return text;
}

// The problem the game shows, with the cards as they stand from left to right and the right one
// in brackets: "8 - 5 = 3, [3] 9 7 0".
inline std::string DescribeProblem(GameScreen& game) {
    const Equation& p = *game.equation;
    std::string posed = std::to_string(p.operand1) + " " + "+-x/"[p.operation] + " " +
                        std::to_string(p.operand2) + " = " + std::to_string(p.result) + ",";
    std::map<std::int32_t, std::string> byPlace;
    for (int i = 0; i < game.answers.count; ++i) {
        const std::string number = std::to_string(game.answers.At(i)->number);
        byPlace[game.answers.At(i)->GetX()] = i == 0 ? "[" + number + "]" : number;
    }
    for (const auto& [x, card] : byPlace) posed += " " + card;
    return posed;
}

// Stored: score 4, level 5, automatic levelling off, level 1 with 0 of 3.
inline void StoreAnEarlierSession(StoredValues& stored) {
    stored.SetText(TEXT("score"), TEXT("4"));
    stored.SetText(TEXT("level"), TEXT("5"));
    stored.SetText(TEXT("auto"), TEXT("1"));
    stored.SetStatistics({0, 3});
}
inline const char* const kEarlierSession = "level 5, score 4, auto off; 1: 0/3";

}  // namespace testsupport
