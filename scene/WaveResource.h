// Sound resources of the program, loaded once by their users and never released.
#pragma once

#include "platform/win32.h"

// The whole RIFF/WAVE image of WAVE resource `id` of the program's own module, or null.
inline const void* LoadWaveResource(int id) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), TEXT("WAVE"));
    return resource != nullptr ? LockResource(LoadResource(module, resource)) : nullptr;
}

// Plays a loaded WAVE image; asynchronous play returns at once, synchronous play when the
// sound has been heard. Nothing happens for a sound that failed to load.
inline void PlayWave(const void* wave, bool asynchronous) {
    if (wave != nullptr) {
        sndPlaySoundW(static_cast<LPCWSTR>(wave),
                      asynchronous ? SND_ASYNC | SND_MEMORY : SND_MEMORY);
    }
}
