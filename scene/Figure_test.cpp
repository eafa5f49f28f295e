// Figures: what they report to their screen as damaged, and what images, hotspots, texts and
// animations do of their own.
#include "scene/Figure.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/core/resource_loading.h"
#include "resources/ResourceIds.h"
#include "scene/Animation.h"
#include "scene/Hotspot.h"
#include "scene/Text.h"
#include "tests/support/TestFigures.h"

using testsupport::BareFigure;

namespace {

// The fixture listens to the figures' stylus events in `log` and to animations in `heard`.
class FigureTest : public testsupport::ScreenFixture, public AnimationListener {
protected:
    void OnAnimationStart(Animation*) override { heard += "start "; }
    void OnAnimationFrame(Animation*, std::int32_t frame) override {
        heard += "frame " + std::to_string(frame) + " ";
    }
    void OnAnimationCycle(Animation*, std::int32_t) override { heard += "cycle "; }

    std::vector<std::string> log;
    testsupport::LoggingListener a{"a", log};
    std::string heard;
};

// One shown 20 × 20 figure at (10, 10), changed step by step; each step names the dirty
// rectangle that change alone leaves (-1s when none).
TEST_F(FigureTest, DamageStory) {
    auto* f = Place(new testsupport::SolidFigure(screen.get(), window, 20, 20, 0), 10, 10);
    auto damage = [&](const std::function<void()>& change) {
        screen->dirtyRect = {-1, -1, -1, -1};
        change();
        return screen->dirtyRect;
    };
    // 1. A value set unchanged still reports the area; a move reports old and new place.
    EXPECT_EQ(damage([&] { f->SetX(10); }), (RECT{10, 10, 30, 30}));
    EXPECT_EQ(damage([&] { f->SetX(50); }), (RECT{10, 10, 70, 30}));
    // 2. A resize reports the larger of the two areas.
    EXPECT_EQ(damage([&] { f->SetWidth(5); }), (RECT{50, 10, 70, 30}));
    EXPECT_EQ(damage([&] { f->SetHeight(40); }), (RECT{50, 10, 55, 50}));
    // 3. Hiding reports the area and disables; hiding again reports and changes nothing.
    f->SetEnabled(true);
    EXPECT_EQ(damage([&] { f->SetVisible(false); }), (RECT{50, 10, 55, 50}));
    EXPECT_FALSE(f->enabled);
    f->SetEnabled(true);
    EXPECT_EQ(damage([&] { f->SetVisible(false); }), (RECT{-1, -1, -1, -1}));
    EXPECT_TRUE(f->enabled);
    // 4. Showing reports the area but does not enable; enabling reports nothing.
    f->SetEnabled(false);
    EXPECT_EQ(damage([&] { f->SetVisible(true); }), (RECT{50, 10, 55, 50}));
    EXPECT_FALSE(f->enabled);
    EXPECT_EQ(damage([&] { f->SetEnabled(true); }), (RECT{-1, -1, -1, -1}));
    // 5. A new z-order reports the area and moves the figure in the screen's list.
    auto* mid = Place(new BareFigure(screen.get(), window, 1, 1), 0, 0, 15);
    EXPECT_EQ(damage([&] { f->SetZOrder(20); }), (RECT{50, 10, 55, 50}));
    const auto& list = screen->figures;
    EXPECT_EQ((std::vector<Figure*>{list.At(0), list.At(1)}), (std::vector<Figure*>{mid, f}));
    // 6. Removing reports the area of a shown figure only, and deletes it if asked.
    EXPECT_EQ(damage([&] { screen->RemoveFigure(mid, true); }), (RECT{-1, -1, -1, -1}));
    EXPECT_EQ(damage([&] { screen->RemoveFigure(f, true); }), (RECT{50, 10, 55, 50}));
    EXPECT_EQ(list.count, 0);
}

// Every image loads a bitmap of its own and frees it (the fixture counts drawing objects).
TEST_F(FigureTest, EveryImageLoadsItsOwnBitmap) {
    Image first(screen.get(), window, IDB_STAR);
    Image second(screen.get(), window, IDB_STAR);
    EXPECT_NE(first.bitmap, second.bitmap);
}

// A shown hotspot is a tap target: a tap clicks, asynchronously, before its listeners hear. The
// click is loaded once, by the first hotspot, and outlives it; a click that failed to load leaves
// the tap to count silently.
TEST_F(FigureTest, AHotspotClicksBeforeItTells) {
    hotspotTapSound = nullptr;
    const int loads = platform::ResourceLoadCount(IDW_TAP);
    delete new Hotspot(screen.get(), window, 1, 1);
    const void* click = hotspotTapSound;
    Hotspot* hotspot = Place(new Hotspot(screen.get(), window, 10, 10), 30, 87);
    EXPECT_EQ(platform::ResourceLoadCount(IDW_TAP), loads + 1);
    hotspot->AddListener(&a);
    sounds.onPlay = [&](const platform::testing::SoundCall&) { log.push_back("click"); };
    hotspot->SetVisible(true);
    screen->PointerDown(35, 90);
    hotspotTapSound = nullptr;
    screen->PointerDown(40, 97);
    EXPECT_EQ(log, (std::vector<std::string>{"click", "a down 35,90", "a down 40,97"}));
    ASSERT_EQ(sounds.calls.size(), 1u);
    EXPECT_EQ(sounds.calls[0].data, click);
    EXPECT_EQ(sounds.calls[0].flags, static_cast<UINT>(SND_ASYNC | SND_MEMORY));
}

// A text from the string table is cut to 79 characters; an empty one is harmless. (Texts
// are sized and drawn as in scene-composite.)
TEST_F(FigureTest, AStringTableTextIsCutTo79Characters) {
    Text longLine(screen.get(), instance, window, 900, 0, Text::BoldFont(12));
    EXPECT_EQ(std::u16string(longLine.text).substr(61), u"eighty a Text read");
    EXPECT_EQ(Text(screen.get(), window, TEXT(""), 0).GetWidth(), 0);
}

// The check mark's four 100 × 100 frames at four a second, with the test as its listener
// (added twice, told once). Each row: a start ('s') or a tick ('t') at a time, then the frame
// shown, whether it runs (and shows) and what was heard. A frame changes only when strictly more
// than 250 ms have passed since the last change, counted across the tick count's wrap; a late tick
// moves one frame and the next waits a whole interval after it. After one pass it reports the
// cycle, stops and hides. A second start keeps the frame and restarts the clock.
TEST_F(FigureTest, AnimationStory) {
    auto* checkMark = Place(new Animation(screen.get(), window, IDB_CHECK_MARK, 4, 4), 70, 90);
    checkMark->AddAnimationListener(this);
    checkMark->AddAnimationListener(this);
    const std::tuple<char, DWORD, int, bool, const char*> rows[] = {
        {'s', 1000, 0, true, "start frame 0 "},
        {'t', 1250, 0, true, ""},
        {'t', 1251, 1, true, "frame 1 "},
        {'t', 9000, 2, true, "frame 2 "},
        {'t', 9250, 2, true, ""},
        {'t', 9251, 3, true, "frame 3 "},
        {'t', 9502, 0, false, "cycle "},
        {'t', 9800, 0, false, ""},
        {'s', 0xFFFFFFA0u, 0, true, "start frame 0 "},
        {'t', 0xFFFFFFF0u, 0, true, ""},
        {'t', 154, 0, true, ""},
        {'t', 155, 1, true, "frame 1 "},
        {'s', 300, 1, true, "start frame 0 "},
        {'t', 550, 1, true, ""},
        {'t', 551, 2, true, "frame 2 "}};
    for (const auto& [what, time, frame, running, expected] : rows) {
        SCOPED_TRACE(std::string(what == 's' ? "start" : "tick") + " at " + std::to_string(time));
        heard.clear();
        screen->dirtyRect = {-1, -1, -1, -1};
        platform::testing::SetTickCount(time);
        if (what == 's') checkMark->Start();
        if (what == 't') screen->Tick(time);
        EXPECT_EQ(checkMark->currentFrame, frame);
        EXPECT_EQ(checkMark->visible, running);
        EXPECT_EQ(screen->running.Contains(checkMark), running);
        EXPECT_EQ(heard, expected);
        // A tick repaints the frame's area exactly when it changes the frame.
        const bool repainted = screen->dirtyRect == RECT{70, 90, 170, 190};
        EXPECT_TRUE(what == 's' || repainted == (*expected != 0));
    }
    EXPECT_EQ(screen->running.count, 1);
}

}  // namespace
