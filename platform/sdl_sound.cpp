// Sound on an SDL2 audio device in queue mode: playing replaces whatever is still queued.
// Whole sounds are converted with SDL_AudioCVT; SDL 2.26's SDL_AudioStream drops the last
// 2048 frames of a flushed stream, which would clip every short sound.
#include "platform/sdl_sound.h"

#include <SDL.h>

#include <chrono>
#include <climits>
#include <cstring>

namespace platform {
namespace {

constexpr int kRate = 44100;
constexpr SDL_AudioFormat kFormat = AUDIO_S16SYS;
constexpr int kChannels = 2;
// A power of two: 441 corrupts the heap in SDL's dummy driver.
constexpr int kBufferFrames = 1024;
// One device buffer's playing time, rounded up.
constexpr Uint32 kBufferMs = (kBufferFrames * 1000 + kRate - 1) / kRate;
// Without a sound card each attempt costs ALSA's probing and a screenful of its complaints.
constexpr std::int64_t kRetryMs = 3000;

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

SdlSoundOutput::~SdlSoundOutput() { Close(); }

BOOL SdlSoundOutput::Play(const void* wave, std::size_t size, UINT flags) {
    if (wave == nullptr || !EnsureDevice()) return FALSE;
    const std::vector<std::uint8_t>* pcm = Converted(wave, size);
    if (pcm == nullptr) return FALSE;

    // Under the lock the device cannot take a buffer between the two calls, so the old sound
    // stops at a buffer boundary and no gap of silence precedes the new one.
    SDL_LockAudioDevice(device_);
    SDL_ClearQueuedAudio(device_);
    const int queued = SDL_QueueAudio(device_, pcm->data(), static_cast<Uint32>(pcm->size()));
    SDL_UnlockAudioDevice(device_);
    if (queued != 0) return FALSE;
    SDL_PauseAudioDevice(device_, 0);
    if ((flags & SND_ASYNC) != 0) return TRUE;

    // An empty queue means the last piece has gone into the device's buffer; it is heard
    // one buffer later. A lost device still drains its queue, but need not be waited for.
    while (SDL_GetQueuedAudioSize(device_) > 0 &&
           SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_PLAYING) {
        SDL_Delay(1);
    }
    SDL_Delay(kBufferMs);
    return TRUE;
}

void SdlSoundOutput::Stop() {
    if (device_ != 0) SDL_ClearQueuedAudio(device_);
}

bool SdlSoundOutput::EnsureDevice() {
    // A device that went away (unplugged headphones) is given up and looked for again.
    if (device_ != 0 && SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED) Close();
    if (device_ != 0) return true;
    if (everTried_ && NowMs() - lastFailureMs_ < kRetryMs) return false;
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
    lastFailureMs_ = NowMs();
    return false;
}

const std::vector<std::uint8_t>* SdlSoundOutput::Converted(const void* wave, std::size_t size) {
    const auto key = std::make_pair(wave, size);
    if (auto found = pcm_.find(key); found != pcm_.end()) return &found->second;
    if (size > static_cast<std::size_t>(INT_MAX)) return nullptr;

    SDL_RWops* stream = SDL_RWFromConstMem(wave, static_cast<int>(size));
    SDL_AudioSpec spec{};
    Uint8* samples = nullptr;
    Uint32 length = 0;
    if (stream == nullptr || SDL_LoadWAV_RW(stream, 1, &spec, &samples, &length) == nullptr) {
        return nullptr;
    }
    const std::unique_ptr<Uint8, decltype(&SDL_FreeWAV)> decoded(samples, &SDL_FreeWAV);

    SDL_AudioCVT cvt;
    const int built =
        SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, kFormat, kChannels, kRate);
    if (built < 0) return nullptr;
    const Uint32 frameBytes = SDL_AUDIO_BITSIZE(spec.format) / 8 * spec.channels;
    length -= length % frameBytes;
    if (length > static_cast<Uint32>(INT_MAX / cvt.len_mult)) return nullptr;

    std::vector<std::uint8_t> pcm(static_cast<std::size_t>(length) * cvt.len_mult);
    if (length > 0) std::memcpy(pcm.data(), samples, length);
    if (built == 1 && length > 0) {
        cvt.buf = pcm.data();
        cvt.len = static_cast<int>(length);
        if (SDL_ConvertAudio(&cvt) != 0) return nullptr;
        pcm.resize(static_cast<std::size_t>(cvt.len_cvt));
    } else {
        pcm.resize(length);
    }
    pcm.shrink_to_fit();
    ++conversions_;
    return &pcm_.emplace(key, std::move(pcm)).first->second;
}

void SdlSoundOutput::Close() {
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    device_ = 0;
    if (holdsSubsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    holdsSubsystem_ = false;
}

std::unique_ptr<SoundOutput> MakeSdlSoundOutput() { return std::make_unique<SdlSoundOutput>(); }

}  // namespace platform
