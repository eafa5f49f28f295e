// Test access to resource formats, read with SDL's own loaders.
#include <SDL.h>

#include "platform/icons.h"
#include "platform/testing.h"

namespace platform::testing {

WaveFormat DescribeWave(const void* data, DWORD size) {
    WaveFormat format;
    SDL_AudioSpec spec{};
    Uint8* samples = nullptr;
    Uint32 length = 0;
    SDL_RWops* stream = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (stream == nullptr || SDL_LoadWAV_RW(stream, 1, &spec, &samples, &length) == nullptr) {
        return format;
    }
    format.valid = true;
    format.rate = spec.freq;
    format.bitsPerSample = SDL_AUDIO_BITSIZE(spec.format);
    format.channels = spec.channels;
    format.frames = static_cast<int>(length / (format.bitsPerSample / 8) / spec.channels);
    SDL_FreeWAV(samples);
    return format;
}

BitmapFileFormat DescribeBitmapFile(const void* data, DWORD size) {
    BitmapFileFormat format;
    SDL_RWops* stream = SDL_RWFromConstMem(data, static_cast<int>(size));
    SDL_Surface* surface = stream != nullptr ? SDL_LoadBMP_RW(stream, 1) : nullptr;
    if (surface == nullptr || size < 30) return format;
    format.valid = true;
    format.width = surface->w;
    format.height = surface->h;
    // SDL widens 4-bit pictures to 8 bits, so the depth is read from the file's header.
    const auto* bytes = static_cast<const unsigned char*>(data);
    format.bitsPerPixel = bytes[28] | (bytes[29] << 8);
    format.paletteColours =
        surface->format->palette != nullptr ? surface->format->palette->ncolors : 0;
    SDL_FreeSurface(surface);
    return format;
}

std::vector<SIZE> IconImageSizes(HICON icon) {
    std::vector<SIZE> sizes;
    if (const Icon* found = LookupIcon(icon)) {
        for (const auto& image : found->images) sizes.push_back({image->width, image->height});
    }
    return sizes;
}

}  // namespace platform::testing
