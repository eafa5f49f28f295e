// Renders each screen in a telling state on the headless display and writes the pictures to
// the build folder, for people to look at.
#include <gtest/gtest.h>

#include <memory>

#include "drill/GameScreen.h"
#include "drill/SettingsScreen.h"
#include "drill/SplashScreen.h"
#include "tests/support/DrillFixture.h"
#include "tests/support/Pixels.h"

using platform::testing::SetTickCount;
using testsupport::DrillFixture;

namespace {

class ScreenPicturesTest : public DrillFixture {
protected:
    void Save(Screen& screen, const std::string& name) {
        screen.active = true;
        screen.Redraw(true);
        const std::string base = testsupport::OutputFolder() + "/" + name;
        EXPECT_TRUE(testsupport::WritePng(window, base + ".png"));
        EXPECT_TRUE(testsupport::WritePng(window, base + "@3x.png", 3));
    }
};

TEST_F(ScreenPicturesTest, GameMidProblemAndWithTheCheckMark) {
    StoreNumber(TEXT("level"), 5);
    StoreNumber(TEXT("score"), 1234);
    std::srand(2026);
    GameScreen game(window, instance);
    Tap(game, *game.answers.At(2));
    Save(game, "game-wrong-card");
    EXPECT_FALSE(game.answers.At(2)->visible);

    Tap(game, *game.answers.At(0));
    SetTickCount(1000 + 251 * 2);
    game.Tick(1000 + 251);
    game.Tick(1000 + 502);
    Save(game, "game-check-mark");
    EXPECT_EQ(game.checkMark->currentFrame, 2);
}

TEST_F(ScreenPicturesTest, SettingsAtLevelSevenWithoutAutomaticLevelling) {
    StoreNumber(TEXT("level"), 7);
    StoreNumber(TEXT("auto"), 1);
    SettingsScreen settings(window, instance);
    const LevelStatistics stats[] = {{10, 10}, {9, 10}, {7, 9}, {2, 3}, {5, 8}, {1, 4}, {3, 7}};
    for (int i = 0; i < 7; ++i) settings.progress->stats[i] = stats[i];
    Save(settings, "settings");
    EXPECT_FALSE(settings.checkMark->visible);
}

TEST_F(ScreenPicturesTest, Title) {
    SplashScreen splash(window, instance);
    Save(splash, "title");
}

}  // namespace
