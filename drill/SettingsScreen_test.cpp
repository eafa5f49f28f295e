// The settings screen driven by taps, as a parent uses it. The title screen is tapped and
// pictured in the program's story (app/Application_test.cpp).
#include "drill/SettingsScreen.h"

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

    // 4. Neither a percentage nor the board takes taps. RESET plays its sound, zeroes the
    //    statistics and the percentages shown, and keeps the level.
    TakeLog();
    Tap(*settings.percentTexts.At(0));
    TapAt(200, 200);
    TapAt(150, 270);
    EXPECT_EQ(TakeLog(), (Log{"reset", "down Button RESET", "up Button RESET"}));
    EXPECT_EQ(testsupport::WideString(settings.percentTexts.At(0)->text), TEXT("0"));
    EXPECT_EQ(progress.level, 6);

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
