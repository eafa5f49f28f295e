// What building the figures of a problem costs: texts at the program's three sizes, one
// equation, and everything that posing a problem builds, against the goal of 2 ms.
#include <benchmark/benchmark.h>

#include <memory>

#include "drill/Answer.h"
#include "drill/Equation.h"
#include "platform/testing/testing.h"
#include "scene/Screen.h"
#include "scene/Text.h"

namespace {

constexpr COLORREF kSalmon = RGB(0xFF, 0x64, 0x64);

struct Stage {
    platform::testing::HeadlessWindow window;
    std::unique_ptr<Screen> screen = std::make_unique<Screen>(window, GetModuleHandleW(nullptr));
};

void BM_Text(benchmark::State& state) {
    Stage stage;
    const LOGFONTW font = Text::BoldFont(static_cast<LONG>(state.range(0)));
    for (auto _ : state) {
        Text text(stage.screen.get(), stage.window, TEXT("144"), kSalmon, font);
        benchmark::DoNotOptimize(text.surfaceDC);
    }
}
BENCHMARK(BM_Text)->Arg(12)->Arg(20)->Arg(50)->Unit(benchmark::kMicrosecond);

void BM_Equation(benchmark::State& state) {
    Stage stage;
    for (auto _ : state) {
        Equation equation(stage.screen.get(), stage.window, Division, 144, 12, kSalmon);
        benchmark::DoNotOptimize(equation.result);
    }
}
BENCHMARK(BM_Equation)->Unit(benchmark::kMicrosecond);

// One Equation, four Answer cards and the result text: what a new problem builds.
void BM_PoseProblem(benchmark::State& state) {
    Stage stage;
    int round = 0;
    for (auto _ : state) {
        const int first = 10 + round % 90;
        Equation equation(stage.screen.get(), stage.window, Addition, first, 7, kSalmon);
        Answer a(stage.screen.get(), stage.window, equation.result);
        Answer b(stage.screen.get(), stage.window, first);
        Answer c(stage.screen.get(), stage.window, first + 1);
        Answer d(stage.screen.get(), stage.window, 3);
        WCHAR digits[12];
        wsprintfW(digits, TEXT("%d"), equation.result);
        Text result(stage.screen.get(), stage.window, digits, kSalmon, Equation::ProblemFont());
        benchmark::DoNotOptimize(result.surfaceDC);
        ++round;
    }
}
BENCHMARK(BM_PoseProblem)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    platform::testing::InstallTestBackends();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
