// BMP files, as the resource script holds bitmaps and icon images: the one reader of their
// format.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/core/gdi_objects.h"

namespace platform {

struct BmpInfo {
    int width = 0;
    int height = 0;  // rows, whichever way up they are stored
    int bitsPerPixel = 0;
    int paletteColours = 0;  // 0 without a palette
};

// The header of an uncompressed BMP of 1, 4, 8, 24 or 32 bits per pixel whose pixels lie
// within the `size` bytes; false for anything else.
bool ReadBmpInfo(const void* data, std::size_t size, BmpInfo& info);

// The picture in the display's pixel format; null when ReadBmpInfo refuses it.
std::unique_ptr<Bitmap> DecodeBmp(const void* data, std::size_t size);

}  // namespace platform
