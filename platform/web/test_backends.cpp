// The backends the browser's test program runs on: the baked glyphs, which have the desktop's
// pixels.
#include "platform/testing/testing.h"
#include "platform/web/baked_text.h"

namespace platform::testing {

void InstallTestBackends() {
    static BakedText text;
    SetTextBackend(&text);
}

}  // namespace platform::testing
