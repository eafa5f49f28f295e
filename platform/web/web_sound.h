// The browser's sound output: Web Audio, each WAVE image decoded once. Browsers let sound
// start only after the user's first gesture, so what plays before the first tap is lost.
#pragma once

#include "platform/core/sound_output.h"

namespace platform {

class WebSound : public SoundOutput {
public:
    // Without SND_ASYNC the program waits (yielding to the page) until the sound has ended.
    BOOL Play(const void* wave, std::size_t size, UINT flags) override;
    void Stop() override;
};

}  // namespace platform
