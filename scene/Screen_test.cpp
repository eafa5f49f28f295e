// The scene on a screen: what figures report as damaged, what reaches the window and when,
// where stylus events go, what hotspots, texts and animations do of their own, and the picture
// it all composes.
#include "scene/Screen.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "resources/ResourceIds.h"
#include "scene/Animation.h"
#include "scene/Button.h"
#include "scene/Hotspot.h"
#include "scene/Text.h"
#include "tests/support/TestFigures.h"

using testsupport::SolidFigure;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr RECT kNone = {-1, -1, -1, -1};
constexpr COLORREF kKey256 = RGB(0xF7, 0x8C, 0xC6);  // the key as 256-colour pictures hold it

// A 240 × 320 headless window with a screen that loads from the program's resources and a sound
// recorder. The fixture logs what it hears from animations and from the figures it places
// ("<name> down <x>,<y>", "<name> up …", then it runs `onEvent`). The screen deletes its figures
// at the end, and no drawing object made after SetUp may outlive the test.
class ScreenTest : public testsupport::LeakCheckedTest,
                   public FigureListener,
                   public AnimationListener {
protected:
    void TearDown() override {
        screen->DeleteAllFigures();
        LeakCheckedTest::TearDown();
    }
    void OnFigureDown(Figure* figure, int x, int y) override { Log(figure, " down ", x, y); }
    void OnFigureUp(Figure* figure, int x, int y) override { Log(figure, " up ", x, y); }
    void Log(Figure* figure, const char* event, int x, int y) {
        log.push_back(names[figure] + event + std::to_string(x) + "," + std::to_string(y));
        if (onEvent) onEvent(figure);
    }
    void OnAnimationStart(Animation*) override { log.push_back("start"); }
    void OnAnimationFrame(Animation*, std::int32_t frame) override {
        log.push_back("frame " + std::to_string(frame));
    }
    void OnAnimationCycle(Animation*, std::int32_t) override { log.push_back("cycle"); }

    // Adds a figure to the screen, which owns it, shown, enabled and listened to.
    template <typename T>
    T* Place(T* figure, int x, int y, std::int32_t z = 10) {
        figure->SetX(x);
        figure->SetY(y);
        figure->SetZOrder(z);
        figure->SetVisible(true);
        figure->SetEnabled(true);
        figure->AddListener(this);
        screen->AddFigure(figure);
        return figure;
    }

    platform::testing::HeadlessWindow& window = window_;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    std::unique_ptr<Screen> screen = std::make_unique<Screen>(window, instance);
    platform::testing::SoundRecorder sounds;
    std::map<Figure*, std::string> names;  // unnamed figures log as ""
    std::vector<std::string> log;
    std::function<void(Figure*)> onEvent;
};

// A screen frees its back buffer and its context (the fixture counts drawing objects).
TEST_F(ScreenTest, AScreenFreesWhatItDrawsWith) { delete new Screen(window, instance); }

// One shown 20 × 20 figure at (10, 10), changed step by step; each step names the dirty
// rectangle that change alone leaves.
TEST_F(ScreenTest, DamageStory) {
    auto* f = Place(new SolidFigure(screen.get(), window, 20, 20, 0), 10, 10);
    auto damage = [&](const std::function<void()>& change) {
        screen->dirtyRect = kNone;
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
    EXPECT_EQ(damage([&] { f->SetVisible(false); }), (RECT{50, 10, 55, 50}));
    EXPECT_FALSE(f->enabled);
    f->SetEnabled(true);
    EXPECT_EQ(damage([&] { f->SetVisible(false); }), kNone);
    EXPECT_TRUE(f->enabled);
    // 4. Showing reports the area but does not enable; enabling reports nothing.
    f->SetEnabled(false);
    EXPECT_EQ(damage([&] { f->SetVisible(true); }), (RECT{50, 10, 55, 50}));
    EXPECT_FALSE(f->enabled);
    EXPECT_EQ(damage([&] { f->SetEnabled(true); }), kNone);
    // 5. A new z-order reports the area and moves the figure in the screen's list, here above
    // a hidden one.
    auto* hidden = Place(new Hotspot(screen.get(), window, 1, 1), 0, 0, 15);
    hidden->SetVisible(false);
    EXPECT_EQ(damage([&] { f->SetZOrder(20); }), (RECT{50, 10, 55, 50}));
    EXPECT_EQ(screen->figures.At(1), f);
    // 6. Removing reports the area of a shown figure only, and deletes it if asked.
    EXPECT_EQ(damage([&] { screen->RemoveFigure(hidden, true); }), kNone);
    EXPECT_EQ(damage([&] { screen->RemoveFigure(f, true); }), (RECT{50, 10, 55, 50}));
}

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
}

// Who hears the stylus, one event a row on one scene of hotspots and a button. A press goes to
// the topmost shown figure under the point (both edges count) if it is enabled: a shown disabled
// one shields what lies beneath, hidden ones are passed over. A release goes to every enabled
// figure under the point, highest first, and to every enabled button anywhere. A hotspot clicks,
// asynchronously, before its listeners hear; the click is loaded once, by the first hotspot, and
// outlives it, and a click that failed to load leaves the tap to count silently. A button, one
// face wide, repaints its face on press and release before its listener hears.
TEST_F(ScreenTest, StylusRouting) {
    hotspotTapSound = nullptr;
    const int loads = platform::testing::ResourceLoadCount(IDW_TAP);
    delete new Hotspot(screen.get(), window, 1, 1);
    const void* click = hotspotTapSound;
    sounds.onPlay = [&](const platform::testing::SoundCall& call) {
        log.push_back(call.data == click && call.flags == (SND_ASYNC | SND_MEMORY) ? "click" : "?");
    };
    auto bare = [&](int size) { return new Hotspot(screen.get(), window, size, size); };
    names[Place(bare(40), 0, 0, 5)] = "low";
    names[Place(bare(40), 30, 30, 20)] = "high";
    names[Place(bare(40), 30, 30, 20)] = "twin";  // the same z-order, added later: beneath
    names[Place(bare(20), 100, 100, 5)] = "under";
    Place(bare(20), 100, 100, 30)->SetEnabled(false);  // a shield
    Place(bare(240), 0, 0, 40)->SetVisible(false);     // a ghost
    auto* button = Place(new Button(screen.get(), window, IDB_OK_BUTTON), 150, 200);
    button->AddListener(this);  // a second time: still heard once
    names[button] = "button";
    names[Place(bare(10), 200, 0)] = "doomed";  // deleted by its listener when pressed
    onEvent = [&](Figure* figure) {
        const bool repainted = screen->dirtyRect == RECT{150, 200, 210, 230};
        if (figure == button) log.push_back(repainted ? "face repainted" : "face as it was");
        if (names[figure] == "doomed") screen->RemoveFigure(figure, true);
    };
    EXPECT_EQ(platform::testing::ResourceLoadCount(IDW_TAP), loads + 1);
    // Each row: a press ('d'), a press once the click is lost ('s') or a release ('u') at a
    // point, and what was heard.
    const std::tuple<char, POINT, std::vector<std::string>> rows[] = {
        {'d', {0, 40}, {"click", "low down 0,40"}},  // the left and bottom edges
        {'d', {40, 0}, {"click", "low down 40,0"}},  // the right and top edges
        {'d', {41, 0}, {}},                          // just outside
        {'d', {35, 35}, {"click", "high down 35,35"}},
        {'d', {105, 105}, {}},  // the shield
        {'u', {35, 35}, {"high up 35,35", "twin up 35,35", "low up 35,35"}},
        {'u', {105, 105}, {"under up 105,105"}},
        {'d', {211, 215}, {}},  // past the button's face
        {'d', {210, 230}, {"button down 210,230", "face repainted"}},
        {'u', {239, 319}, {"button up 239,319", "face repainted"}},
        {'u', {239, 319}, {}},  // a resting button ignores releases
        {'d', {205, 5}, {"click", "doomed down 205,5"}},
        {'d', {205, 5}, {}},  // gone
        {'s', {5, 5}, {"low down 5,5"}}};
    for (const auto& [event, point, heard] : rows) {
        log.clear();
        screen->dirtyRect = kNone;
        if (event == 's') hotspotTapSound = nullptr;
        event == 'u' ? screen->PointerUp(point.x, point.y) : screen->PointerDown(point.x, point.y);
        EXPECT_EQ(log, heard) << event << " at " << point.x << "," << point.y;
    }
}

// The check mark's four 100 × 100 frames at four a second, with the test as its listener
// (added twice, told once). Each row: a start ('s') or a tick ('t') at a time, then the frame
// shown, whether it runs once (and shows), and what was heard, with "repainted" when the frame's
// area was marked dirty. A frame changes only when strictly more
// than 250 ms have passed since the last change, counted across the tick count's wrap; a late tick
// moves one frame and the next waits a whole interval after it. After one pass it reports the
// cycle, stops and hides. A second start keeps the frame and restarts the clock.
TEST_F(ScreenTest, AnimationStory) {
    auto* checkMark = Place(new Animation(screen.get(), window, IDB_CHECK_MARK, 4, 4), 70, 90);
    checkMark->AddAnimationListener(this);
    checkMark->AddAnimationListener(this);
    const std::tuple<char, DWORD, int, bool, std::vector<std::string>> rows[] = {
        {'s', 1000, 0, true, {"start", "frame 0"}},
        {'t', 1250, 0, true, {}},
        {'t', 1251, 1, true, {"frame 1", "repainted"}},
        {'t', 9000, 2, true, {"frame 2", "repainted"}},
        {'t', 9250, 2, true, {}},
        {'t', 9251, 3, true, {"frame 3", "repainted"}},
        {'t', 9502, 0, false, {"cycle", "repainted"}},
        {'s', 0xFFFFFFA0u, 0, true, {"start", "frame 0", "repainted"}},
        {'t', 0xFFFFFFF0u, 0, true, {}},
        {'t', 154, 0, true, {}},
        {'t', 155, 1, true, {"frame 1", "repainted"}},
        {'s', 300, 1, true, {"start", "frame 0"}},
        {'t', 550, 1, true, {}},
        {'t', 551, 2, true, {"frame 2", "repainted"}}};
    for (const auto& [what, time, frame, running, heard] : rows) {
        SCOPED_TRACE(std::string(what == 's' ? "start" : "tick") + " at " + std::to_string(time));
        log.clear();
        screen->dirtyRect = kNone;
        platform::testing::SetTickCount(time);
        what == 's' ? checkMark->Start() : screen->Tick(time);
        if (screen->dirtyRect == RECT{70, 90, 170, 190}) log.push_back("repainted");
        EXPECT_EQ(std::tuple(checkMark->currentFrame, checkMark->visible, screen->running.count),
                  std::tuple(frame, running, running ? 1 : 0));
        EXPECT_EQ(log, heard);
    }
    platform::testing::UseRealTickCount();  // the clock goes back for the tests after
}

// The whole picture: an opaque background whose key-coloured square shows; a red block with
// holes in both forms of the key under a green block added before it but higher in z-order;
// stars cut off at the four edges; a resting and a pressed button; frame 2 of the check mark; a
// red text. A hidden red figure and a shown hotspot over all, an empty text and a cleared figure
// (asking for a redraw while drawn) leave no trace; an inactive screen draws nothing. Every image
// loads a bitmap of its own, and a text from the string table is cut to 79 characters.
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
    auto* star = Place(new Image(screen.get(), window, IDB_STAR), -7, -7);
    EXPECT_NE(Place(new Image(screen.get(), window, IDB_STAR), 232, 312)->bitmap, star->bitmap);
    Place(new Button(screen.get(), window, IDB_OK_BUTTON), 20, 260);
    Place(new Button(screen.get(), window, IDB_OK_BUTTON), 120, 260)->pressed = 1;
    Place(new Animation(screen.get(), window, IDB_CHECK_MARK, 4, 4), 70, 120)->currentFrame = 2;
    Place(new Text(screen.get(), window, TEXT("Score"), kRed, Text::BoldFont(16)), 140, 20);
    Place(new Text(screen.get(), window, TEXT(""), 0), 100, 100);
    Text longLine(screen.get(), instance, window, 900, 0, Text::BoldFont(12));
    EXPECT_EQ(std::basic_string<WCHAR>(longLine.text).substr(61), TEXT("eighty a Text read"));
    auto* cleared = Place(new SolidFigure(screen.get(), window, 40, 40, 0), 190, 200);
    cleared->ClearSurface(cleared->GetSurface());
    cleared->onSurface = [&] { screen->Redraw(true); };  // a paint within the paint is refused
    Place(new SolidFigure(screen.get(), window, 240, 320, kRed), 0, 0, 50)->SetVisible(false);
    Place(new Hotspot(screen.get(), window, 240, 320), 0, 0, 60);
    screen->Redraw(true);  // inactive: draws nothing and keeps what is dirty
    EXPECT_EQ(screen->dirtyRect, (RECT{0, 0, 240, 320}));
    screen->active = true;
    screen->Redraw(true);
    EXPECT_TRUE(testsupport::MatchesGolden(window, "scene-composite"));
}

// The keyboard's focus: Tab and Shift+Tab go round the figures a tap can reach in reading
// order (rows within 12 pixels, each from the left), the arrows to the nearest one that way
// (ahead more than half as far as aside; a step aside weighs three ahead),
// a figure removed leaves the focus to the next one put in its place, and the outline (chalk
// two pixels wide a pixel outside the figure, a dark line round it) is drawn only while shown.
TEST_F(ScreenTest, FocusStory) {
    auto* board = Place(new SolidFigure(screen.get(), window, 240, 320, RGB(30, 55, 45)), 0, 0, 1);
    board->RemoveListener(this);
    screen->background = board;
    const auto add = [&](const char* name, int x, int y, int w, int h) {
        Figure* figure =
            Place(new SolidFigure(screen.get(), window, w, h, RGB(253, 251, 67)), x, y);
        names[figure] = name;
        return figure;
    };
    add("ok", 35, 260, 60, 30);
    add("reset", 120, 260, 90, 30);
    Figure* box = add("box2", 60, 87, 10, 10);
    add("box1", 30, 87, 10, 10);
    add("heading", 60, 6, 120, 30);
    add("exit", 208, 20, 20, 20);
    add("auto", 30, 43, 10, 10);
    add("picture", 170, 36, 24, 24);
    add("hidden", 100, 150, 10, 10)->SetVisible(false);
    add("disabled", 110, 150, 10, 10)->SetEnabled(false);
    add("unheard", 120, 150, 10, 10)->RemoveListener(this);
    const auto focused = [&] {
        return screen->FocusedFigure() ? names[screen->FocusedFigure()] : "none";
    };

    std::vector<std::string> order;
    for (int i = 0; i < 9; ++i) {
        screen->MoveFocus(1);
        order.push_back(focused());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"heading", "exit", "auto", "picture", "box1", "box2",
                                               "ok", "reset", "heading"}));
    screen->MoveFocus(-1);
    EXPECT_EQ(focused(), "reset");
    // Each row: an arrow, and where it leads from where the last one left the focus.
    const std::tuple<int, int, const char*> arrows[] = {
        {-1, 0, "ok"},     {-1, 0, "ok"},   {0, -1, "box2"}, {-1, 0, "box1"},    {0, -1, "auto"},
        {1, 0, "picture"}, {0, -1, "exit"}, {0, -1, "exit"}, {-1, 0, "picture"}, {0, 1, "reset"}};
    for (const auto& [dx, dy, reached] : arrows) {
        screen->MoveFocusToward(dx, dy);
        EXPECT_EQ(focused(), reached) << dx << "," << dy;
    }

    // The outline is drawn only while shown, and leaves the figure and the gap alone.
    screen->active = true;
    screen->focus = box;
    screen->ShowFocus(true);
    screen->Redraw(true);
    const auto pixel = [&](int x, int y) { return window.Pixel(x, y); };
    EXPECT_EQ(std::tuple(pixel(60, 87), pixel(59, 87), pixel(58, 87), pixel(57, 90), pixel(56, 90)),
              std::tuple(RGB(253, 251, 67), RGB(30, 55, 45), RGB(0xEB, 0xEB, 0xE1),
                         RGB(0xEB, 0xEB, 0xE1), RGB(0x10, 0x1C, 0x17)));
    screen->ShowFocus(false);
    EXPECT_EQ(screen->dirtyRect, (RECT{56, 83, 74, 101})) << "the outline's area is repainted";
    screen->Redraw(false);
    EXPECT_EQ(pixel(58, 87), RGB(30, 55, 45));

    // The focused box replaced by another in its place: the new one has the focus.
    screen->RemoveFigure(box, true);
    EXPECT_EQ(focused(), "none");
    add("box2 again", 60, 87, 10, 10);
    EXPECT_EQ(focused(), "box2 again");
    screen->MoveFocus(1);
    EXPECT_EQ(focused(), "ok");
}

}  // namespace
