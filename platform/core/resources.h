// The table of the program's own resources, as the resource compiler generates it from the
// resource script. Internal to the platform layer and the generated table.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

enum class ResourceType : std::uint8_t { Bitmap, Wave, Icon, String };

// One resource: a whole BMP or WAVE file, one image of an icon group (several entries share
// the icon's identifier), or a string as UTF-16 code units without terminator. `language` is
// the LANGID of the script's block it came from.
struct Resource {
    ResourceType type;
    std::uint16_t id;
    std::uint16_t language;
    const unsigned char* data;
    std::uint32_t size;
};

struct ResourceModule {
    const Resource* resources;
    std::size_t count;
};

// Defined by the generated table that is linked into the program.
extern const ResourceModule programResources;

}  // namespace platform
