// Test access to resource formats, read with the platform's own readers.
#include "platform/core/bmp.h"
#include "platform/core/icons.h"
#include "platform/core/resource_loading.h"
#include "platform/core/wave.h"
#include "platform/testing/testing.h"

namespace platform::testing {

WaveFormat DescribeWave(const void* data, DWORD size) {
    WaveFormat format;
    WaveImage wave;
    if (!ReadWave(data, size, wave)) return format;
    format.valid = true;
    format.rate = wave.rate;
    format.bitsPerSample = wave.bitsPerSample;
    format.channels = wave.channels;
    format.frames = static_cast<int>(wave.Frames());
    return format;
}

BitmapFileFormat DescribeBitmapFile(const void* data, DWORD size) {
    BitmapFileFormat format;
    BmpInfo info;
    if (!ReadBmpInfo(data, size, info)) return format;
    format.valid = true;
    format.width = info.width;
    format.height = info.height;
    format.bitsPerPixel = info.bitsPerPixel;
    format.paletteColours = info.paletteColours;
    return format;
}

DWORD ResourceSize(HRSRC resource) {
    return resource != nullptr ? reinterpret_cast<const Resource*>(resource)->size : 0;
}

std::vector<SIZE> IconImageSizes(HICON icon) {
    std::vector<SIZE> sizes;
    if (const Icon* found = LookupIcon(icon)) {
        for (const auto& image : found->images) sizes.push_back({image->width, image->height});
    }
    return sizes;
}

int ResourceLoadCount(int id) { return platform::ResourceLoadCount(id); }

}  // namespace platform::testing
