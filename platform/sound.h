// Where sndPlaySoundW sends its sounds: the SDL audio device in the program, a recorder in
// tests, or nothing. Internal to platform/.
#pragma once

#include <cstddef>

#include "platform/win32.h"

namespace platform {

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // `wave` is a whole RIFF/WAVE image of `size` bytes; `flags` as given to sndPlaySoundW.
    virtual BOOL Play(const void* wave, std::size_t size, UINT flags) = 0;
    virtual void Stop() = 0;
};

// The output in use; null (the default) means no sound can be played.
SoundOutput* CurrentSoundOutput();
void SetSoundOutput(SoundOutput* output);

}  // namespace platform
