// The sound contract: where sndPlaySoundW sends its WAVE images.
#pragma once

#include <cstddef>

#include "platform/win32.h"

namespace platform {

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // `wave` is a whole RIFF/WAVE image of `size` bytes that stays unchanged at its address
    // for the life of the process. With SND_ASYNC in `flags` the call returns at once and
    // cuts off what is playing; without it, it returns when the sound has been heard.
    virtual BOOL Play(const void* wave, std::size_t size, UINT flags) = 0;
    virtual void Stop() = 0;
};

// The output in use; null (the default) means no sound can be played.
SoundOutput* CurrentSoundOutput();
void SetSoundOutput(SoundOutput* output);

}  // namespace platform
