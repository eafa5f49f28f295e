// Runs the registered benchmarks and then prints each named ratio of two of them, measured
// in the same run, so that a goal reads as "within N× its baseline" on any machine.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench {

class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                nanoseconds[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> nanoseconds;
};

struct Ratio {
    std::string measured;
    std::string baseline;
    double goal;  // the measured time should stay within goal × baseline
};

inline int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios) {
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const Ratio& ratio : ratios) {
        auto measured = reporter.nanoseconds.find(ratio.measured);
        auto baseline = reporter.nanoseconds.find(ratio.baseline);
        if (measured == reporter.nanoseconds.end() || baseline == reporter.nanoseconds.end()) {
            continue;
        }
        const double times = measured->second / baseline->second;
        std::printf("%s / %s = %.2f× (goal ≤ %.1f×: %s)\n", ratio.measured.c_str(),
                    ratio.baseline.c_str(), times, ratio.goal,
                    times <= ratio.goal ? "met" : "MISSED");
    }
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench
