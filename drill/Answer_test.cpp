// The answer card: its look, and the click that comes before anyone hears of the tap.
#include "drill/Answer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/core/resource_loading.h"
#include "platform/testing/testing.h"
#include "resources/ResourceIds.h"
#include "tests/support/TestFigures.h"

using platform::ResourceLoadCount;
using platform::testing::PixelAt;
using testsupport::LoggingListener;
using testsupport::ScreenFixture;

namespace {

constexpr COLORREF kCard = RGB(0xFD, 0xFB, 0x43);
constexpr COLORREF kBlack = RGB(0, 0, 0);

class AnswerTest : public ScreenFixture {
protected:
    AnswerTest() { answerTapSound = nullptr; }
};

TEST_F(AnswerTest, ACardIsYellowInABlackOutlineWhateverItsNumber) {
    for (std::int32_t number : {0, 7, 144}) {
        Answer card(screen.get(), window, number);
        EXPECT_EQ(card.GetWidth(), 46);
        EXPECT_EQ(card.GetHeight(), 50);
        EXPECT_EQ(card.number, number);
        HDC surface = card.GetSurface();
        for (int x = 0; x < 46; ++x) {
            ASSERT_EQ(PixelAt(surface, x, 0), kBlack);
            ASSERT_EQ(PixelAt(surface, x, 49), kBlack);
        }
        for (int y = 0; y < 50; ++y) {
            ASSERT_EQ(PixelAt(surface, 0, y), kBlack);
            ASSERT_EQ(PixelAt(surface, 45, y), kBlack);
        }
        EXPECT_EQ(PixelAt(surface, 2, 2), kCard);
        EXPECT_EQ(PixelAt(surface, 43, 47), kCard);
    }
}

TEST_F(AnswerTest, TheNumberIsCentredOnTheCard) {
    for (std::int32_t number : {7, 144}) {
        Answer card(screen.get(), window, number);
        // The box of the digits' black pixels inside the outline.
        int left = 46, right = -1, top = 50, bottom = -1;
        for (int y = 1; y < 49; ++y) {
            for (int x = 1; x < 45; ++x) {
                const COLORREF pixel = PixelAt(card.GetSurface(), x, y);
                ASSERT_TRUE(pixel == kBlack || pixel == kCard) << x << "," << y;
                if (pixel != kBlack) continue;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        ASSERT_GE(right, left) << "digits drawn";
        EXPECT_NEAR(left, 45 - right, 2) << number;
        EXPECT_NEAR(top, 49 - bottom, 3) << number;
    }
}

TEST_F(AnswerTest, ATapClicksToTheEndBeforeAnyListenerHearsOfIt) {
    Answer* card = Place(new Answer(screen.get(), window, 7), 20, 268);
    card->SetEnabled(true);
    std::vector<std::string> log;
    LoggingListener listener("listener", log);
    card->AddListener(&listener);
    sounds.onPlay = [&](const platform::testing::SoundCall&) { log.push_back("click"); };

    screen->PointerDown(30, 280);
    EXPECT_EQ(log, (std::vector<std::string>{"click", "listener down 30,280"}));
    ASSERT_EQ(sounds.calls.size(), 1u);
    EXPECT_EQ(sounds.calls[0].flags, SND_MEMORY) << "synchronous";
    EXPECT_EQ(sounds.calls[0].data, answerTapSound);
    EXPECT_EQ(lstrcmpW(card->GetTypeName(), TEXT("Answer")), 0);
}

TEST_F(AnswerTest, ManyCardsLoadTheClickOnce) {
    const int loadsBefore = ResourceLoadCount(IDW_TAP);
    for (int i = 0; i < 5; ++i) delete new Answer(screen.get(), window, i);
    EXPECT_EQ(ResourceLoadCount(IDW_TAP), loadsBefore + 1);
    EXPECT_NE(answerTapSound, nullptr);
}

}  // namespace
