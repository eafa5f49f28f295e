// The generator against this machine's own glibc rand(), draw for draw.
#include "platform/portable/glibc_random.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace platform {

TEST(GlibcRandom, DrawsWhatGlibcDrawsForEverySeed) {
    // 0 stands for 1 in glibc; 555630 is the end-to-end stories' seed.
    for (const unsigned seed : {0u, 1u, 2u, 555630u, 123456789u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        GlibcRandom ours(seed);
        std::srand(seed);
        for (int draw = 0; draw < 2000; ++draw) {
            ASSERT_EQ(ours.Next(), std::rand()) << "seed " << seed << ", draw " << draw;
        }
    }
    // Seeding again starts over.
    GlibcRandom ours(7);
    ours.Next();
    ours.Seed(7);
    std::srand(7);
    EXPECT_EQ(ours.Next(), std::rand());
}

}  // namespace platform
