// The desktop C library's rand(): glibc's additive feedback generator (TYPE_3: 31 words,
// r[i] = r[i-3] + r[i-31]), seeded as srand() seeds it. The program poses its problems from
// rand(), so with this a seed poses the same drill in the browser as on the desktop.
#pragma once

#include <array>
#include <cstdint>

namespace platform {

class GlibcRandom {
public:
    explicit GlibcRandom(unsigned seed = 1) { Seed(seed); }

    void Seed(unsigned seed);
    // 0 .. 2^31 - 1, as glibc's rand() gives for the same seed.
    int Next();

private:
    std::array<std::uint32_t, 34> ring_{};
    int at_ = 0;
};

}  // namespace platform
