// The sound output of the real program: SDL2 audio in queue mode. Internal to platform/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/sound.h"

namespace platform {

// One audio device at 44100 Hz, 16-bit stereo, opened on the first play. Each WAVE image is
// decoded and converted once and kept by address and size, so images must stay unchanged at
// their address while the output lives (resources do, for the life of the process).
// Used from one thread.
class SdlSoundOutput : public SoundOutput {
public:
    SdlSoundOutput() = default;
    ~SdlSoundOutput() override;
    SdlSoundOutput(const SdlSoundOutput&) = delete;
    SdlSoundOutput& operator=(const SdlSoundOutput&) = delete;

    BOOL Play(const void* wave, std::size_t size, UINT flags) override;
    void Stop() override;

    // For tests and diagnostics: how often a device was asked for, and how many WAVE images
    // were decoded and converted.
    int OpenAttempts() const { return openAttempts_; }
    int Conversions() const { return conversions_; }

private:
    bool EnsureDevice();
    // The image as device-format PCM, or null when it cannot be decoded.
    const std::vector<std::uint8_t>* Converted(const void* wave, std::size_t size);
    void Close();

    std::uint32_t device_ = 0;  // an SDL_AudioDeviceID; 0 while closed
    bool holdsSubsystem_ = false;
    bool everTried_ = false;
    std::int64_t lastFailureMs_ = 0;  // steady clock
    int openAttempts_ = 0;
    int conversions_ = 0;
    std::map<std::pair<const void*, std::size_t>, std::vector<std::uint8_t>> pcm_;
};

// What the program's start-up installs with SetSoundOutput and keeps until exit.
std::unique_ptr<SoundOutput> MakeSdlSoundOutput();

}  // namespace platform
