#include "platform/core/bmp.h"

namespace platform {
namespace {

// Larger pictures are refused: no resource comes near, and a forged header must not make
// the decoder allocate gigabytes.
constexpr int kMaxSide = 16384;
constexpr std::size_t kFileHeader = 14;

std::uint32_t Little(const std::uint8_t* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

// Where things are in the file, once the header has been checked.
struct Layout {
    BmpInfo info;
    bool topDown = false;
    std::size_t palette = 0;  // offset of the first entry
    int paletteEntryBytes = 4;
    std::size_t pixels = 0;  // offset of the first stored row
    std::size_t stride = 0;  // bytes per stored row, padded to four
};

bool ReadLayout(const std::uint8_t* bytes, std::size_t size, Layout& layout) {
    if (bytes == nullptr || size < kFileHeader + 12 || bytes[0] != 'B' || bytes[1] != 'M') {
        return false;
    }
    const std::size_t headerSize = Little(bytes + 14, 4);
    long long width = 0;
    long long height = 0;
    int bits = 0;
    std::uint32_t colours = 0;
    if (headerSize == 12) {  // the old OS/2 header: 16-bit sizes, 3-byte palette entries
        width = Little(bytes + 18, 2);
        height = static_cast<std::int16_t>(Little(bytes + 20, 2));
        bits = static_cast<int>(Little(bytes + 24, 2));
        layout.paletteEntryBytes = 3;
    } else if (headerSize >= 40 && size >= kFileHeader + 40) {
        width = static_cast<std::int32_t>(Little(bytes + 18, 4));
        height = static_cast<std::int32_t>(Little(bytes + 22, 4));
        bits = static_cast<int>(Little(bytes + 28, 2));
        if (Little(bytes + 30, 4) != 0) return false;  // compressed or bit fields
        colours = Little(bytes + 46, 4);
    } else {
        return false;
    }
    layout.topDown = height < 0;
    if (height < 0) height = -height;
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
    if (bits <= 8) {
        const std::uint32_t most = 1u << bits;
        if (colours == 0 || colours > most) colours = most;
    } else {
        colours = 0;
    }
    layout.info = {static_cast<int>(width), static_cast<int>(height), bits,
                   static_cast<int>(colours)};
    layout.palette = kFileHeader + headerSize;
    layout.pixels = Little(bytes + 10, 4);
    layout.stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    const std::size_t paletteEnd =
        layout.palette + static_cast<std::size_t>(colours) * layout.paletteEntryBytes;
    return paletteEnd <= size && layout.pixels >= paletteEnd && layout.pixels <= size &&
           (size - layout.pixels) / layout.stride >= static_cast<std::size_t>(height);
}

}  // namespace

bool ReadBmpInfo(const void* data, std::size_t size, BmpInfo& info) {
    Layout layout;
    if (!ReadLayout(static_cast<const std::uint8_t*>(data), size, layout)) return false;
    info = layout.info;
    return true;
}

std::unique_ptr<Bitmap> DecodeBmp(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    Layout layout;
    if (!ReadLayout(bytes, size, layout)) return nullptr;
    const BmpInfo& info = layout.info;

    // Palette entries are blue, green, red (and a reserved byte); an index past the palette
    // is black.
    std::uint32_t palette[256] = {};
    for (int i = 0; i < info.paletteColours; ++i) {
        const std::uint8_t* entry = bytes + layout.palette + i * layout.paletteEntryBytes;
        palette[i] = (static_cast<std::uint32_t>(entry[2]) << 16) |
                     (static_cast<std::uint32_t>(entry[1]) << 8) | entry[0];
    }

    auto bitmap = std::make_unique<Bitmap>(info.width, info.height);
    for (int y = 0; y < info.height; ++y) {
        const int stored = layout.topDown ? y : info.height - 1 - y;
        const std::uint8_t* row = bytes + layout.pixels + stored * layout.stride;
        std::uint32_t* out = bitmap->Row(y);
        for (int x = 0; x < info.width; ++x) {
            switch (info.bitsPerPixel) {
                case 1: out[x] = palette[(row[x >> 3] >> (7 - (x & 7))) & 1]; break;
                case 4: out[x] = palette[(row[x >> 1] >> ((x & 1) != 0 ? 0 : 4)) & 0xF]; break;
                case 8: out[x] = palette[row[x]]; break;
                default: {
                    const std::uint8_t* pixel = row + x * (info.bitsPerPixel / 8);
                    out[x] = (static_cast<std::uint32_t>(pixel[2]) << 16) |
                             (static_cast<std::uint32_t>(pixel[1]) << 8) | pixel[0];
                }
            }
        }
    }
    return bitmap;
}

}  // namespace platform
