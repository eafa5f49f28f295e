// The process's start-up code on the desktop: the command line answered, the backends
// installed, the program's entry called with the handheld's arguments, and everything closed
// cleanly afterwards.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/core/languages.h"
#include "platform/core/window.h"
#include "platform/desktop/command_line.h"
#include "platform/desktop/data_folder.h"
#include "platform/desktop/freetype_text.h"
#include "platform/desktop/sdl_display.h"
#include "platform/desktop/sdl_sound.h"
#include "platform/desktop/socket_instance.h"
#include "platform/desktop/sqlite_store.h"
#include "platform/desktop/tracing_display.h"
#include "platform/win32.h"

using namespace platform;

namespace {

int RunProgram() {
    const std::string dataFolder = UserDataFolder();
    SdlDisplay display;
    std::unique_ptr<TracingDisplay> tracing;
    std::FILE* trace = nullptr;
    if (const char* tracePath = std::getenv("CHALKMERE_TRACE")) {
        trace = std::fopen(tracePath, "a");
        if (trace != nullptr) tracing = std::make_unique<TracingDisplay>(display, trace);
    }
    SdlSoundOutput sound;
    FreeTypeText text;
    SqliteStore registry(dataFolder.empty() ? std::string()
                                            : dataFolder + "/chalkmere/registry.db");
    SocketInstance instances(dataFolder);
    instances.SetWake(&SdlDisplay::Wake);
    SetDisplay(tracing != nullptr ? static_cast<DisplayBackend*>(tracing.get()) : &display);
    SetSoundOutput(&sound);
    SetTextBackend(&text);
    SetRegistryStore(&registry);
    SetInstanceBackend(&instances);

    WCHAR commandLine[1] = {0};
    int exitCode = WinMain(GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOW);
    // The entry gives up quietly when its window cannot be made; a game nobody can see must
    // not look like a success, nor leave a window behind that blocks the next start.
    if (exitCode == 0 && !display.OpenError().empty() && LiveWindows().empty()) {
        std::fprintf(stderr, "chalkmere: %s\n", display.OpenError().c_str());
        exitCode = 1;
    }

    // An exit that posted WM_DESTROY leaves its window for us to free.
    FreeAllWindows();
    SetInstanceBackend(nullptr);
    SetRegistryStore(nullptr);
    SetSoundOutput(nullptr);
    SetDisplay(nullptr);
    if (trace != nullptr) std::fclose(trace);
    return exitCode;
}

// The languages the user asked for, or those the environment prefers, for the resource
// loaders; without any, or with none the program has, it speaks English.
void ChooseLanguages(const std::optional<std::string>& forced) {
    const std::vector<std::string> names =
        forced ? std::vector<std::string>{*forced}
               : PosixPreferredLanguages(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                                         std::getenv("LC_MESSAGES"), std::getenv("LANG"));
    std::u16string list;
    for (const std::string& name : names) {
        list.append(name.begin(), name.end());  // a code is ASCII; anything else is no code
        list += u'\0';
    }
    list += u'\0';
    SetThreadPreferredUILanguages(MUI_LANGUAGE_NAME, list.c_str(), nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    ChooseLanguages(LanguageOption(argc, argv));
    if (const auto answered = AnswerCommandLine(argc, argv, stdout, stderr)) return *answered;
    const int exitCode = RunProgram();
    // After every backend has let go of what it held.
    SDL_Quit();
    return exitCode;
}
