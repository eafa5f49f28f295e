// The frame-strip animation: timing on a settable clock, loops, hiding and its listeners.
#include "scene/Animation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/testing/testing.h"
#include "resources/ResourceIds.h"
#include "scene/Screen.h"
#include "tests/support/TestFigures.h"

using platform::testing::PixelAt;
using platform::testing::SetTickCount;
using testsupport::ScreenFixture;

namespace {

// Writes "<name> start", "<name> frame N" and "<name> cycle N" to a shared log.
class LoggingAnimationListener : public AnimationListener {
public:
    LoggingAnimationListener(std::string listenerName, std::vector<std::string>& sharedLog)
        : name(std::move(listenerName)), log(sharedLog) {}
    void OnAnimationStart(Animation*) override { log.push_back(name + " start"); }
    void OnAnimationCycle(Animation* source, std::int32_t frame) override {
        log.push_back(name + " cycle " + std::to_string(frame));
        if (onCycle) onCycle(source);
    }
    void OnAnimationFrame(Animation*, std::int32_t frame) override {
        log.push_back(name + " frame " + std::to_string(frame));
    }

    std::string name;
    std::vector<std::string>& log;
    std::function<void(Animation*)> onCycle;
};

class AnimationTest : public ScreenFixture {
protected:
    AnimationTest() {
        checkMark = Place(new Animation(screen.get(), window, IDB_CHECK_MARK, 4, 4), 70, 90, 100);
        checkMark->AddAnimationListener(&listener);
        SetTickCount(1000);
    }

    // Starts the animation at `start` and ticks the screen at each of `times`.
    void Run(DWORD start, const std::vector<DWORD>& times) {
        SetTickCount(start);
        checkMark->Start();
        for (DWORD time : times) screen->Tick(time);
    }

    bool Running() const { return screen->running.Contains(checkMark); }

    Animation* checkMark;
    std::vector<std::string> log;
    LoggingAnimationListener listener{"a", log};
};

TEST_F(AnimationTest, TheSurfaceShowsTheCurrentFramesColumnOfTheStrip) {
    for (int frame = 0; frame < 4; ++frame) {
        checkMark->currentFrame = frame;
        HDC surface = checkMark->GetSurface();
        for (int y = 0; y < 100; y += 3) {
            for (int x = 0; x < 100; x += 3) {
                ASSERT_EQ(PixelAt(surface, x, y), PixelAt(checkMark->imageDC, frame * 100 + x, y))
                    << "frame " << frame;
            }
        }
    }
}

TEST_F(AnimationTest, AFrameAdvancesOnlyWhenMoreThan250MillisecondsHavePassed) {
    Run(1000, {1250});
    EXPECT_EQ(checkMark->currentFrame, 0);
    screen->Tick(1251);
    EXPECT_EQ(checkMark->currentFrame, 1);
    EXPECT_EQ(checkMark->lastFrameTime, 1251u);
}

TEST_F(AnimationTest, ALateTickAdvancesOneFrameAndTheNextWaitsAFullInterval) {
    Run(1000, {3000});
    EXPECT_EQ(checkMark->currentFrame, 1);
    screen->Tick(3250);
    EXPECT_EQ(checkMark->currentFrame, 1);
    screen->Tick(3251);
    EXPECT_EQ(checkMark->currentFrame, 2);
}

TEST_F(AnimationTest, TimingSurvivesTheTickCountWrapping) {
    // Started 96 ms before the count wraps: its due time lies beyond the wrap.
    Run(0xFFFFFFA0u, {0xFFFFFFF0u});
    EXPECT_EQ(checkMark->currentFrame, 0) << "only 80 ms have passed";
    screen->Tick(154);
    EXPECT_EQ(checkMark->currentFrame, 0) << "250 ms have passed";
    screen->Tick(155);
    EXPECT_EQ(checkMark->currentFrame, 1);
}

TEST_F(AnimationTest, OneLoopReportsEachFrameThenTheCycleAndHidesItself) {
    screen->dirtyRect = {-1, -1, -1, -1};
    Run(1000, {1251});
    EXPECT_TRUE(checkMark->visible);
    EXPECT_EQ(screen->dirtyRect, (RECT{70, 90, 170, 190})) << "each frame repaints its area";
    for (DWORD time : {1502u, 1753u, 2004u}) screen->Tick(time);
    EXPECT_EQ(log, (std::vector<std::string>{"a start", "a frame 0", "a frame 1", "a frame 2",
                                             "a frame 3", "a cycle 0"}));
    EXPECT_FALSE(checkMark->visible);
    EXPECT_FALSE(checkMark->enabled);
    EXPECT_FALSE(Running());
    EXPECT_EQ(checkMark->currentFrame, 0);
    EXPECT_EQ(checkMark->loopsDone, 0);
}

TEST_F(AnimationTest, WithTwoLoopsTheFirstWrapReportsACycleAndPlaysOn) {
    checkMark->loopCount = 2;
    Run(1000, {1251, 1502, 1753, 2004});
    EXPECT_EQ(log.back(), "a cycle 0");
    EXPECT_TRUE(Running());
    EXPECT_TRUE(checkMark->visible);
    for (DWORD time : {2255u, 2506u, 2757u, 3008u}) screen->Tick(time);
    EXPECT_FALSE(Running());
    EXPECT_FALSE(checkMark->visible);
}

TEST_F(AnimationTest, WithNoLoopCountEveryWrapReportsACycleAndItNeverStops) {
    for (std::int32_t loops : {0, -1}) {
        checkMark->loopCount = loops;
        checkMark->currentFrame = 0;
        log.clear();
        std::vector<DWORD> times;
        for (DWORD t = 1251; t < 1000 + 251 * 12; t += 251) times.push_back(t);
        Run(1000, times);
        EXPECT_EQ(std::count(log.begin(), log.end(), "a cycle 0"), 2) << "loop count " << loops;
        EXPECT_TRUE(Running());
        EXPECT_EQ(checkMark->loopsDone, 0);
        screen->running.Remove(checkMark);
    }
}

TEST_F(AnimationTest, WithoutHideWhenDoneItsVisibilityIsTheOwnersBusiness) {
    checkMark->hideWhenDone = 0;
    Run(1000, {});
    EXPECT_FALSE(checkMark->visible);
    checkMark->SetVisible(true);
    for (DWORD time : {1251u, 1502u, 1753u, 2004u}) screen->Tick(time);
    EXPECT_FALSE(Running());
    EXPECT_TRUE(checkMark->visible);
}

TEST_F(AnimationTest, StartingTwiceListsItOnceAndReportsTheStartTwice) {
    Run(1000, {1251});
    SetTickCount(1300);
    checkMark->Start();
    EXPECT_EQ(screen->running.count, 1);
    EXPECT_EQ(checkMark->currentFrame, 1) << "a restart keeps the frame";
    EXPECT_EQ(checkMark->lastFrameTime, 1300u);
    EXPECT_EQ(log, (std::vector<std::string>{"a start", "a frame 0", "a frame 1", "a start",
                                             "a frame 0"}));
}

TEST_F(AnimationTest, ListenersAreToldInTheOrderTheyWereAdded) {
    LoggingAnimationListener second("b", log);
    checkMark->AddAnimationListener(&second);
    checkMark->AddAnimationListener(&listener);  // already listed: no change
    EXPECT_FALSE(checkMark->RemoveAnimationListener(nullptr));
    Run(1000, {1251});
    EXPECT_EQ(log, (std::vector<std::string>{"a start", "a frame 0", "b start", "b frame 0",
                                             "a frame 1", "b frame 1"}));
    EXPECT_TRUE(checkMark->RemoveAnimationListener(&second));
}

TEST_F(AnimationTest, AListenerMayStartItAgainFromTheCycle) {
    listener.onCycle = [](Animation* source) { source->Start(); };
    Run(1000, {1251, 1502, 1753, 2004});
    EXPECT_TRUE(Running());
    EXPECT_TRUE(checkMark->visible);
    EXPECT_EQ(log.back(), "a frame 0");
}

TEST_F(AnimationTest, ItStandsStillWhileItsScreenIsNotTicked) {
    Run(1000, {1251});
    screen->Tick(9000);  // back after a long time on another screen
    EXPECT_EQ(checkMark->currentFrame, 2) << "one frame only, however long it stood";
}

}  // namespace
