// The page's start-up code: the browser's backends installed and the program's entry called.
// The entry runs its own loop; Asyncify lets it yield to the page whenever it waits.
#include "platform/core/window.h"
#include "platform/web/baked_text.h"
#include "platform/web/web_display.h"
#include "platform/web/web_instance.h"
#include "platform/web/web_sound.h"
#include "platform/web/web_store.h"
#include "platform/win32.h"

#include <emscripten.h>

// clang-format off
EM_JS(void, chalkmere_finished, (int ending), { ChalkmereWeb.finished(ending); });
// clang-format on

using namespace platform;

int main() {
    WebDisplay display;
    WebSound sound;
    BakedText text;
    WebStore registry;
    // Every stored value is in memory before the program's first read.
    registry.Open();
    WebInstance instances;
    SetDisplay(&display);
    SetSoundOutput(&sound);
    SetTextBackend(&text);
    SetRegistryStore(&registry);
    SetInstanceBackend(&instances);

    WCHAR commandLine[1] = {0};
    const int exitCode = WinMain(GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOW);
    FreeAllWindows();
    chalkmere_finished(static_cast<int>(display.HowItEnded()));

    SetInstanceBackend(nullptr);
    SetRegistryStore(nullptr);
    SetSoundOutput(nullptr);
    SetDisplay(nullptr);
    return exitCode;
}
