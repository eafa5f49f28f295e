// The settings screen driven by taps, as a parent uses it. The title screen is tapped and
// pictured in the program's story (app/Application_test.cpp).
#include "drill/SettingsScreen.h"

#include <random>

#include "tests/support/DrillFixture.h"

using SettingsScreenTest = testsupport::DrillFixture;

namespace {

// A parent reads the percentages, chooses levels, switches automatic levelling, resets the
// statistics and leaves.
TEST_F(SettingsScreenTest, AParentSetsUpTheDrill) {
    stored.SetText(TEXT("level"), TEXT("7"));
    stored.SetText(TEXT("auto"), TEXT("1"));
    stored.SetStatistics({10, 10, 9, 10, 7, 9, 2, 3, 5, 8, 1, 4, 3, 7});
    SettingsScreen& settings = Open<SettingsScreen>();
    Progress& progress = *settings.progress;

    // 1. Each level's share of first tries, truncated, with the marker in the level's box and
    //    automatic levelling off.
    EXPECT_TRUE(Shows("drill-settings"));

    // 2. A tap on a box clicks, chooses its level and takes the marker there; the current
    //    level changes nothing. Each row: the level, its box, whether it changed.
    const int boxes[][4] = {
        {9, 90, 109, 1}, {1, 30, 87, 1}, {12, 180, 109, 1}, {6, 180, 87, 1}, {6, 180, 87, 0}};
    for (const auto& [level, x, y, changed] : boxes) {
        const std::string number = std::to_string(level);
        progress.levelChanged = false;
        TapAt(x + 4, y + 4);
        EXPECT_EQ(TakeLog(), (Log{"click", "down Hotspot " + number, "up Hotspot " + number}));
        EXPECT_EQ(std::pair(progress.level, progress.levelChanged), std::pair(level, changed == 1));
        EXPECT_EQ(std::pair(settings.levelMarker->GetX(), settings.levelMarker->GetY()),
                  std::pair(x, y));
    }

    // 3. The automatic-levelling box switches the tick and the stored switch (0 while on).
    for (const bool on : {true, false}) {
        TapAt(35, 48);
        EXPECT_EQ(std::pair(progress.autoLevel, settings.checkMark->visible), std::pair(on, on));
        EXPECT_EQ(stored.Text(TEXT("auto")), on ? TEXT("0") : TEXT("1"));
    }

    // 4. Neither a percentage nor the board takes taps, nor does RESET at once: 1,000 taps
    //    anywhere but the exit box, half of them low where the drill's cards were, each held up
    //    to 1.5 s with the screen ticked at the release, leave the score and statistics as they
    //    were.
    const auto record = [&progress] {
        std::string text = std::to_string(progress.score);
        for (const auto& [correct, attempts] : progress.stats)
            text += " " + std::to_string(correct) + "/" + std::to_string(attempts);
        return text;
    };
    progress.score = 40;
    const std::string before = record();
    TakeLog();
    Tap(*settings.percentTexts.At(0));
    TapAt(200, 200);
    TapAt(150, 270);
    EXPECT_EQ(TakeLog(), (Log{"down Button RESET", "up Button RESET"}));
    DWORD now = 1000;
    std::mt19937 random(21);
    for (int tap = 0; tap < 1000; ++tap) {
        const int x = static_cast<int>(random() % 240);
        const int y = static_cast<int>(tap % 2 == 0 ? random() % 320 : 240 + random() % 80);
        const DWORD held = random() % 1501;
        if (x >= 205 && y <= 42) continue;  // the exit box ends the game
        platform::testing::SetTickCount(now += 300);
        settings.PointerDown(x, y);
        settings.Tick(now += held);
        settings.PointerUp(x, y);
        ASSERT_EQ(record(), before) << "a tap at " << x << "," << y << " held " << held << " ms";
    }
    EXPECT_FALSE(settings.resetRing->visible);

    //    Held two seconds, RESET plays its sound once and zeroes the score, the statistics and
    //    the percentages shown, keeping the level; the ring of chalk fills round it meanwhile
    //    and closes at the end, and goes with the release.
    const int level = progress.level;
    TakeLog();
    platform::testing::SetTickCount(now += 300);
    settings.PointerDown(150, 270);
    settings.Tick(now + 1000);
    EXPECT_TRUE(Shows("drill-settings-reset-held"));
    settings.Tick(now + SettingsScreen::kResetHold - 1);
    EXPECT_EQ(std::pair(record(), settings.resetRing->currentFrame), std::pair(before, 18));
    for (const DWORD later : {0, 1, 5000}) settings.Tick(now + SettingsScreen::kResetHold + later);
    EXPECT_EQ(settings.resetRing->currentFrame, 19);
    settings.PointerUp(150, 270);
    EXPECT_EQ(TakeLog(), (Log{"down Button RESET", "reset", "up Button RESET"}));
    std::string zeroed = "0";
    for (int i = 0; i < Progress::kLevels; ++i) zeroed += " 0/0";
    EXPECT_EQ(record(), zeroed);
    EXPECT_EQ(testsupport::WideString(settings.percentTexts.At(0)->text), TEXT("0"));
    EXPECT_EQ(std::pair(progress.level, settings.resetRing->visible), std::pair(level, false));

    // 5. Each paint shows the record as it stands, as when stored progress could be read only
    //    later: the percentages replaced, not added to, the marker and the tick moved.
    progress.stats[11] = {5, 5};
    progress.level = 3;
    progress.autoLevel = true;
    EXPECT_TRUE(Shows("drill-settings-repainted"));

    // 6. OK is only passed on (the program returns to the drill); the exit box ends the game.
    TapAt(50, 270);
    EXPECT_EQ(TakeLog(), (Log{"down Button OK", "up Button OK"}));
    TapAt(215, 27);
    EXPECT_TRUE(EndPosted());
}

}  // namespace
