// The settings screen driven by taps: level boxes and marker, the automatic-levelling box,
// the percentages, reset, and the exit box.
#include "drill/SettingsScreen.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "resources/ResourceIds.h"
#include "tests/support/DrillFixture.h"

using testsupport::DrillFixture;

namespace {

class SettingsScreenTest : public DrillFixture {
protected:
    void Build() {
        settings = std::make_unique<SettingsScreen>(window, instance);
        settings->screenListeners.InsertAt(&listener, settings->screenListeners.count);
        settings->active = true;
    }
    ~SettingsScreenTest() override { settings.reset(); }

    void TapAt(std::int32_t x, std::int32_t y) {
        settings->PointerDown(x, y);
        settings->PointerUp(x, y);
    }
    void TapLevelBox(int level) {
        TapAt(30 + 30 * ((level - 1) % 6) + 4, 87 + 22 * ((level - 1) / 6) + 4);
    }

    // The percentage shown for a level, and where it stands.
    std::u16string Percentage(int level) { return settings->percentTexts.At(level - 1)->text; }

    std::unique_ptr<SettingsScreen> settings;
};

TEST_F(SettingsScreenTest, TheMarkerStandsInTheBoxOfTheCurrentLevel) {
    struct Case {
        int level;
        POINT place;
    };
    for (Case c :
         {Case{1, {30, 87}}, Case{6, {180, 87}}, Case{7, {30, 109}}, Case{12, {180, 109}}}) {
        StoreNumber(TEXT("level"), c.level);
        Build();
        EXPECT_EQ(settings->levelMarker->GetX(), c.place.x) << "level " << c.level;
        EXPECT_EQ(settings->levelMarker->GetY(), c.place.y) << "level " << c.level;
        settings.reset();
    }
}

TEST_F(SettingsScreenTest, TappingALevelBoxChoosesThatLevelAndMovesTheMarker) {
    Build();
    TapLevelBox(9);
    EXPECT_EQ(settings->progress->level, 9);
    EXPECT_TRUE(settings->progress->levelChanged);
    EXPECT_EQ(settings->levelMarker->GetX(), 90);
    EXPECT_EQ(settings->levelMarker->GetY(), 109);
    ASSERT_EQ(sounds.calls.size(), 1u);
    EXPECT_EQ(sounds.calls[0].flags, SND_ASYNC | SND_MEMORY) << "the hotspot's own click";
    EXPECT_EQ(listener.log,
              (std::vector<std::string>{"down Hotspot 9 94,113", "up Hotspot 9 94,113"}));
}

TEST_F(SettingsScreenTest, TappingTheCurrentLevelWritesItAgainButChangesNothing) {
    StoreNumber(TEXT("level"), 4);
    Build();
    TapLevelBox(4);
    EXPECT_FALSE(settings->progress->levelChanged);
    EXPECT_EQ(settings->levelMarker->GetX(), 120);
}

TEST_F(SettingsScreenTest, TheAutomaticLevellingBoxTogglesTheTickAndTheStoredSwitch) {
    Build();
    EXPECT_TRUE(settings->checkMark->visible);
    TapAt(35, 48);
    EXPECT_FALSE(settings->progress->autoLevel);
    EXPECT_FALSE(settings->checkMark->visible);
    TapAt(35, 48);
    EXPECT_TRUE(settings->progress->autoLevel);
    EXPECT_TRUE(settings->checkMark->visible);
    settings.reset();  // the stored switch is what a fresh screen loads
    StoreNumber(TEXT("level"), 1);
    Build();
    EXPECT_TRUE(settings->progress->autoLevel);
}

TEST_F(SettingsScreenTest, EachPaintShowsTheTwelvePercentagesAsTheyStand) {
    Build();
    EXPECT_EQ(settings->percentTexts.count, 0) << "built at the first paint";
    settings->progress->stats[3] = {2, 3};
    settings->progress->stats[11] = {5, 5};
    for (int paint = 0; paint < 3; ++paint) settings->Redraw(true);
    EXPECT_EQ(settings->percentTexts.count, 12);
    int texts = 0;
    for (auto* node = settings->figures.head; node != nullptr; node = node->next) {
        texts += lstrcmpW(node->value->GetTypeName(), TEXT("Text")) == 0;
    }
    EXPECT_EQ(texts, 12) << "old texts are replaced, not piled up";
    EXPECT_EQ(Percentage(4), u"66");
    EXPECT_EQ(settings->percentTexts.At(3)->GetX(), 66);
    EXPECT_EQ(settings->percentTexts.At(3)->GetY(), 174);
    EXPECT_EQ(Percentage(12), u"100");
    EXPECT_EQ(settings->percentTexts.At(11)->GetX(), 206);
    EXPECT_EQ(settings->percentTexts.At(11)->GetY(), 216);
    EXPECT_EQ(Percentage(1), u"0");
}

TEST_F(SettingsScreenTest, ResetZeroesPercentagesAndScoreAndKeepsTheLevel) {
    StoreNumber(TEXT("level"), 5);
    StoreNumber(TEXT("score"), 77);
    Build();
    settings->progress->stats[4] = {3, 4};
    settings->Redraw(true);
    Tap(*settings, *settings->percentTexts.At(0));  // a percentage takes no taps
    EXPECT_TRUE(listener.log.empty());
    TapAt(150, 270);  // RESET
    EXPECT_EQ(settings->progress->score, 0);
    EXPECT_EQ(settings->progress->level, 5);
    EXPECT_TRUE(settings->progress->scoreChanged);
    for (int level = 1; level <= 12; ++level) EXPECT_EQ(Percentage(level), u"0");
    EXPECT_EQ(sounds.calls.back().flags, SND_ASYNC | SND_MEMORY);
    EXPECT_EQ(sounds.calls.back().data, settings->resetSound);
}

TEST_F(SettingsScreenTest, TheBackgroundTakesNoTaps) {
    Build();
    TapAt(200, 200);
    EXPECT_TRUE(listener.log.empty());
    EXPECT_TRUE(sounds.calls.empty());
}

TEST_F(SettingsScreenTest, TheReturnButtonIsOnlyForwarded) {
    Build();
    TapAt(50, 270);
    EXPECT_EQ(listener.log.size(), 2u);
    EXPECT_EQ(listener.log[0].rfind("down Button " + std::to_string(IDB_OK_BUTTON), 0), 0u);
    EXPECT_TRUE(sounds.calls.empty());
}

TEST_F(SettingsScreenTest, TheExitBoxClicksToTheEndForwardsAndPostsTheEnd) {
    Build();
    TapAt(215, 27);
    ASSERT_EQ(sounds.calls.size(), 1u);
    EXPECT_EQ(sounds.calls[0].flags, SND_MEMORY);
    EXPECT_EQ(listener.log.size(), 2u);
    EXPECT_EQ(TakeMessages(), (std::vector<UINT>{WM_DESTROY}));
}

}  // namespace
