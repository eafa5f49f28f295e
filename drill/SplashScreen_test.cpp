// The title screen: its two lines and what a tap does.
#include "drill/SplashScreen.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "resources/ResourceIds.h"
#include "scene/Text.h"
#include "tests/support/DrillFixture.h"

using testsupport::DrillFixture;

namespace {

class SplashScreenTest : public DrillFixture {
protected:
    SplashScreenTest() : splash(std::make_unique<SplashScreen>(window, instance)) {
        splash->screenListeners.InsertAt(&listener, 0);
    }

    Text* Line(int index) { return static_cast<Text*>(splash->figures.At(index == 0 ? 2 : 1)); }

    std::unique_ptr<SplashScreen> splash;
};

TEST_F(SplashScreenTest, ShowsTheVersionAndTheYearsInYellowAtTheBottom) {
    ASSERT_EQ(splash->figures.count, 3);
    Text* version = Line(0);
    Text* years = Line(1);
    EXPECT_EQ(std::u16string(version->text), u"v. 1.1");
    EXPECT_EQ(version->GetX(), 15);
    EXPECT_EQ(version->GetY(), 287);
    EXPECT_EQ(years->GetX(), 158);
    EXPECT_LE(years->GetBounds().right, 233) << "the years fit inside the frame";
    splash->active = true;
    splash->Redraw(true);
    int yellow = 0;
    for (int y = 287; y < 299; ++y) {
        for (int x = 15; x < 15 + version->GetWidth(); ++x)
            yellow += window.Pixel(x, y) == RGB(255, 255, 0);
    }
    EXPECT_GT(yellow, 20);
}

TEST_F(SplashScreenTest, ATapOnTheTitleIsPassedOnAtStylusDownOnly) {
    splash->PointerDown(120, 150);
    splash->PointerUp(120, 150);
    splash->PointerDown(100, 290);  // beside the text lines
    EXPECT_EQ(listener.log,
              (std::vector<std::string>{"down Image " + std::to_string(IDB_TITLE) + " 120,150",
                                        "down Image " + std::to_string(IDB_TITLE) + " 100,290"}));
    EXPECT_EQ(listener.lastScreen, splash.get());
}

}  // namespace
