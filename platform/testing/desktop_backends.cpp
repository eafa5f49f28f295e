// The backends the desktop's test programs run on.
#include "platform/desktop/freetype_text.h"
#include "platform/testing/testing.h"

namespace platform::testing {

void InstallTestBackends() {
    static FreeTypeText text;
    SetTextBackend(&text);
}

}  // namespace platform::testing
