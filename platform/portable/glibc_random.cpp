#include "platform/portable/glibc_random.h"

namespace platform {

// The ring keeps the last 34 words: each new word needs the ones 3 and 31 back.
void GlibcRandom::Seed(unsigned seed) {
    std::array<std::int32_t, 31> start{};
    start[0] = static_cast<std::int32_t>(seed == 0 ? 1 : seed);
    for (int i = 1; i < 31; ++i) {
        // 16807 * r mod (2^31 - 1) without overflow (Schrage), as glibc computes it.
        const std::int32_t hi = start[i - 1] / 127773;
        const std::int32_t lo = start[i - 1] % 127773;
        std::int32_t word = 16807 * lo - 2836 * hi;
        if (word < 0) word += 2147483647;
        start[i] = word;
    }
    for (int i = 0; i < 31; ++i) ring_[i] = static_cast<std::uint32_t>(start[i]);
    for (int i = 31; i < 34; ++i) ring_[i] = ring_[i - 31];
    at_ = 0;  // the next word goes where the oldest is
    // glibc throws away the first 310 words after seeding.
    for (int i = 0; i < 310; ++i) Next();
}

int GlibcRandom::Next() {
    const auto back = [this](int n) { return ring_[(at_ + 34 - n) % 34]; };
    const std::uint32_t word = back(3) + back(31);
    ring_[at_] = word;
    at_ = (at_ + 1) % 34;
    return static_cast<int>(word >> 1);
}

}  // namespace platform
