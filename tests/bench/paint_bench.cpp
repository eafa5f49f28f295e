// The cost of one full paint of a busy screen, against copying the bytes it must touch.
#include <cstring>
#include <memory>
#include <vector>

#include "platform/testing/testing.h"
#include "scene/Screen.h"
#include "tests/bench/BenchRatio.h"
#include "tests/support/TestFigures.h"

namespace {

constexpr int kFigures = 20;
constexpr int kFigureWidth = 46;
constexpr int kFigureHeight = 50;

// A 240 × 320 screen with an opaque background and 20 overlapping keyed figures whose
// surfaces are half key colour, like answer cards and digits.
void BM_FullPaint(benchmark::State& state) {
    platform::testing::HeadlessWindow window;
    auto screen = std::make_unique<Screen>(window, nullptr);
    auto* background =
        new testsupport::SolidFigure(screen.get(), window, 240, 320, RGB(30, 55, 45));
    background->SetZOrder(1);
    background->SetVisible(true);
    screen->background = background;
    screen->AddFigure(background);
    for (int i = 0; i < kFigures; ++i) {
        auto* figure = new testsupport::SolidFigure(screen.get(), window, kFigureWidth,
                                                    kFigureHeight, RGB(253, 251, 67));
        for (int y = 0; y < kFigureHeight; ++y) {
            for (int x = (y % 2) * 23; x < (y % 2) * 23 + 23; ++x) {
                figure->PaintPixel(x, y, TransparentKey);
            }
        }
        figure->SetX((i % 5) * 44);
        figure->SetY((i / 5) * 70 + 10);
        figure->SetVisible(true);
        screen->AddFigure(figure);
    }
    screen->active = true;
    HDC dc = GetDC(window);
    for (auto _ : state) {
        screen->Paint(dc, true);
        benchmark::ClobberMemory();
    }
    ReleaseDC(window, dc);
    screen->DeleteAllFigures();
}
BENCHMARK(BM_FullPaint);

// The floor: memcpy of the background, of every figure and of the window copy.
void BM_MemcpyFloor(benchmark::State& state) {
    const std::size_t screenBytes = 240 * 320 * 4;
    const std::size_t figureBytes = kFigureWidth * kFigureHeight * 4;
    std::vector<char> background(screenBytes, 1), buffer(screenBytes), windowPixels(screenBytes);
    std::vector<std::vector<char>> figures(kFigures, std::vector<char>(figureBytes, 2));
    for (auto _ : state) {
        std::memcpy(buffer.data(), background.data(), screenBytes);
        for (int i = 0; i < kFigures; ++i) {
            std::memcpy(buffer.data() + i * 4096, figures[i].data(), figureBytes);
        }
        std::memcpy(windowPixels.data(), buffer.data(), screenBytes);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpyFloor);

}  // namespace

int main(int argc, char** argv) {
    platform::testing::InstallTestBackends();
    return bench::RunWithRatios(argc, argv, {{"BM_FullPaint", "BM_MemcpyFloor", 3.0}});
}
