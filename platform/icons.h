// Icons and bitmap decoding, internal to platform/.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/gdi_objects.h"

namespace platform {

// An icon group: its images, largest first as the script lists them. Icons are shared and
// live as long as the process.
struct Icon {
    std::vector<std::unique_ptr<Bitmap>> images;
};

// The icon behind a handle from LoadIconW, or null.
const Icon* LookupIcon(HICON handle);

// The program's own icon: the first icon group of its resources, or null.
HICON ProgramIcon();

// A BMP file decoded into the display's pixel format; null when it cannot be read.
std::unique_ptr<Bitmap> DecodeBmp(const void* data, std::size_t size);

}  // namespace platform
