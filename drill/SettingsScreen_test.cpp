// The settings and title screens driven by taps, as a parent and a child use them.
#include "drill/SettingsScreen.h"
#include "drill/SplashScreen.h"

#include <gtest/gtest.h>

#include "tests/support/DrillFixture.h"

using testsupport::Log;
using SettingsScreenTest = testsupport::DrillFixture;
using SplashScreenTest = testsupport::DrillFixture;

namespace {

// A parent reads the percentages, chooses levels, switches automatic levelling, resets the
// statistics and leaves.
TEST_F(SettingsScreenTest, AParentSetsUpTheDrill) {
    stored.SetText(TEXT("level"), u"7");
    stored.SetText(TEXT("auto"), u"1");
    stored.SetStatistics({10, 10, 9, 10, 7, 9, 2, 3, 5, 8, 1, 4, 3, 7});
    SettingsScreen& settings = Open<SettingsScreen>();
    Progress& progress = *settings.progress;
    auto percentages = [&] {
        std::u16string shown;
        for (auto* node = settings.percentTexts.head; node != nullptr; node = node->next) {
            shown += node->value->text + std::u16string(node->next != nullptr ? u" " : u"");
        }
        return shown;
    };

    // 1. Each level's share of first tries, truncated, with the marker in the level's box and
    //    automatic levelling off. Each paint shows the percentages as they stand.
    EXPECT_TRUE(Shows("drill-settings"));
    progress.stats[11] = {5, 5};
    const int figures = settings.figures.count;
    settings.Redraw(true);
    EXPECT_EQ(settings.figures.count, figures) << "the old texts are replaced";
    EXPECT_EQ(percentages(), u"100 90 77 66 62 25 42 0 0 0 0 100");

    // 2. A tap on a box clicks, chooses and stores its level and takes the marker there; the
    //    current level changes nothing. Each row: the level, its box, whether it changed.
    const int boxes[][4] = {
        {9, 90, 109, 1}, {1, 30, 87, 1}, {12, 180, 109, 1}, {6, 180, 87, 1}, {6, 180, 87, 0}};
    for (const auto& [level, x, y, changed] : boxes) {
        const std::string number = std::to_string(level);
        progress.levelChanged = false;
        TapAt(x + 4, y + 4);
        EXPECT_EQ(TakeLog(), (Log{"click", "down Hotspot " + number, "up Hotspot " + number}));
        EXPECT_EQ(progress.level, level);
        EXPECT_EQ(progress.levelChanged, changed == 1) << number;
        EXPECT_EQ(stored.Text(TEXT("level")), std::u16string(number.begin(), number.end()));
        EXPECT_EQ(std::pair(settings.levelMarker->GetX(), settings.levelMarker->GetY()),
                  std::pair(x, y));
    }

    // 3. The automatic-levelling box switches the tick and the stored switch (0 while on).
    TapAt(35, 48);
    EXPECT_TRUE(progress.autoLevel && settings.checkMark->visible);
    EXPECT_EQ(stored.Text(TEXT("auto")), u"0");
    TapAt(35, 48);
    EXPECT_FALSE(progress.autoLevel || settings.checkMark->visible);
    EXPECT_EQ(stored.Text(TEXT("auto")), u"1");

    // 4. Neither a percentage nor the board takes taps. RESET plays its sound, zeroes the
    //    percentages, the statistics and the score, and keeps the level.
    TakeLog();
    Tap(*settings.percentTexts.At(0));
    TapAt(200, 200);
    TapAt(150, 270);
    EXPECT_EQ(TakeLog(), (Log{"reset", "down Button RESET", "up Button RESET"}));
    EXPECT_EQ(percentages(), u"0 0 0 0 0 0 0 0 0 0 0 0");
    EXPECT_EQ(stored.Statistics(), std::vector<std::int32_t>(24, 0));
    EXPECT_EQ(stored.Text(TEXT("score")), u"0");
    EXPECT_EQ(progress.level, 6);

    // 5. OK is only passed on (the program returns to the drill); the exit box ends the game.
    TapAt(50, 270);
    EXPECT_EQ(TakeLog(), (Log{"down Button OK", "up Button OK"}));
    TapAt(215, 27);
    EXPECT_TRUE(EndPosted());
}

// The title with its version and years at the bottom. A tap anywhere on it, beside the text
// lines too, is passed on when the stylus goes down; the release is not.
TEST_F(SplashScreenTest, ATapOnTheTitleIsPassedOnAtStylusDownOnly) {
    Open<SplashScreen>();
    EXPECT_TRUE(Shows("app-title"));
    TapAt(120, 150);
    TapAt(100, 290);
    EXPECT_EQ(TakeLog(), (Log{"down Image title", "down Image title"}));
}

}  // namespace
