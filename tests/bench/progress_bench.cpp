// What saving progress costs: one number written to the registry, and all the writes of one
// correctly answered problem. Prints the median and the 99th percentile of many samples.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "drill/Progress.h"
#include "platform/desktop/sqlite_store.h"
#include "platform/testing/testing.h"

namespace {

// Times `work(i)` for each sample; `prepare(i)` runs before it, untimed.
template <typename Prepare, typename Work>
void Measure(const char* what, int samples, Prepare prepare, Work work) {
    std::vector<double> micros;
    micros.reserve(samples);
    for (int i = 0; i < samples; ++i) {
        prepare(i);
        const auto start = std::chrono::steady_clock::now();
        work(i);
        const auto end = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(micros.begin(), micros.end());
    std::printf("%-44s median %8.1f µs   p99 %8.1f µs   (%d samples)\n", what,
                micros[micros.size() / 2], micros[micros.size() * 99 / 100], samples);
}

}  // namespace

int main() {
    const platform::testing::TemporaryFolder folder;
    platform::SqliteStore store(folder.Path() + "/registry.db");
    platform::SetRegistryStore(&store);
    Progress* progress = AcquireProgress();
    const auto nothing = [](int) {};
    Measure("one SaveNumber (switching automatic levelling)", 2000, nothing,
            [&](int i) { progress->SetAutoLevel(i % 2 == 0); });

    progress->SetAutoLevel(false);
    Measure("one correct answer (score, statistics)", 2000, nothing, [&](int) {
        progress->AddBonusToScore();
        progress->RecordResult(true);
    });

    // Four correct answers are recorded untimed, so the timed fifth raises the level.
    progress->SetAutoLevel(true);
    Measure(
        "one correct answer that raises the level", 500,
        [&](int) {
            progress->SetLevel(5);
            for (int k = 0; k < 4; ++k) progress->RecordResult(true);
        },
        [&](int) {
            progress->AddBonusToScore();
            progress->RecordResult(true);
        });
    ReleaseProgress();
    platform::SetRegistryStore(nullptr);
    return 0;
}
