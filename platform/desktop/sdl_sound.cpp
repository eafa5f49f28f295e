// Whole sounds are converted with SDL_AudioCVT: SDL 2.26's SDL_AudioStream drops the last
// 2048 frames of a flushed stream, which would clip every short sound.
#include "platform/desktop/sdl_sound.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/core/wave.h"

namespace platform {
namespace {

constexpr int kRate = 44100;
constexpr SDL_AudioFormat kFormat = AUDIO_S16SYS;
constexpr int kChannels = 2;
// A power of two (441 corrupts the heap in SDL's dummy driver), and small: a synchronous
// click is heard a buffer's time after its last sample left the queue, and an answer card's
// tap takes effect only then.
constexpr int kBufferFrames = 512;
// One device buffer's playing time, rounded up.
constexpr Uint32 kBufferMs = (kBufferFrames * 1000 + kRate - 1) / kRate;
// Without a sound card each attempt costs ALSA's probing and a screenful of its complaints.
constexpr Uint32 kRetryMs = 3000;
// How long a device stays open after its last sound: taps in a row find it open.
constexpr Uint32 kSilentCloseMs = 3000;

Uint32 PlayingMs(std::size_t bytes) {
    return static_cast<Uint32>(bytes / (kChannels * 2) * 1000 / kRate) + 1;
}

}  // namespace

SdlSoundOutput::~SdlSoundOutput() {
    if (converter_.joinable()) converter_.join();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    wake_.notify_all();
    if (closer_.joinable()) closer_.join();
    Close();
}

void SdlSoundOutput::KeepOpenFor(std::uint32_t ms) {
    silentUntil_ = std::max(silentUntil_,
                            std::chrono::steady_clock::now() + std::chrono::milliseconds(ms));
    if (closerRunning_) return;
    // One that closed a device has let go of the lock for good: joining cannot wait on us.
    if (closer_.joinable()) closer_.join();
    closerRunning_ = true;
    closer_ = std::thread([this] { CloseWhenSilent(); });
}

void SdlSoundOutput::CloseWhenSilent() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!closing_ && device_ != 0) {
        wake_.wait_until(lock, silentUntil_);
        const auto now = std::chrono::steady_clock::now();
        if (closing_ || now < silentUntil_) continue;
        if (SDL_GetQueuedAudioSize(device_) > 0) {
            silentUntil_ = now + std::chrono::milliseconds(kSilentCloseMs);
            continue;
        }
        // Only the device: the audio subsystem is the owner's to quit, on its own thread.
        SDL_CloseAudioDevice(device_);
        device_ = 0;
    }
    closerRunning_ = false;
}

BOOL SdlSoundOutput::Play(const void* wave, std::size_t size, UINT flags) {
    if (converter_.joinable()) converter_.join();
    std::unique_lock<std::mutex> lock(mutex_);
    if (wave == nullptr || !EnsureDevice()) return FALSE;
    KeepOpenFor(kSilentCloseMs);
    const bool asynchronous = (flags & SND_ASYNC) != 0;
    if (asynchronous && pcm_.count({wave, size}) == 0) {
        // An image that cannot be read fails now, not on the thread.
        WaveImage image;
        if (!ReadWave(wave, size, image)) return FALSE;
        converter_ = std::thread([this, wave, size] {
            if (const Pcm* pcm = Converted(wave, size)) {
                std::lock_guard<std::mutex> queueing(mutex_);
                Queue(*pcm);
            }
        });
        return TRUE;
    }
    const Pcm* pcm = Converted(wave, size);
    if (pcm == nullptr || !Queue(*pcm)) return FALSE;
    if (asynchronous) return TRUE;

    // The lock is held while the sound is heard, so the device is not closed under it. An
    // empty queue means the last piece has gone into the device's buffer; it is heard one
    // buffer later. A lost device still drains its queue, but need not be waited for.
    while (SDL_GetQueuedAudioSize(device_) > 0 &&
           SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_PLAYING) {
        SDL_Delay(1);
    }
    SDL_Delay(kBufferMs);
    return TRUE;
}

void SdlSoundOutput::Stop() {
    if (converter_.joinable()) converter_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    if (device_ != 0) SDL_ClearQueuedAudio(device_);
}

int SdlSoundOutput::Conversions() {
    if (converter_.joinable()) converter_.join();
    return static_cast<int>(pcm_.size());
}

bool SdlSoundOutput::Queue(const Pcm& pcm) {
    if (device_ == 0) return false;
    KeepOpenFor(PlayingMs(pcm.size()) + kSilentCloseMs);
    // Under the device's lock it cannot take a buffer between the two calls, so the old sound
    // stops at a buffer boundary and no gap of silence precedes the new one.
    SDL_LockAudioDevice(device_);
    SDL_ClearQueuedAudio(device_);
    const int queued = SDL_QueueAudio(device_, pcm.data(), static_cast<Uint32>(pcm.size()));
    SDL_UnlockAudioDevice(device_);
    if (queued != 0) return false;
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

bool SdlSoundOutput::EnsureDevice() {
    // A device that went away (unplugged headphones) is given up and looked for again.
    if (device_ != 0 && SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED) Close();
    if (device_ != 0) return true;
    if (everTried_ && SDL_GetTicks() - lastFailureMs_ < kRetryMs) return false;
    everTried_ = true;
    ++openAttempts_;

    // Reference-counted in SDL: our share keeps the device alive whatever else starts or
    // stops audio.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        SDL_AudioSpec wanted{};
        wanted.freq = kRate;
        wanted.format = kFormat;
        wanted.channels = kChannels;
        wanted.samples = kBufferFrames;
        wanted.callback = nullptr;
        SDL_AudioSpec obtained{};
        // No changes allowed: SDL converts to what the hardware wants, so our PCM fits as is.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        if (device_ != 0) {
            holdsSubsystem_ = true;
            return true;
        }
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    lastFailureMs_ = SDL_GetTicks();
    return false;
}

const SdlSoundOutput::Pcm* SdlSoundOutput::Converted(const void* wave, std::size_t size) {
    const auto key = std::make_pair(wave, size);
    const auto done = pcm_.find(key);
    if (done != pcm_.end()) return &done->second;

    WaveImage image;
    if (!ReadWave(wave, size, image)) return nullptr;
    const SDL_AudioFormat format = image.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    SDL_AudioCVT cvt;
    const int built = SDL_BuildAudioCVT(&cvt, format, static_cast<Uint8>(image.channels),
                                        image.rate, kFormat, kChannels, kRate);
    if (built < 0 || image.bytes > static_cast<std::size_t>(INT_MAX / cvt.len_mult)) {
        return nullptr;
    }
    Pcm pcm(image.bytes * cvt.len_mult);
    if (image.bytes > 0) std::memcpy(pcm.data(), image.samples, image.bytes);
    if (built == 1 && image.bytes > 0) {
        cvt.buf = pcm.data();
        cvt.len = static_cast<int>(image.bytes);
        if (SDL_ConvertAudio(&cvt) != 0) return nullptr;
        pcm.resize(static_cast<std::size_t>(cvt.len_cvt));
    } else {
        pcm.resize(image.bytes);
    }
    pcm.shrink_to_fit();
    return &pcm_.emplace(key, std::move(pcm)).first->second;
}

void SdlSoundOutput::Close() {
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    device_ = 0;
    if (holdsSubsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    holdsSubsystem_ = false;
}

}  // namespace platform
