// sndPlaySoundW: checks the call and hands the WAVE image to the current output.
#include "platform/sound.h"

#include <cstring>

namespace platform {
namespace {

SoundOutput*& Output() {
    static SoundOutput* output = nullptr;
    return output;
}

}  // namespace

SoundOutput* CurrentSoundOutput() { return Output(); }

void SetSoundOutput(SoundOutput* output) { Output() = output; }

}  // namespace platform

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
    const auto* bytes = reinterpret_cast<const unsigned char*>(sound);
    if (std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) {
        return FALSE;
    }
    const std::size_t size =
        8 + (static_cast<std::size_t>(bytes[4]) | (static_cast<std::size_t>(bytes[5]) << 8) |
             (static_cast<std::size_t>(bytes[6]) << 16) |
             (static_cast<std::size_t>(bytes[7]) << 24));
    return output != nullptr ? output->Play(sound, size, flags) : FALSE;
}
