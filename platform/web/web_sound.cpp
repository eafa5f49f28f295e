#include "platform/web/web_sound.h"

#include <emscripten.h>

#include "platform/core/wave.h"

// clang-format off
EM_JS(int, chalkmere_sound_play, (const void* key, const void* samples, int frames, int channels,
                                  int bits, int rate), {
    return ChalkmereWeb.play(key, samples, frames, channels, bits, rate) !== null ? 1 : 0;
});
EM_ASYNC_JS(int, chalkmere_sound_play_until_heard, (const void* key, const void* samples,
                                                    int frames, int channels, int bits, int rate), {
    const ended = ChalkmereWeb.play(key, samples, frames, channels, bits, rate);
    if (ended === null) return 0;
    await ended;
    return 1;
});
EM_JS(void, chalkmere_sound_stop, (), { ChalkmereWeb.stop(); });
// clang-format on

namespace platform {

BOOL WebSound::Play(const void* wave, std::size_t size, UINT flags) {
    WaveImage image;
    if (!ReadWave(wave, size, image) || image.Frames() == 0) return FALSE;
    const int frames = static_cast<int>(image.Frames());
    const int played =
        (flags & SND_ASYNC) != 0
            ? chalkmere_sound_play(wave, image.samples, frames, image.channels,
                                   image.bitsPerSample, image.rate)
            : chalkmere_sound_play_until_heard(wave, image.samples, frames, image.channels,
                                               image.bitsPerSample, image.rate);
    return played != 0 ? TRUE : FALSE;
}

void WebSound::Stop() { chalkmere_sound_stop(); }

}  // namespace platform
