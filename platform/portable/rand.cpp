// rand() and srand() for the browser's build. Its C library (musl) draws other numbers than
// the desktop's from the same seed; these give the desktop's, so the drill is the same.
#include <cstdlib>

#include "platform/portable/glibc_random.h"

namespace {

platform::GlibcRandom& Generator() {
    static platform::GlibcRandom generator;
    return generator;
}

}  // namespace

extern "C" void srand(unsigned seed) { Generator().Seed(seed); }

extern "C" int rand() { return Generator().Next(); }
