// Bitmap figures: images, two-faced buttons and invisible hotspots.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/resource_loading.h"
#include "platform/testing/testing.h"
#include "resources/ResourceIds.h"
#include "scene/Button.h"
#include "scene/Hotspot.h"
#include "scene/Image.h"
#include "tests/support/TestFigures.h"

using platform::ResourceLoadCount;
using platform::testing::LiveGdiObjectCount;
using platform::testing::PixelAt;
using testsupport::LoggingListener;
using testsupport::ScreenFixture;

namespace {

class BitmapFigureTest : public ScreenFixture {
protected:
    // The pixels of columns [left, left + w) of a freshly loaded copy of bitmap `id`.
    std::vector<COLORREF> BitmapColumns(int id, int left, int w, int h) {
        HBITMAP bitmap = LoadBitmapW(instance, MAKEINTRESOURCEW(id));
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(dc, bitmap);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < h; ++y) {
            for (int x = left; x < left + w; ++x) pixels.push_back(PixelAt(dc, x, y));
        }
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
        return pixels;
    }

    static std::vector<COLORREF> SurfacePixels(Figure& figure) {
        HDC surface = figure.GetSurface();
        std::vector<COLORREF> pixels;
        for (int y = 0; y < figure.GetHeight(); ++y) {
            for (int x = 0; x < figure.GetWidth(); ++x) pixels.push_back(PixelAt(surface, x, y));
        }
        return pixels;
    }
};

TEST_F(BitmapFigureTest, DestroyingFiguresReleasesEveryDrawingObject) {
    const int before = LiveGdiObjectCount();
    delete new Image(screen.get(), window, IDB_STAR);
    delete new Button(screen.get(), window, IDB_SETTINGS_BUTTON);
    delete new Hotspot(screen.get(), window, 10, 10);
    EXPECT_EQ(LiveGdiObjectCount(), before);
}

TEST_F(BitmapFigureTest, AButtonShowsItsLeftFaceRestingAndItsRightFacePressed) {
    Button button(screen.get(), window, IDB_SETTINGS_BUTTON);
    EXPECT_EQ(SurfacePixels(button), BitmapColumns(IDB_SETTINGS_BUTTON, 0, 40, 35));
    button.pressed = 1;
    EXPECT_EQ(SurfacePixels(button), BitmapColumns(IDB_SETTINGS_BUTTON, 40, 40, 35));
    button.pressed = 0;
    EXPECT_EQ(SurfacePixels(button), BitmapColumns(IDB_SETTINGS_BUTTON, 0, 40, 35));
}

TEST_F(BitmapFigureTest, PressingShowsThePressedFaceBeforeListenersHearOfIt) {
    Button* button = Place(new Button(screen.get(), window, IDB_OK_BUTTON), 35, 260);
    button->SetEnabled(true);
    std::vector<std::string> log;
    LoggingListener listener("listener", log);
    bool pressedFaceShown = false;
    listener.onEvent = [&](Figure*) { pressedFaceShown = button->pressed == 1; };
    button->AddListener(&listener);
    screen->dirtyRect = {-1, -1, -1, -1};

    screen->PointerDown(40, 270);
    EXPECT_TRUE(pressedFaceShown);
    EXPECT_EQ(screen->dirtyRect, (RECT{35, 260, 95, 290}));
    EXPECT_EQ(log, (std::vector<std::string>{"listener down 40,270"}));
}

TEST_F(BitmapFigureTest, APressedButtonIsReleasedWhereverTheStylusIsLifted) {
    Button* button = Place(new Button(screen.get(), window, IDB_SETTINGS_BUTTON), 12, 20);
    button->SetEnabled(true);
    std::vector<std::string> log;
    LoggingListener listener("listener", log);
    button->AddListener(&listener);

    screen->PointerUp(20, 30);  // not pressed: nobody hears of it
    EXPECT_TRUE(log.empty());
    screen->PointerDown(20, 30);
    screen->PointerUp(200, 300);  // far away
    EXPECT_EQ(log, (std::vector<std::string>{"listener down 20,30", "listener up 200,300"}));
    EXPECT_EQ(button->pressed, 0);
    screen->PointerUp(20, 30);
    EXPECT_EQ(log.size(), 2u) << "a second release finds it resting";
}

TEST_F(BitmapFigureTest, HidingAPressedButtonKeepsItPressed) {
    Button button(screen.get(), window, IDB_SETTINGS_BUTTON);
    button.SetEnabled(true);
    button.OnPointerDown(1, 1);
    button.SetVisible(false);
    EXPECT_EQ(button.pressed, 1);
    EXPECT_FALSE(button.enabled);
}

class HotspotTest : public BitmapFigureTest {
protected:
    HotspotTest() { hotspotTapSound = nullptr; }
};

TEST_F(HotspotTest, AHotspotIsEnabledInvisibleAndOnlyHitOnceShown) {
    Hotspot* hotspot = Place(new Hotspot(screen.get(), window, 10, 10), 30, 87);
    EXPECT_EQ(lstrcmpW(hotspot->GetTypeName(), TEXT("Hotspot")), 0);
    EXPECT_TRUE(hotspot->enabled);
    EXPECT_FALSE(hotspot->visible);
    EXPECT_EQ(hotspot->GetSurface(), nullptr);
    std::vector<std::string> log;
    LoggingListener listener("listener", log);
    hotspot->AddListener(&listener);

    screen->PointerDown(35, 90);
    EXPECT_TRUE(log.empty());
    hotspot->SetVisible(true);
    screen->PointerDown(35, 90);
    EXPECT_EQ(log, (std::vector<std::string>{"listener down 35,90"}));
}

TEST_F(HotspotTest, AShownHotspotIsNeverDrawn) {
    auto* background = new Image(screen.get(), window, IDB_GAME_BOARD);
    screen->background = Place(background, 0, 0, 1);
    Place(new Hotspot(screen.get(), window, 240, 320), 0, 0, 40)->SetVisible(true);
    screen->active = true;
    screen->Redraw(true);
    const std::vector<COLORREF> board = BitmapColumns(IDB_GAME_BOARD, 0, 240, 320);
    for (int y = 0; y < 320; y += 7) {
        for (int x = 0; x < 240; x += 5) ASSERT_EQ(window.Pixel(x, y), board[y * 240 + x]);
    }
}

TEST_F(HotspotTest, ATapClicksAsynchronouslyAndThenNotifies) {
    Hotspot* hotspot = Place(new Hotspot(screen.get(), window, 10, 10), 0, 0);
    hotspot->SetVisible(true);
    std::vector<std::string> log;
    LoggingListener listener("listener", log);
    hotspot->AddListener(&listener);
    sounds.onPlay = [&](const platform::testing::SoundCall&) { log.push_back("click"); };

    screen->PointerDown(5, 5);
    ASSERT_EQ(sounds.calls.size(), 1u);
    EXPECT_EQ(sounds.calls[0].data, hotspotTapSound);
    EXPECT_EQ(sounds.calls[0].flags, SND_ASYNC | SND_MEMORY);
    EXPECT_EQ(log, (std::vector<std::string>{"click", "listener down 5,5"}));
}

TEST_F(HotspotTest, TheClickIsLoadedOnceAndOutlivesEveryHotspot) {
    const int loadsBefore = ResourceLoadCount(IDW_TAP);
    delete new Hotspot(screen.get(), window, 10, 10);
    const void* loaded = hotspotTapSound;
    ASSERT_NE(loaded, nullptr);
    delete new Hotspot(screen.get(), window, 10, 10);
    EXPECT_EQ(hotspotTapSound, loaded);
    EXPECT_EQ(ResourceLoadCount(IDW_TAP), loadsBefore + 1);
}

TEST_F(HotspotTest, WithoutItsSoundAHotspotStillNotifies) {
    Hotspot hotspot(screen.get(), window, 10, 10);
    hotspotTapSound = nullptr;
    std::vector<std::string> log;
    LoggingListener listener("listener", log);
    hotspot.AddListener(&listener);
    hotspot.OnPointerDown(1, 2);
    EXPECT_TRUE(sounds.calls.empty());
    EXPECT_EQ(log.size(), 1u);
}

}  // namespace
