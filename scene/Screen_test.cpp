// The screen: z-ordered figures, the dirty rectangle and what reaches the window,
// the redraw throttle, and where stylus events go.
#include "scene/Screen.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/testing/testing.h"
#include "tests/support/TestFigures.h"

using platform::testing::HeadlessWindow;
using platform::testing::LiveGdiObjectCount;
using testsupport::BareFigure;
using testsupport::LoggingListener;
using testsupport::PixelArt;
using testsupport::SolidFigure;

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kKey256 = RGB(0xF7, 0x8C, 0xC6);
constexpr RECT kClean = {-1, -1, -1, -1};

class ScreenTest : public ::testing::Test {
protected:
    explicit ScreenTest(int width = 240, int height = 320) : window_(width, height) {
        screen_ = std::make_unique<Screen>(window_, nullptr);
    }
    ~ScreenTest() override {
        screen_->DeleteAllFigures();
        screen_.reset();
        platform::testing::UseRealTickCount();
    }

    template <typename T, typename... Args>
    T* Add(std::int32_t z, Args&&... args) {
        auto* figure = new T(screen_.get(), window_.Handle(), std::forward<Args>(args)...);
        figure->SetZOrder(z);
        figure->SetVisible(true);
        figure->SetEnabled(true);
        screen_->AddFigure(figure);
        return figure;
    }

    // An opaque background over the whole screen, drawn first.
    SolidFigure* AddBackground(COLORREF colour) {
        auto* background = Add<SolidFigure>(1, screen_->width, screen_->height, colour);
        background->SetEnabled(false);
        screen_->background = background;
        return background;
    }

    void PaintFull() {
        HDC dc = GetDC(window_);
        screen_->Paint(dc, true);
        ReleaseDC(window_, dc);
    }

    HeadlessWindow window_;
    std::unique_ptr<Screen> screen_;
};

// --- Figures in z-order -----------------------------------------------------------------

TEST_F(ScreenTest, AddFigurePlacesANewFigureBeneathItsEquals) {
    std::vector<Figure*> added;
    for (int z : {5, 1, 5, 9}) added.push_back(Add<BareFigure>(z, 1, 1));
    std::vector<Figure*> order;
    for (auto* node = screen_->figures.head; node != nullptr; node = node->next) {
        order.push_back(node->value);
    }
    EXPECT_EQ(order, (std::vector<Figure*>{added[1], added[2], added[0], added[3]}));
}

TEST_F(ScreenTest, ResortFigureLeavesAnUnlistedFigureUnlisted) {
    BareFigure loose(screen_.get(), window_, 1, 1);
    screen_->ResortFigure(&loose);
    EXPECT_EQ(screen_->figures.count, 0);
}

TEST_F(ScreenTest, RemoveFigureReportsOnlyVisibleFiguresAndDeletesOnRequest) {
    const int objectsBefore = LiveGdiObjectCount();
    auto* hidden = Add<BareFigure>(10, 10, 10);
    hidden->SetVisible(false);
    auto* shown = Add<SolidFigure>(10, 20, 30, kRed);
    shown->SetX(5);
    shown->SetY(6);

    screen_->dirtyRect = kClean;
    screen_->RemoveFigure(hidden, false);
    EXPECT_EQ(screen_->dirtyRect, kClean);
    EXPECT_EQ(screen_->figures.count, 1);
    delete hidden;  // it survived, unlisted

    screen_->RemoveFigure(shown, true);
    EXPECT_EQ(screen_->dirtyRect, (RECT{5, 6, 25, 36}));
    EXPECT_EQ(screen_->figures.count, 0);
    EXPECT_EQ(LiveGdiObjectCount(), objectsBefore) << "the deleted figure freed its surface";

    screen_->RemoveFigure(nullptr, true);  // no error
}

TEST_F(ScreenTest, DeleteAllFiguresDeletesEveryFigure) {
    const int objectsBefore = LiveGdiObjectCount();
    for (int i = 0; i < 3; ++i) Add<SolidFigure>(10 + i, 4, 4, kRed);
    screen_->DeleteAllFigures();
    EXPECT_EQ(screen_->figures.count, 0);
    EXPECT_EQ(LiveGdiObjectCount(), objectsBefore);
}

TEST(ScreenLifetime, DestroyingAScreenFreesItsBackBufferAndContext) {
    HeadlessWindow window;
    const int objectsBefore = LiveGdiObjectCount();
    auto screen = std::make_unique<Screen>(window, nullptr);
    EXPECT_EQ(screen->width, 240);
    EXPECT_EQ(screen->height, 320);
    EXPECT_EQ(LiveGdiObjectCount(), objectsBefore + 2);
    screen.reset();
    EXPECT_EQ(LiveGdiObjectCount(), objectsBefore);
}

// --- The dirty rectangle ----------------------------------------------------------------

TEST_F(ScreenTest, MarkDirtyAcceptsRectanglesOnTheScreenAndDropsOthersWhole) {
    struct Case {
        RECT rect;
        bool accepted;
    };
    for (Case c : {Case{{0, 0, 240, 320}, true}, Case{{-1, 0, 10, 10}, false},
                   Case{{230, 0, 241, 10}, false}, Case{{0, -1, 10, 10}, false},
                   Case{{0, 310, 10, 321}, false}, Case{{239, 319, 240, 320}, true}}) {
        screen_->dirtyRect = {100, 100, 110, 110};
        screen_->MarkDirty(c.rect);
        EXPECT_EQ(screen_->dirtyRect == (RECT{100, 100, 110, 110}), !c.accepted) << c.rect;
    }
}

// One story on one screen: how DirtyRect grows and what each paint sends to the window.
class DirtyRectStory : public ScreenTest {
protected:
    void SetUp() override {
        AddBackground(kRed);
        screen_->dirtyRect = kClean;
        screen_->active = true;
    }

    void PaintPartial() {
        HDC dc = GetDC(window_);
        screen_->Paint(dc, false);
        ReleaseDC(window_, dc);
    }

    int RedPixelsInWindow() {
        int count = 0;
        for (int y = 0; y < 320; ++y) {
            for (int x = 0; x < 240; ++x) count += window_.Pixel(x, y) == kRed;
        }
        return count;
    }
};

TEST_F(DirtyRectStory, PartialPaintsCopyTheDirtyRectAndOneMoreColumnAndRow) {
    // 1. Nothing changed: a partial paint copies nothing visible.
    PaintPartial();
    EXPECT_EQ(RedPixelsInWindow(), 0);

    // 2. The first rectangle becomes DirtyRect; a second one grows it.
    screen_->MarkDirty({10, 20, 30, 40});
    EXPECT_EQ(screen_->dirtyRect, (RECT{10, 20, 30, 40}));
    screen_->MarkDirty({5, 30, 20, 60});
    EXPECT_EQ(screen_->dirtyRect, (RECT{5, 20, 30, 60}));

    // 3. The partial paint copies the 26 × 41 block at (5, 20) and empties DirtyRect.
    PaintPartial();
    EXPECT_EQ(RedPixelsInWindow(), 26 * 41);
    EXPECT_EQ(window_.Pixel(5, 20), kRed);
    EXPECT_EQ(window_.Pixel(30, 60), kRed);
    EXPECT_EQ(window_.Pixel(31, 60), kBlack);
    EXPECT_EQ(window_.Pixel(30, 61), kBlack);
    EXPECT_EQ(screen_->dirtyRect, kClean);

    // 4. At the bottom-right corner the extra column and row fall off both surfaces.
    screen_->MarkDirty({230, 310, 240, 320});
    PaintPartial();
    EXPECT_EQ(window_.Pixel(239, 319), kRed);
    EXPECT_EQ(window_.Pixel(229, 319), kBlack);
    EXPECT_EQ(RedPixelsInWindow(), 26 * 41 + 10 * 10);

    // 5. A full paint copies everything, whatever DirtyRect holds.
    PaintFull();
    EXPECT_EQ(RedPixelsInWindow(), 240 * 320);
}

TEST_F(DirtyRectStory, AnInactiveScreenDrawsNothingAndKeepsItsDirtyRect) {
    screen_->active = false;
    screen_->MarkDirty({0, 0, 10, 10});
    screen_->Redraw(true);
    EXPECT_EQ(RedPixelsInWindow(), 0);
    EXPECT_EQ(screen_->dirtyRect, (RECT{0, 0, 10, 10}));
}

TEST_F(DirtyRectStory, ANestedPaintReturnsAtOnce) {
    // A figure whose surface request paints its owner again, as a handler's Redraw might.
    struct NestingFigure : SolidFigure {
        using SolidFigure::SolidFigure;
        HDC GetSurface() override {
            HDC dc = GetDC(window);
            owner->Paint(dc, true);
            ReleaseDC(window, dc);
            return SolidFigure::GetSurface();
        }
    };
    auto* nesting = Add<NestingFigure>(10, 4, 4, kGreen);
    PaintFull();
    EXPECT_EQ(nesting->surfaceCalls, 1);
    EXPECT_FALSE(screen_->painting);
    EXPECT_EQ(window_.Pixel(0, 0), kGreen);
}

// --- Ticks and the redraw throttle -----------------------------------------------------

// A figure that records its ticks and may leave the running list when ticked.
struct TickingFigure : BareFigure {
    TickingFigure(Screen* owner, HWND window, bool leave)
        : BareFigure(owner, window, 1, 1), leaveWhenTicked(leave) {}
    void Tick(DWORD time) override {
        ticks.push_back(time);
        if (leaveWhenTicked) owner->running.Remove(this);
    }
    bool leaveWhenTicked;
    std::vector<DWORD> ticks;
};

TEST_F(ScreenTest, TickReachesEveryRunningFigureEvenWhenOneLeaves) {
    auto* first = Add<TickingFigure>(10, true);
    auto* second = Add<TickingFigure>(10, false);
    screen_->running.AddOnce(first);
    screen_->running.AddOnce(second);
    screen_->Tick(5);
    screen_->Tick(6);
    EXPECT_EQ(first->ticks, (std::vector<DWORD>{5}));
    EXPECT_EQ(second->ticks, (std::vector<DWORD>{5, 6}));
}

TEST_F(ScreenTest, ChangesReachTheWindowAtMostOnceEvery43Milliseconds) {
    AddBackground(kBlack);
    auto* square = Add<SolidFigure>(10, 10, 10, kRed);
    square->SetVisible(false);
    screen_->active = true;
    PaintFull();

    screen_->Tick(100);  // 100 - 0 > 42: checks, but nothing is dirty
    EXPECT_EQ(screen_->lastRedraw, 100u);
    square->SetVisible(true);
    screen_->Tick(130);  // 30 since the last check: too soon
    EXPECT_EQ(window_.Pixel(0, 0), kBlack);
    screen_->Tick(143);  // 43 since the last check
    EXPECT_EQ(window_.Pixel(0, 0), kRed);
    EXPECT_EQ(screen_->dirtyRect, kClean);
}

TEST_F(ScreenTest, TheThrottleSurvivesTheTickCountWrapping) {
    screen_->active = true;
    screen_->lastRedraw = 0xFFFFFFF0u;
    screen_->Tick(20);  // 36 ms later
    EXPECT_EQ(screen_->lastRedraw, 0xFFFFFFF0u);
    screen_->Tick(30);  // 46 ms later
    EXPECT_EQ(screen_->lastRedraw, 30u);
}

// --- Stylus routing ---------------------------------------------------------------------

// The screen tells buttons apart by their type name only.
struct ButtonLike : BareFigure {
    using BareFigure::BareFigure;
    LPCWSTR GetTypeName() const override { return TEXT("Button"); }
};

class PointerTest : public ScreenTest {
protected:
    // A logging listener on a new figure of `w` × `h` at (x, y).
    template <typename T = BareFigure>
    T* AddListened(const std::string& name, std::int32_t z, int x, int y, int w, int h) {
        auto* figure = Add<T>(z, w, h);
        figure->SetX(x);
        figure->SetY(y);
        listeners_.push_back(std::make_unique<LoggingListener>(name, log_));
        figure->AddListener(listeners_.back().get());
        return figure;
    }

    std::vector<std::string> log_;
    std::vector<std::unique_ptr<LoggingListener>> listeners_;
};

TEST_F(PointerTest, HitAreaIncludesTheRightAndBottomEdges) {
    AddListened("f", 10, 10, 20, 30, 40);
    for (POINT p : {POINT{10, 20}, POINT{40, 60}, POINT{41, 60}, POINT{40, 61}, POINT{9, 20}}) {
        screen_->PointerDown(p.x, p.y);
    }
    EXPECT_EQ(log_, (std::vector<std::string>{"f down 10,20", "f down 40,60"}));
}

TEST_F(PointerTest, PressReachesOnlyTheTopmostFigure) {
    AddListened("low", 5, 0, 0, 50, 50);
    AddListened("high", 20, 10, 10, 50, 50);
    screen_->PointerDown(20, 20);
    screen_->PointerDown(5, 5);
    EXPECT_EQ(log_, (std::vector<std::string>{"high down 20,20", "low down 5,5"}));
}

TEST_F(PointerTest, AtEqualZOrderTheFigureAddedEarlierIsOnTop) {
    AddListened("earlier", 10, 0, 0, 50, 50);
    AddListened("later", 10, 0, 0, 50, 50);
    screen_->PointerDown(1, 1);
    EXPECT_EQ(log_, (std::vector<std::string>{"earlier down 1,1"}));
}

TEST_F(PointerTest, AVisibleDisabledFigureSwallowsThePress) {
    AddListened("beneath", 5, 0, 0, 50, 50);
    AddListened("shield", 20, 0, 0, 50, 50)->SetEnabled(false);
    screen_->PointerDown(1, 1);
    EXPECT_TRUE(log_.empty());
}

TEST_F(PointerTest, HiddenFiguresAreNotHitAndAFigureWithoutSurfaceIs) {
    AddListened("beneath", 5, 0, 0, 50, 50);
    AddListened("hidden", 20, 0, 0, 50, 50)->SetVisible(false);
    screen_->PointerDown(1, 1);
    screen_->PointerDown(100, 100);  // nothing there
    EXPECT_EQ(log_, (std::vector<std::string>{"beneath down 1,1"}));
}

TEST_F(PointerTest, AHandlerMayDeleteTheFigureItWasPressedOn) {
    AddListened("f", 10, 0, 0, 10, 10);
    listeners_.back()->onEvent = [&](Figure* f) { screen_->RemoveFigure(f, true); };
    screen_->PointerDown(1, 1);
    EXPECT_EQ(screen_->figures.count, 0);
    EXPECT_EQ(log_.size(), 1u);
}

TEST_F(PointerTest, ReleaseReachesEveryHitEnabledFigureHighestFirst) {
    AddListened("low", 5, 0, 0, 50, 50);
    AddListened("high", 20, 10, 10, 50, 50);
    AddListened("disabled", 30, 0, 0, 50, 50)->SetEnabled(false);
    screen_->PointerUp(20, 20);
    EXPECT_EQ(log_, (std::vector<std::string>{"high up 20,20", "low up 20,20"}));
}

TEST_F(PointerTest, EveryEnabledButtonHearsEveryRelease) {
    AddListened<ButtonLike>("button", 10, 0, 0, 10, 10);
    AddListened<ButtonLike>("disabled button", 10, 0, 0, 10, 10)->SetEnabled(false);
    auto* hidden = AddListened<ButtonLike>("hidden button", 10, 0, 0, 10, 10);
    hidden->SetVisible(false);
    hidden->SetEnabled(true);
    AddListened("plain", 5, 0, 0, 10, 10);

    screen_->PointerUp(200, 300);
    // Equal z-orders: the button added first lies on top and hears first.
    EXPECT_EQ(log_, (std::vector<std::string>{"button up 200,300", "hidden button up 200,300"}));
}

// --- Compositing ------------------------------------------------------------------------

TEST(ScreenCompositing, OverlappingKeyedFiguresShowInZOrderOverAnOpaqueBackground) {
    HeadlessWindow window(12, 6);
    Screen screen(window, nullptr);
    std::vector<std::unique_ptr<Figure>> figures;
    auto add = [&](Figure* figure, std::int32_t z, int x, int y) {
        figures.emplace_back(figure);
        figure->SetZOrder(z);
        figure->SetX(x);
        figure->SetY(y);
        figure->SetVisible(true);
        screen.AddFigure(figure);
        return figure;
    };
    // The background is copied opaquely: its key-coloured pixel shows as it is.
    auto* background = new SolidFigure(&screen, window, 12, 6, kBlue);
    background->PaintPixel(11, 0, kKey256);
    screen.background = add(background, 1, 0, 0);
    // A red block with a key-coloured hole, partly covered by a green block whose corner
    // is key-coloured, added first but drawn later because of its z-order.
    auto* green = new SolidFigure(&screen, window, 4, 3, kGreen);
    green->PaintPixel(0, 0, TransparentKey);
    add(green, 20, 3, 2);
    auto* red = new SolidFigure(&screen, window, 5, 4, kRed);
    red->PaintPixel(1, 1, kKey256);
    add(red, 10, 1, 1);
    // Hidden figures and figures without a surface are not drawn.
    add(new SolidFigure(&screen, window, 12, 6, kWhite), 30, 0, 0)->SetVisible(false);
    add(new BareFigure(&screen, window, 12, 6), 40, 0, 0);
    // A figure hanging off the right edge is clipped.
    add(new SolidFigure(&screen, window, 3, 2, kBlack), 10, 10, 4);

    screen.active = true;
    screen.Redraw(true);
    const std::map<COLORREF, char> legend = {
        {kBlue, '.'}, {kRed, 'r'}, {kGreen, 'g'}, {kBlack, '#'}, {kKey256, 'K'}};
    EXPECT_EQ(PixelArt(window, {0, 0, 12, 6}, legend),
              "...........K\n"
              ".rrrrr......\n"
              ".r.rggg.....\n"
              ".rrgggg.....\n"
              ".rrgggg...##\n"
              "..........##\n");
}

}  // namespace
