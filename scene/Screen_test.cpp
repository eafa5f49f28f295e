// The screen: what reaches the window and when, where stylus events go, and the picture it
// composes.
#include "scene/Screen.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <tuple>
#include <vector>

#include "resources/ResourceIds.h"
#include "scene/Animation.h"
#include "scene/Button.h"
#include "scene/Hotspot.h"
#include "scene/Text.h"
#include "tests/support/TestFigures.h"

using testsupport::BareFigure;
using testsupport::SolidFigure;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr RECT kNone = {-1, -1, -1, -1};
constexpr COLORREF kKey256 = RGB(0xF7, 0x8C, 0xC6);  // the key as 256-colour pictures hold it

using ScreenTest = testsupport::ScreenFixture;

// A screen frees its back buffer and its context (the fixture counts drawing objects).
TEST_F(ScreenTest, AScreenFreesWhatItDrawsWith) { delete new Screen(window, instance); }

// A red screen over a black window. Changes reach the window only from Tick, at most once
// every 43 ms counted across the tick count's wrap, and only the dirty rectangle with one more
// column and row; a rectangle reaching past an edge is dropped whole.
TEST_F(ScreenTest, RedrawThrottle) {
    screen->background = Place(new SolidFigure(screen.get(), window, 240, 320, kRed), 0, 0, 1);
    screen->dirtyRect = kNone;
    screen->active = true;
    auto redPixels = [&] {
        int count = 0;
        for (int i = 0; i < 240 * 320; ++i) count += window.Pixel(i % 240, i / 240) == kRed;
        return count;
    };
    // Each row: a rectangle marked dirty, a tick, and the red pixels in the window after it.
    const std::tuple<RECT, DWORD, int> rows[] = {
        {kNone, 0u - 48, 0},                      // 48 ms before the wrap, nothing dirty: a redraw
        {{10, 20, 30, 40}, 0u - 38, 0},           // 10 ms later: too soon
        {{5, 30, 20, 60}, 0u - 6, 0},             // 42 ms: too soon
        {kNone, 0u - 5, 26 * 41},                 // 43 ms: from (5, 20) to (30, 60) inclusive
        {{230, 310, 240, 320}, 0u - 1, 26 * 41},  // 4 ms: too soon
        {kNone, 37, 26 * 41},                     // 42 ms, across the wrap: too soon
        {kNone, 38, 26 * 41 + 10 * 10},           // the extra column and row fall off
        {{-1, 0, 10, 10}, 81, 26 * 41 + 100},     // a pixel past an edge: dropped
        {{0, -1, 10, 10}, 124, 26 * 41 + 100},
        {{230, 0, 241, 10}, 167, 26 * 41 + 100},
        {{0, 310, 10, 321}, 210, 26 * 41 + 100}};
    for (const auto& [dirty, time, red] : rows) {
        screen->MarkDirty(dirty);
        screen->Tick(time);
        EXPECT_EQ(redPixels(), red) << "at " << time;
    }
    EXPECT_EQ(window.Pixel(5, 20), kRed);
    // An inactive screen draws nothing and keeps DirtyRect; active, a full redraw copies all.
    screen->active = false;
    screen->MarkDirty({0, 0, 10, 10});
    screen->Redraw(true);
    EXPECT_EQ(screen->dirtyRect, (RECT{0, 0, 10, 10}));
    screen->active = true;
    screen->Redraw(true);
    EXPECT_EQ(redPixels(), 240 * 320);
}

// Who hears the stylus, one event a row on one scene. A press goes to the topmost shown
// figure under the point (both edges count) if it is enabled: a shown disabled one shields
// what lies beneath, hidden ones are passed over. A release goes to every enabled figure
// under the point, highest first, and to every enabled button anywhere. A button, one face
// wide, shows its pressed face from press to release, repainted before its listener hears.
TEST_F(ScreenTest, StylusRouting) {
    std::vector<std::string> log;
    std::deque<testsupport::LoggingListener> listeners;
    auto add = [&](const char* name, auto* figure, int x, int y, std::int32_t z) {
        Place(figure, x, y, z)->SetVisible(true);
        figure->SetEnabled(true);
        figure->AddListener(&listeners.emplace_back(name, log));
        return figure;
    };
    auto bare = [&](int size) { return new BareFigure(screen.get(), window, size, size); };
    add("low", bare(40), 0, 0, 5);
    add("high", bare(40), 30, 30, 20);
    add("twin", bare(40), 30, 30, 20);  // the same z-order, added later: beneath
    add("under", bare(20), 100, 100, 5);
    add("shield", bare(20), 100, 100, 30)->SetEnabled(false);
    add("ghost", bare(240), 0, 0, 40)->SetVisible(false);
    auto* button = add("button", new Button(screen.get(), window, IDB_OK_BUTTON), 150, 200, 10);
    button->AddListener(&listeners.back());  // a second time: still heard once
    listeners.back().onEvent = [&](Figure*) {
        const bool repainted = screen->dirtyRect == RECT{150, 200, 210, 230};
        log.push_back((button->pressed ? "pressed" : "resting") +
                      std::string(repainted ? " face" : ""));
    };
    add("doomed", bare(10), 200, 0, 10);  // deleted by its listener when pressed
    listeners.back().onEvent = [&](Figure* figure) { screen->RemoveFigure(figure, true); };
    // Each row: a press ('d') or a release ('u') at a point, and what the listeners heard.
    const std::tuple<char, POINT, std::vector<std::string>> rows[] = {
        {'d', {0, 40}, {"low down 0,40"}},  // the left and bottom edges
        {'d', {40, 0}, {"low down 40,0"}},  // the right and top edges
        {'d', {41, 0}, {}},                 // just outside
        {'d', {35, 35}, {"high down 35,35"}},
        {'d', {105, 105}, {}},  // the shield
        {'u', {35, 35}, {"high up 35,35", "twin up 35,35", "low up 35,35"}},
        {'u', {105, 105}, {"under up 105,105"}},
        {'d', {211, 215}, {}},  // past the button's face
        {'d', {210, 230}, {"button down 210,230", "pressed face"}},
        {'u', {239, 319}, {"button up 239,319", "resting face"}},
        {'u', {239, 319}, {}},  // a resting button ignores releases
        {'d', {205, 5}, {"doomed down 205,5"}},
        {'d', {205, 5}, {}}};  // gone
    for (const auto& [event, point, heard] : rows) {
        log.clear();
        screen->dirtyRect = kNone;
        if (event == 'd') screen->PointerDown(point.x, point.y);
        if (event == 'u') screen->PointerUp(point.x, point.y);
        EXPECT_EQ(log, heard) << event << " at " << point.x << "," << point.y;
    }
}

// The whole picture: an opaque background whose key-coloured square shows; a red block with
// holes in both forms of the key under a green block added before it but higher in z-order;
// stars cut off at the four edges; a resting and a pressed button; frame 2 of the check mark; a
// text. A hidden white figure, a cleared one (asking for a redraw while drawn) and a shown
// hotspot over all leave no trace.
TEST_F(ScreenTest, CompositedPicture) {
    auto* board = Place(new SolidFigure(screen.get(), window, 240, 320, RGB(30, 55, 45)), 0, 0, 1);
    screen->background = board;
    auto* red = new SolidFigure(screen.get(), window, 60, 40, kRed);
    for (int i = 0; i < 64; ++i) {
        board->PaintPixel(220 + i % 8, 40 + i / 8, kKey256);
        red->PaintPixel(8 + i % 8, 8 + i / 8, TransparentKey);
        red->PaintPixel(24 + i % 8, 8 + i / 8, kKey256);
    }
    Place(new SolidFigure(screen.get(), window, 50, 30, RGB(0, 255, 0)), 50, 40, 20);
    Place(red, 20, 20);
    Place(new Image(screen.get(), window, IDB_STAR), -7, -7);
    Place(new Image(screen.get(), window, IDB_STAR), 232, 312);
    Place(new Button(screen.get(), window, IDB_OK_BUTTON), 20, 260);
    Place(new Button(screen.get(), window, IDB_OK_BUTTON), 120, 260)->pressed = 1;
    auto* check = Place(new Animation(screen.get(), window, IDB_CHECK_MARK, 4, 4), 70, 120);
    check->currentFrame = 2;
    check->SetVisible(true);
    Place(new Text(screen.get(), window, TEXT("Score"), RGB(255, 100, 100), Text::BoldFont(16)),
          140, 20);
    auto* cleared = Place(new SolidFigure(screen.get(), window, 40, 40, 0), 190, 200);
    cleared->ClearSurface(cleared->GetSurface());
    cleared->onSurface = [&] { screen->Redraw(true); };  // a paint within the paint is refused
    Place(new SolidFigure(screen.get(), window, 240, 320, RGB(255, 255, 255)), 0, 0, 50)
        ->SetVisible(false);
    Place(new Hotspot(screen.get(), window, 240, 320), 0, 0, 60)->SetVisible(true);
    screen->active = true;
    screen->Redraw(true);
    EXPECT_TRUE(testsupport::MatchesGolden(window, "scene-composite"));
}

}  // namespace
