// The desktop's sound output: SDL2 audio in queue mode.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/core/sound_output.h"

namespace platform {

// One audio device at 44100 Hz, 16-bit stereo, opened on the first play. Each WAVE image is
// converted to the device's format on its first play and kept by address and size, so
// images must stay unchanged at their address while the output lives (resources do, for the
// life of the process). Playing replaces whatever is still queued.
//
// Play and Stop are called from one thread. Resampling a second of sound costs a few
// milliseconds, which the start-up tune would add to the first frame: the first asynchronous
// play of an image converts and queues it on a thread of its own, and every later call
// waits for that thread first, so nothing else is ever shared with it.
//
// An open device's thread wakes at every buffer even while nothing plays: a few seconds after
// the last sound has been heard the device is closed by a thread that waits for that moment,
// and the next play opens it again. The device is used under mutex_.
class SdlSoundOutput : public SoundOutput {
public:
    SdlSoundOutput() = default;
    ~SdlSoundOutput() override;
    SdlSoundOutput(const SdlSoundOutput&) = delete;
    SdlSoundOutput& operator=(const SdlSoundOutput&) = delete;

    BOOL Play(const void* wave, std::size_t size, UINT flags) override;
    void Stop() override;

    // For tests and diagnostics: how often a device was asked for, and how many WAVE images
    // were converted.
    int OpenAttempts() const { return openAttempts_; }
    int Conversions();

private:
    using Pcm = std::vector<std::uint8_t>;

    bool EnsureDevice();
    // The image as device-format PCM, converted on first use; null when it cannot be read.
    const Pcm* Converted(const void* wave, std::size_t size);
    // Replaces what is queued by the sound.
    bool Queue(const Pcm& pcm);
    void Close();
    // Keeps the device open until `ms` past now (under mutex_), starting the thread that
    // closes it once that moment has passed with nothing queued.
    void KeepOpenFor(std::uint32_t ms);
    void CloseWhenSilent();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::chrono::steady_clock::time_point silentUntil_;
    bool closing_ = false;  // the output is going away
    bool closerRunning_ = false;
    std::thread closer_;
    std::uint32_t device_ = 0;  // an SDL_AudioDeviceID; 0 while closed
    bool holdsSubsystem_ = false;
    bool everTried_ = false;
    std::uint32_t lastFailureMs_ = 0;
    int openAttempts_ = 0;
    std::map<std::pair<const void*, std::size_t>, Pcm> pcm_;
    std::thread converter_;
};

}  // namespace platform
