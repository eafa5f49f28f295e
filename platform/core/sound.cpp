// sndPlaySoundW: checks the call and hands the WAVE image to the current output.
#include "platform/core/sound_output.h"
#include "platform/core/wave.h"

using namespace platform;

BOOL sndPlaySoundW(LPCWSTR sound, UINT flags) {
    SoundOutput* output = CurrentSoundOutput();
    if (sound == nullptr) {
        if (output != nullptr) output->Stop();
        return TRUE;
    }
    // Only whole WAVE images in memory are played; sound files and aliases do not exist here.
    constexpr UINT kSupported = SND_ASYNC | SND_NODEFAULT | SND_MEMORY;
    if ((flags & SND_MEMORY) == 0 || (flags & ~kSupported) != 0) return FALSE;
    const std::size_t size = RiffImageSize(sound);
    if (size == 0) return FALSE;
    return output != nullptr ? output->Play(sound, size, flags) : FALSE;
}
