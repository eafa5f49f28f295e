// The process's start-up code: sound on the desktop's audio device, the program's entry
// with the handheld's arguments, and the desktop closed cleanly afterwards.
#include <SDL.h>

#include <memory>

#include "platform/sdl_display.h"
#include "platform/sdl_sound.h"
#include "platform/sound.h"
#include "platform/win32.h"
#include "platform/window.h"

int main() {
    std::unique_ptr<platform::SoundOutput> sound = platform::MakeSdlSoundOutput();
    platform::SetSoundOutput(sound.get());
    WCHAR commandLine[1] = {0};
    const int exitCode = WinMain(GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOW);
    // An exit that posted WM_DESTROY leaves its window for us to free.
    platform::FreeAllWindows();
    platform::SetSoundOutput(nullptr);
    sound.reset();
    platform::ShutDownDesktop();
    SDL_Quit();
    return exitCode;
}
