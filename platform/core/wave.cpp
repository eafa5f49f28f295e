#include "platform/core/wave.h"

#include <cstring>

namespace platform {
namespace {

std::uint32_t Little(const std::uint8_t* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

constexpr std::uint16_t kPcm = 1;
constexpr std::uint16_t kExtensible = 0xFFFE;

}  // namespace

std::size_t RiffImageSize(const void* data) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) return 0;
    return 8 + static_cast<std::size_t>(Little(bytes + 4, 4));
}

bool ReadWave(const void* data, std::size_t size, WaveImage& wave) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (data == nullptr || size < 12 || RiffImageSize(data) == 0) return false;
    bool haveFormat = false;
    // Chunks are word-aligned: an odd-sized chunk is followed by a pad byte.
    for (std::size_t at = 12; at + 8 <= size;) {
        const std::uint8_t* chunk = bytes + at;
        const std::size_t length = Little(chunk + 4, 4);
        const std::size_t available = size - at - 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16 || available < 16) return false;
            const auto tag = static_cast<std::uint16_t>(Little(chunk + 8, 2));
            // An extensible format names its encoding in the first two bytes of a GUID.
            const bool extensiblePcm = tag == kExtensible && length >= 40 && available >= 40 &&
                                       Little(chunk + 32, 2) == kPcm;
            if (tag != kPcm && !extensiblePcm) return false;
            wave.channels = static_cast<int>(Little(chunk + 10, 2));
            wave.rate = static_cast<int>(Little(chunk + 12, 4));
            wave.bitsPerSample = static_cast<int>(Little(chunk + 22, 2));
            if (wave.channels < 1 || wave.rate < 1 ||
                (wave.bitsPerSample != 8 && wave.bitsPerSample != 16)) {
                return false;
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) return false;
            const std::size_t frame = static_cast<std::size_t>(wave.bitsPerSample / 8) *
                                      static_cast<std::size_t>(wave.channels);
            // A data chunk that claims more than the image holds is cut to what is there.
            const std::size_t held = length < available ? length : available;
            wave.samples = chunk + 8;
            wave.bytes = held - held % frame;
            return true;
        }
        if (length > available) return false;
        at += 8 + length + (length & 1);
    }
    return false;
}

}  // namespace platform
