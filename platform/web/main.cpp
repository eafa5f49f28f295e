// The page's start-up code: the block of the reader's language added to the program's
// resources (the page fetched it beside the program), the reader's languages handed to the
// resource loaders, the browser's backends installed and the program's entry called. The
// entry runs its own loop; Asyncify lets it yield to the page whenever it waits.
#include <string>
#include <vector>

#include "platform/core/resource_loading.h"
#include "platform/core/utf16.h"
#include "platform/core/window.h"
#include "platform/web/baked_text.h"
#include "platform/web/language_pack.h"
#include "platform/web/web_display.h"
#include "platform/web/web_instance.h"
#include "platform/web/web_sound.h"
#include "platform/web/web_store.h"
#include "platform/win32.h"
#include "resources/ResourceIds.h"

#include <emscripten.h>

// clang-format off
EM_JS(void, chalkmere_finished, (int ending), { ChalkmereWeb.finished(ending); });
EM_ASYNC_JS(int, chalkmere_language_pack_size, (), {
    return await ChalkmereWeb.languagePackSize();
});
EM_JS(void, chalkmere_language_pack_copy, (unsigned char* to), {
    ChalkmereWeb.languagePackCopy(to);
});
EM_JS(void, chalkmere_preferred_languages, (char16_t* list, int capacity), {
    ChalkmereWeb.preferredLanguages(list, capacity);
});
EM_JS(void, chalkmere_speak, (const char* language, const char* ended, const char* playAgain,
                              const char* alreadyOpen, const char* cannotDraw), {
    ChalkmereWeb.speak(UTF8ToString(language), [UTF8ToString(ended), UTF8ToString(playAgain),
                       UTF8ToString(alreadyOpen), UTF8ToString(cannotDraw)]);
});
// clang-format on

using namespace platform;

namespace {

std::string Loaded(UINT id) {
    WCHAR text[200];
    LoadStringW(GetModuleHandleW(nullptr), id, text, 200);
    return Utf8FromWide(text);
}

// Kept for the program's life: the resources point into the bytes.
void AddLanguagePack() {
    static std::vector<unsigned char> bytes;
    static std::vector<Resource> resources;
    const int size = chalkmere_language_pack_size();
    if (size <= 0) return;
    bytes.resize(static_cast<std::size_t>(size));
    chalkmere_language_pack_copy(bytes.data());
    if (ReadLanguagePack(bytes.data(), bytes.size(), resources)) {
        AddResourceModule(ResourceModule{resources.data(), resources.size()});
    }
}

// The resource loaders choose the block of the reader's language; the page then speaks it too:
// its language (for screen readers) and the notices the program's end leaves.
void ChooseLanguage() {
    WCHAR languages[512];
    chalkmere_preferred_languages(languages, 512);
    SetThreadPreferredUILanguages(MUI_LANGUAGE_NAME, languages, nullptr);
    chalkmere_speak(Loaded(IDS_LANGUAGE).c_str(), Loaded(IDS_PAGE_ENDED).c_str(),
                    Loaded(IDS_PAGE_PLAY_AGAIN).c_str(), Loaded(IDS_PAGE_ALREADY_OPEN).c_str(),
                    Loaded(IDS_PAGE_CANNOT_DRAW).c_str());
}

}  // namespace

int main() {
    AddLanguagePack();
    ChooseLanguage();
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
