// Icons of the program's resources. Internal to the platform.
#pragma once

#include <memory>
#include <vector>

#include "platform/core/display.h"
#include "platform/core/gdi_objects.h"

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

// The largest image of the icon for a desktop, its key-coloured background transparent;
// empty for no icon.
IconImage DesktopIcon(HICON handle);

}  // namespace platform
