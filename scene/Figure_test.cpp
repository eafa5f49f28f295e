// Figure geometry, visibility, z-order and listener notification, seen from the owner.
#include "scene/Figure.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/testing.h"
#include "scene/Screen.h"
#include "tests/support/TestFigures.h"

using platform::testing::HeadlessWindow;
using testsupport::BareFigure;
using testsupport::LoggingListener;
using testsupport::SolidFigure;

namespace {

constexpr RECT kClean = {-1, -1, -1, -1};

class FigureTest : public ::testing::Test {
protected:
    // A visible 20 × 20 figure at (10, 10), with the owner's DirtyRect cleared.
    BareFigure& PlacedFigure() {
        auto* figure = new BareFigure(&screen_, window_, 20, 20);
        owned_.emplace_back(figure);
        figure->SetX(10);
        figure->SetY(10);
        figure->SetVisible(true);
        screen_.dirtyRect = kClean;
        return *figure;
    }

    HeadlessWindow window_;
    Screen screen_{window_, nullptr};
    std::vector<std::unique_ptr<Figure>> owned_;
};

TEST_F(FigureTest, MovingReportsTheOldAndTheNewArea) {
    BareFigure& figure = PlacedFigure();
    figure.SetX(50);
    EXPECT_EQ(screen_.dirtyRect, (RECT{10, 10, 70, 30}));
}

TEST_F(FigureTest, SettingAnUnchangedValueStillReportsTheArea) {
    BareFigure& figure = PlacedFigure();
    figure.SetX(10);
    EXPECT_EQ(screen_.dirtyRect, (RECT{10, 10, 30, 30}));
}

TEST_F(FigureTest, ResizingReportsTheLargerOfTheTwoAreas) {
    BareFigure& figure = PlacedFigure();
    figure.SetWidth(5);
    EXPECT_EQ(screen_.dirtyRect, (RECT{10, 10, 30, 30}));
    figure.SetHeight(40);
    EXPECT_EQ(screen_.dirtyRect, (RECT{10, 10, 30, 50}));
}

TEST_F(FigureTest, AreasReachingPastTheScreenAreNotReported) {
    BareFigure& figure = PlacedFigure();
    figure.SetX(-5);  // old area reported, new one reaches past the left edge
    EXPECT_EQ(screen_.dirtyRect, (RECT{10, 10, 30, 30}));
    screen_.dirtyRect = kClean;
    figure.SetX(-6);  // both reach past it
    EXPECT_EQ(screen_.dirtyRect, kClean);
}

TEST_F(FigureTest, HidingClearsVisibleAndEnabledAndReportsTheArea) {
    BareFigure& figure = PlacedFigure();
    figure.SetEnabled(true);
    figure.SetVisible(false);
    EXPECT_FALSE(figure.visible);
    EXPECT_FALSE(figure.enabled);
    EXPECT_EQ(screen_.dirtyRect, (RECT{10, 10, 30, 30}));
}

TEST_F(FigureTest, HidingAHiddenFigureDoesNothingAtAll) {
    BareFigure& figure = PlacedFigure();
    figure.SetVisible(false);
    figure.SetEnabled(true);
    screen_.dirtyRect = kClean;
    figure.SetVisible(false);
    EXPECT_TRUE(figure.enabled);
    EXPECT_EQ(screen_.dirtyRect, kClean);
}

TEST_F(FigureTest, ShowingDoesNotEnableAndEnablingReportsNothing) {
    BareFigure& figure = PlacedFigure();
    figure.SetVisible(false);
    figure.SetVisible(true);
    EXPECT_FALSE(figure.enabled);
    screen_.dirtyRect = kClean;
    figure.SetEnabled(true);
    EXPECT_EQ(screen_.dirtyRect, kClean);
}

TEST_F(FigureTest, SetZOrderMovesAListedFigureBeneathItsNewEquals) {
    std::vector<BareFigure*> figures;
    for (int z : {1, 5, 9}) {
        auto* figure = new BareFigure(&screen_, window_, 1, 1);
        owned_.emplace_back(figure);
        figure->SetZOrder(z);
        screen_.AddFigure(figure);
        figures.push_back(figure);
    }
    figures[0]->SetZOrder(9);
    EXPECT_EQ(screen_.figures.At(0), figures[1]);
    EXPECT_EQ(screen_.figures.At(1), figures[0]) << "placed before the figure at z 9";
    EXPECT_EQ(screen_.figures.At(2), figures[2]);
}

TEST_F(FigureTest, SetZOrderOnAnUnlistedFigureOnlyStoresAndReports) {
    BareFigure& figure = PlacedFigure();
    figure.SetZOrder(30);
    EXPECT_EQ(figure.GetZOrder(), 30);
    EXPECT_EQ(screen_.figures.count, 0);
    EXPECT_EQ(screen_.dirtyRect, (RECT{10, 10, 30, 30}));
}

TEST_F(FigureTest, ListenersHearPressesInOrderAndOnlyOnce) {
    BareFigure& figure = PlacedFigure();
    std::vector<std::string> log;
    LoggingListener a("a", log);
    LoggingListener b("b", log);
    figure.AddListener(&a);
    figure.AddListener(&b);
    figure.AddListener(&a);
    figure.OnPointerDown(3, 4);
    figure.OnPointerUp(5, 6);
    EXPECT_EQ(log, (std::vector<std::string>{"a down 3,4", "b down 3,4", "a up 5,6", "b up 5,6"}));
    EXPECT_EQ(a.lastFigure, &figure);

    EXPECT_TRUE(figure.RemoveListener(&a));
    EXPECT_FALSE(figure.RemoveListener(&a));
    log.clear();
    figure.OnPointerDown(1, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"b down 1,1"}));
}

TEST_F(FigureTest, AListenerRemovingItselfLeavesTheOthersTheirCall) {
    BareFigure& figure = PlacedFigure();
    std::vector<std::string> log;
    LoggingListener a("a", log);
    LoggingListener b("b", log);
    a.onEvent = [&](Figure* f) { f->RemoveListener(&a); };
    figure.AddListener(&a);
    figure.AddListener(&b);
    figure.OnPointerDown(0, 0);
    figure.OnPointerDown(0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"a down 0,0", "b down 0,0", "b down 0,0"}));
}

TEST_F(FigureTest, ClearSurfaceFillsEveryPixelWithTheKeyAndFreesItsObjects) {
    SolidFigure figure(&screen_, window_, 6, 4, RGB(1, 2, 3));
    const int before = platform::testing::LiveGdiObjectCount();
    figure.ClearSurface(figure.GetSurface());
    EXPECT_EQ(platform::testing::LiveGdiObjectCount(), before);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            ASSERT_EQ(platform::testing::PixelAt(figure.GetSurface(), x, y), TransparentKey)
                << x << "," << y;
        }
    }
}

}  // namespace
