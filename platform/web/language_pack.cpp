#include "platform/web/language_pack.h"

#include <cstdint>
#include <cstring>

namespace platform {
namespace {

constexpr char kMagic[4] = {'C', 'H', 'L', 'P'};
constexpr std::size_t kHeader = 8;
constexpr std::size_t kEntry = 12;

void Put(std::vector<unsigned char>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

std::uint32_t Get(const unsigned char* at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | at[i];
    return value;
}

}  // namespace

std::vector<unsigned char> WriteLanguagePack(const std::vector<const Resource*>& resources) {
    std::vector<unsigned char> out(kMagic, kMagic + 4);
    Put(out, static_cast<std::uint32_t>(resources.size()), 4);
    for (const Resource* resource : resources) {
        Put(out, static_cast<std::uint32_t>(resource->type), 2);
        Put(out, resource->id, 2);
        Put(out, resource->language, 4);
        Put(out, resource->size, 4);
    }
    for (const Resource* resource : resources) {
        out.insert(out.end(), resource->data, resource->data + resource->size);
        out.resize((out.size() + 3) & ~std::size_t{3});  // each picture and sound 4-aligned
    }
    return out;
}

bool ReadLanguagePack(const unsigned char* data, std::size_t size, std::vector<Resource>& out) {
    out.clear();
    if (data == nullptr || size < kHeader || std::memcmp(data, kMagic, 4) != 0) return false;
    const std::size_t count = Get(data + 4, 4);
    if (count > (size - kHeader) / kEntry) return false;
    std::size_t offset = kHeader + count * kEntry;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* entry = data + kHeader + i * kEntry;
        const std::uint32_t type = Get(entry, 2);
        const std::uint32_t length = Get(entry + 8, 4);
        if (type > static_cast<std::uint32_t>(ResourceType::String) || offset > size ||
            length > size - offset) {
            out.clear();
            return false;
        }
        out.push_back(Resource{static_cast<ResourceType>(type),
                               static_cast<std::uint16_t>(Get(entry + 2, 2)),
                               static_cast<std::uint16_t>(Get(entry + 4, 4)), data + offset,
                               length});
        offset = (offset + length + 3) & ~std::size_t{3};
    }
    return true;
}

}  // namespace platform
