// Icon groups of the program's resources, decoded once and shared.
#include "platform/core/icons.h"

#include <map>

#include "platform/core/bmp.h"
#include "platform/core/resource_loading.h"

namespace platform {
namespace {

// The icons' background is the resources' transparent key colour.
constexpr COLORREF kIconKey = RGB(0xF6, 0x8C, 0xC5);

std::map<std::uintptr_t, std::unique_ptr<Icon>>& SharedIcons() {
    static std::map<std::uintptr_t, std::unique_ptr<Icon>> icons;
    return icons;
}

}  // namespace

const Icon* LookupIcon(HICON handle) {
    for (const auto& [id, icon] : SharedIcons()) {
        if (reinterpret_cast<HICON>(icon.get()) == handle) return icon.get();
    }
    return nullptr;
}

HICON ProgramIcon() {
    for (std::size_t i = 0; i < programResources.count; ++i) {
        const Resource& resource = programResources.resources[i];
        if (resource.type == ResourceType::Icon) {
            return LoadIconW(ProgramModule(), MAKEINTRESOURCEW(resource.id));
        }
    }
    return nullptr;
}

IconImage DesktopIcon(HICON handle) {
    IconImage desktop;
    const Icon* icon = LookupIcon(handle);
    if (icon == nullptr || icon->images.empty()) return desktop;
    const Bitmap& image = *icon->images.front();
    desktop.width = image.width;
    desktop.height = image.height;
    desktop.pixels.reserve(image.pixels.size());
    const std::uint32_t key = PixelFromColour(kIconKey);
    for (const std::uint32_t pixel : image.pixels) {
        desktop.pixels.push_back(MatchesKey(pixel, key) ? 0u : 0xFF000000u | pixel);
    }
    return desktop;
}

}  // namespace platform

using namespace platform;

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
    std::uintptr_t id = 0;
    if (!ResourceName(instance, name, id)) return nullptr;
    auto& icons = SharedIcons();
    auto cached = icons.find(id);
    if (cached != icons.end()) return reinterpret_cast<HICON>(cached->second.get());

    auto icon = std::make_unique<Icon>();
    for (std::size_t i = 0; i < programResources.count; ++i) {
        const Resource& resource = programResources.resources[i];
        if (resource.type != ResourceType::Icon || resource.id != id) continue;
        if (auto image = DecodeBmp(resource.data, resource.size)) {
            icon->images.push_back(std::move(image));
        }
    }
    if (icon->images.empty()) return nullptr;
    auto* handle = reinterpret_cast<HICON>(icon.get());
    icons.emplace(id, std::move(icon));
    return handle;
}
