// RIFF/WAVE images: the one reader of their format, for every sound backend and the tests.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// Uncompressed PCM as a WAVE image holds it: 8-bit samples unsigned, 16-bit signed little
// endian, channels interleaved.
struct WaveImage {
    int rate = 0;
    int bitsPerSample = 0;
    int channels = 0;
    const std::uint8_t* samples = nullptr;
    std::size_t bytes = 0;  // whole frames only

    std::size_t Frames() const {
        return bytes / (static_cast<std::size_t>(bitsPerSample / 8) * channels);
    }
};

// The size a RIFF image gives itself (header included); 0 when `data` is not RIFF/WAVE.
std::size_t RiffImageSize(const void* data);

// Reads the format and the samples of a whole image of `size` bytes; false when it is not an
// 8- or 16-bit PCM WAVE with at least one channel, a sample rate and a data chunk.
bool ReadWave(const void* data, std::size_t size, WaveImage& wave);

}  // namespace platform
