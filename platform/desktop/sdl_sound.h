// The desktop's sound output: SDL2 audio in queue mode.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/core/sound_output.h"

namespace platform {

// One audio device at 44100 Hz, 16-bit stereo, opened on the first play. Each WAVE image is
// decoded and converted once and kept by address and size, so images must stay unchanged at
// their address while the output lives (resources do, for the life of the process).
//
// Play and Stop are called from one thread. The first asynchronous play of an image hands
// its conversion (resampling a second of sound costs milliseconds) to a thread of the
// output's own, so that the call returns at once; every later play queues at once.
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
    int Conversions() const;

private:
    using Pcm = std::vector<std::uint8_t>;
    struct Request {
        const void* wave;
        std::size_t size;
        std::uint64_t generation;
    };

    bool EnsureDevice();
    // The image as device-format PCM once converted, or null.
    const Pcm* Cached(const void* wave, std::size_t size);
    // The image as device-format PCM, converting it if need be; null when it cannot be decoded.
    const Pcm* Converted(const void* wave, std::size_t size);
    // Replaces what is queued by `pcm`, unless a later play or stop came in the meantime.
    bool QueueIfCurrent(const Pcm& pcm, std::uint64_t generation);
    void Convert();
    void Close();

    std::uint32_t device_ = 0;  // an SDL_AudioDeviceID; 0 while closed
    bool holdsSubsystem_ = false;
    bool everTried_ = false;
    std::int64_t lastFailureMs_ = 0;  // steady clock
    int openAttempts_ = 0;

    mutable std::mutex pcmLock_;  // guards pcm_ and conversions_; held briefly
    std::map<std::pair<const void*, std::size_t>, Pcm> pcm_;
    int conversions_ = 0;
    std::mutex conversionLock_;  // one conversion at a time, so none is done twice

    // Guards the request, the generation and the device's queue. Every play and stop moves
    // the generation on, so a conversion that finishes late never cuts a newer sound off.
    std::mutex requestLock_;
    std::condition_variable requestReady_;
    std::optional<Request> request_;
    std::uint64_t generation_ = 0;
    bool stopping_ = false;
    std::thread converter_;
};

}  // namespace platform
