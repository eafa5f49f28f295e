// Finding and loading the program's own resources from the table compiled into it.
// Bitmaps are decoded with SDL's BMP loader into the display's pixel format.
#include <SDL.h>

#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "platform/gdi_objects.h"
#include "platform/icons.h"
#include "platform/resources.h"
#include "platform/testing.h"
#include "platform/win32.h"

namespace platform {
namespace {

// The program's module handle: the address of a tag, compared only.
int moduleTag;

HMODULE ProgramModule() { return reinterpret_cast<HMODULE>(&moduleTag); }

bool IsProgramModule(HMODULE module) { return module == ProgramModule(); }

const Resource* Find(ResourceType type, std::uintptr_t id) {
    for (std::size_t i = 0; i < programResources.count; ++i) {
        const Resource& resource = programResources.resources[i];
        if (resource.type == type && resource.id == id) return &resource;
    }
    return nullptr;
}

// Resource names are integer identifiers here; named resources do not exist.
bool IntegerName(LPCWSTR name, std::uintptr_t& id) {
    if (!IS_INTRESOURCE(name)) return false;
    id = reinterpret_cast<std::uintptr_t>(name);
    return true;
}

bool SameTypeName(LPCWSTR name, const char* expected) {
    for (; *expected != 0; ++name, ++expected) {
        WCHAR c = *name;
        if (c >= u'a' && c <= u'z') c = static_cast<WCHAR>(c - u'a' + u'A');
        if (c != static_cast<WCHAR>(*expected)) return false;
    }
    return *name == 0;
}

bool TypeOf(LPCWSTR type, ResourceType& resourceType) {
    if (IS_INTRESOURCE(type)) {
        if (type == RT_BITMAP) {
            resourceType = ResourceType::Bitmap;
            return true;
        }
        return false;
    }
    if (SameTypeName(type, "WAVE")) {
        resourceType = ResourceType::Wave;
        return true;
    }
    return false;
}

std::map<int, int>& LoadCounts() {
    static std::map<int, int> counts;
    return counts;
}

std::map<std::uintptr_t, std::unique_ptr<Icon>>& SharedIcons() {
    static std::map<std::uintptr_t, std::unique_ptr<Icon>> icons;
    return icons;
}

}  // namespace

std::unique_ptr<Bitmap> DecodeBmp(const void* data, std::size_t size) {
    SDL_RWops* stream = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (stream == nullptr) return nullptr;
    SDL_Surface* loaded = SDL_LoadBMP_RW(stream, 1);
    if (loaded == nullptr) return nullptr;
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
    SDL_FreeSurface(loaded);
    if (converted == nullptr) return nullptr;
    auto bitmap = std::make_unique<Bitmap>(converted->w, converted->h);
    for (int y = 0; y < converted->h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(converted->pixels) + y * converted->pitch);
        std::uint32_t* out = bitmap->Row(y);
        for (int x = 0; x < converted->w; ++x) out[x] = row[x] & 0x00FFFFFFu;
    }
    SDL_FreeSurface(converted);
    return bitmap;
}

HICON ProgramIcon() {
    for (std::size_t i = 0; i < programResources.count; ++i) {
        const Resource& resource = programResources.resources[i];
        if (resource.type == ResourceType::Icon) {
            return LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource.id));
        }
    }
    return nullptr;
}

const Icon* LookupIcon(HICON handle) {
    for (const auto& [id, icon] : SharedIcons()) {
        if (reinterpret_cast<HICON>(icon.get()) == handle) return icon.get();
    }
    return nullptr;
}

}  // namespace platform

namespace platform::testing {

int ResourceLoadCount(int id) { return LoadCounts()[id]; }

}  // namespace platform::testing

using namespace platform;

HMODULE GetModuleHandleW(LPCWSTR moduleName) {
    return moduleName == nullptr ? ProgramModule() : nullptr;
}

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    std::uintptr_t id = 0;
    if (!IsProgramModule(instance) || !IntegerName(name, id)) return nullptr;
    const Resource* resource = Find(ResourceType::Bitmap, id);
    if (resource == nullptr) return nullptr;
    std::unique_ptr<Bitmap> bitmap = DecodeBmp(resource->data, resource->size);
    if (bitmap == nullptr) return nullptr;
    RegisterObject(bitmap.get());
    return reinterpret_cast<HBITMAP>(bitmap.release());
}

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    std::uintptr_t id = 0;
    ResourceType resourceType{};
    if (!IsProgramModule(module) || !IntegerName(name, id) || !TypeOf(type, resourceType)) {
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(const_cast<Resource*>(Find(resourceType, id)));
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    if (!IsProgramModule(module) || resource == nullptr) return nullptr;
    const auto* found = reinterpret_cast<const Resource*>(resource);
    ++LoadCounts()[found->id];
    return const_cast<unsigned char*>(found->data);
}

LPVOID LockResource(HGLOBAL data) { return data; }

DWORD SizeofResource(HMODULE module, HRSRC resource) {
    if (!IsProgramModule(module) || resource == nullptr) return 0;
    return reinterpret_cast<const Resource*>(resource)->size;
}

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0) return 0;
    buffer[0] = 0;
    const Resource* resource =
        IsProgramModule(instance) && id <= 0xFFFF ? Find(ResourceType::String, id) : nullptr;
    if (resource == nullptr) return 0;
    const int length = static_cast<int>(resource->size / 2);
    const int copied = length < capacity - 1 ? length : capacity - 1;
    for (int i = 0; i < copied; ++i) {
        buffer[i] = static_cast<WCHAR>(resource->data[2 * i] | (resource->data[2 * i + 1] << 8));
    }
    buffer[copied] = 0;
    return copied;
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
    std::uintptr_t id = 0;
    if (!IsProgramModule(instance) || !IntegerName(name, id)) return nullptr;
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
