// Sound on an SDL2 audio device in queue mode: playing replaces whatever is still queued.
// Whole sounds are converted with SDL_AudioCVT; SDL 2.26's SDL_AudioStream drops the last
// 2048 frames of a flushed stream, which would clip every short sound.
#include "platform/desktop/sdl_sound.h"

#include <SDL.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
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
constexpr std::int64_t kRetryMs = 3000;

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

SdlSoundOutput::~SdlSoundOutput() {
    {
        const std::lock_guard<std::mutex> guard(requestLock_);
        stopping_ = true;
    }
    requestReady_.notify_one();
    if (converter_.joinable()) converter_.join();
    Close();
}

BOOL SdlSoundOutput::Play(const void* wave, std::size_t size, UINT flags) {
    if (wave == nullptr || !EnsureDevice()) return FALSE;
    std::uint64_t generation = 0;
    {
        const std::lock_guard<std::mutex> guard(requestLock_);
        generation = ++generation_;
        request_.reset();
    }
    const bool asynchronous = (flags & SND_ASYNC) != 0;
    const Pcm* pcm = Cached(wave, size);
    if (pcm == nullptr && asynchronous) {
        // An image that cannot even be read fails now rather than on the converter.
        WaveImage image;
        if (!ReadWave(wave, size, image)) return FALSE;
        if (!converter_.joinable()) converter_ = std::thread([this] { Convert(); });
        {
            const std::lock_guard<std::mutex> guard(requestLock_);
            request_ = Request{wave, size, generation};
        }
        requestReady_.notify_one();
        return TRUE;
    }
    if (pcm == nullptr) pcm = Converted(wave, size);
    if (pcm == nullptr || !QueueIfCurrent(*pcm, generation)) return FALSE;
    if (asynchronous) return TRUE;

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
    const std::lock_guard<std::mutex> guard(requestLock_);
    ++generation_;
    request_.reset();
    if (device_ != 0) SDL_ClearQueuedAudio(device_);
}

bool SdlSoundOutput::QueueIfCurrent(const Pcm& pcm, std::uint64_t generation) {
    const std::lock_guard<std::mutex> guard(requestLock_);
    // A play or stop that came later has the last word: nothing to do, and no failure.
    if (generation != generation_) return true;
    if (device_ == 0) return false;
    // Under the device's lock it cannot take a buffer between the two calls, so the old
    // sound stops at a buffer boundary and no gap of silence precedes the new one.
    SDL_LockAudioDevice(device_);
    SDL_ClearQueuedAudio(device_);
    const int queued = SDL_QueueAudio(device_, pcm.data(), static_cast<Uint32>(pcm.size()));
    SDL_UnlockAudioDevice(device_);
    if (queued != 0) return false;
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

void SdlSoundOutput::Convert() {
    // Behind the program's own thread and the display server: at start-up the first frame
    // matters more than how soon the tune starts. (On Linux the nice value is per thread.)
    setpriority(PRIO_PROCESS, 0, 10);
    for (;;) {
        Request request{};
        {
            std::unique_lock<std::mutex> lock(requestLock_);
            requestReady_.wait(lock, [this] { return stopping_ || request_.has_value(); });
            if (stopping_) return;
            request = *request_;
            request_.reset();
        }
        if (const Pcm* pcm = Converted(request.wave, request.size)) {
            QueueIfCurrent(*pcm, request.generation);
        }
    }
}

int SdlSoundOutput::Conversions() const {
    const std::lock_guard<std::mutex> guard(pcmLock_);
    return conversions_;
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

const SdlSoundOutput::Pcm* SdlSoundOutput::Cached(const void* wave, std::size_t size) {
    const std::lock_guard<std::mutex> guard(pcmLock_);
    const auto found = pcm_.find(std::make_pair(wave, size));
    return found != pcm_.end() ? &found->second : nullptr;
}

const SdlSoundOutput::Pcm* SdlSoundOutput::Converted(const void* wave, std::size_t size) {
    const std::lock_guard<std::mutex> converting(conversionLock_);
    if (const Pcm* done = Cached(wave, size)) return done;
    if (size > static_cast<std::size_t>(INT_MAX)) return nullptr;

    WaveImage image;
    if (!ReadWave(wave, size, image)) return nullptr;
    const SDL_AudioFormat format = image.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    SDL_AudioCVT cvt;
    const int built =
        SDL_BuildAudioCVT(&cvt, format, static_cast<Uint8>(image.channels), image.rate, kFormat,
                          kChannels, kRate);
    if (built < 0 || image.bytes > static_cast<std::size_t>(INT_MAX / cvt.len_mult)) {
        return nullptr;
    }
    const auto length = static_cast<Uint32>(image.bytes);

    std::vector<std::uint8_t> pcm(static_cast<std::size_t>(length) * cvt.len_mult);
    if (length > 0) std::memcpy(pcm.data(), image.samples, length);
    if (built == 1 && length > 0) {
        cvt.buf = pcm.data();
        cvt.len = static_cast<int>(length);
        if (SDL_ConvertAudio(&cvt) != 0) return nullptr;
        pcm.resize(static_cast<std::size_t>(cvt.len_cvt));
    } else {
        pcm.resize(length);
    }
    pcm.shrink_to_fit();
    const std::lock_guard<std::mutex> guard(pcmLock_);
    ++conversions_;
    return &pcm_.emplace(std::make_pair(wave, size), std::move(pcm)).first->second;
}

void SdlSoundOutput::Close() {
    const std::lock_guard<std::mutex> guard(requestLock_);
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    device_ = 0;
    if (holdsSubsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    holdsSubsystem_ = false;
}

}  // namespace platform
