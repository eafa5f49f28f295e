// Finding and loading the program's own resources from the table compiled into it.
#include "platform/core/resource_loading.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "platform/core/bmp.h"
#include "platform/core/languages.h"
#include "platform/core/utf16.h"

namespace platform {
namespace {

// The program's module handle: the address of a tag, compared only.
int moduleTag;

// Resource names are integer identifiers here; named resources do not exist.
bool IntegerName(LPCWSTR name, std::uintptr_t& id) {
    if (!IS_INTRESOURCE(name)) return false;
    id = reinterpret_cast<std::uintptr_t>(name);
    return true;
}

bool TypeOf(LPCWSTR type, ResourceType& resourceType) {
    if (IS_INTRESOURCE(type)) {
        if (type != RT_BITMAP) return false;
        resourceType = ResourceType::Bitmap;
        return true;
    }
    if (AsciiUpper(type) != u"WAVE") return false;
    resourceType = ResourceType::Wave;
    return true;
}

std::vector<ResourceModule>& AddedModules() {
    static std::vector<ResourceModule> modules;
    return modules;
}

std::map<int, int>& LoadCounts() {
    static std::map<int, int> counts;
    return counts;
}

}  // namespace

HMODULE ProgramModule() { return reinterpret_cast<HMODULE>(&moduleTag); }

const Resource* FindProgramResource(ResourceType type, std::uintptr_t id) {
    // The blocks that hold it, in the script's order; an icon's images share one block.
    std::vector<const Resource*> found;
    std::vector<std::uint16_t> blocks;
    const auto gather = [&](const ResourceModule& module) {
        for (std::size_t i = 0; i < module.count; ++i) {
            const Resource& resource = module.resources[i];
            if (resource.type != type || resource.id != id) continue;
            if (std::find(blocks.begin(), blocks.end(), resource.language) != blocks.end())
                continue;
            found.push_back(&resource);
            blocks.push_back(resource.language);
        }
    };
    gather(programResources);
    for (const ResourceModule& module : AddedModules()) gather(module);
    if (found.empty()) return nullptr;
    return found[ChooseLanguageBlock(blocks, PreferredLanguages())];
}

bool ResourceName(HMODULE module, LPCWSTR name, std::uintptr_t& id) {
    return module == ProgramModule() && IntegerName(name, id);
}

void AddResourceModule(const ResourceModule& module) { AddedModules().push_back(module); }

int ResourceLoadCount(int id) { return LoadCounts()[id]; }

}  // namespace platform

using namespace platform;

HMODULE GetModuleHandleW(LPCWSTR moduleName) {
    return moduleName == nullptr ? ProgramModule() : nullptr;
}

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    std::uintptr_t id = 0;
    if (!ResourceName(instance, name, id)) return nullptr;
    const Resource* resource = FindProgramResource(ResourceType::Bitmap, id);
    if (resource == nullptr) return nullptr;
    std::unique_ptr<Bitmap> bitmap = DecodeBmp(resource->data, resource->size);
    if (bitmap == nullptr) return nullptr;
    RegisterObject(bitmap.get());
    return reinterpret_cast<HBITMAP>(bitmap.release());
}

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    std::uintptr_t id = 0;
    ResourceType resourceType{};
    if (!ResourceName(module, name, id) || !TypeOf(type, resourceType)) return nullptr;
    return reinterpret_cast<HRSRC>(const_cast<Resource*>(FindProgramResource(resourceType, id)));
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    if (module != ProgramModule() || resource == nullptr) return nullptr;
    const auto* found = reinterpret_cast<const Resource*>(resource);
    ++LoadCounts()[found->id];
    return const_cast<unsigned char*>(found->data);
}

LPVOID LockResource(HGLOBAL data) { return data; }

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0) return 0;
    buffer[0] = 0;
    const Resource* resource = instance == ProgramModule() && id <= 0xFFFF
                                   ? FindProgramResource(ResourceType::String, id)
                                   : nullptr;
    if (resource == nullptr) return 0;
    const int length = static_cast<int>(resource->size / 2);
    const int copied = length < capacity - 1 ? length : capacity - 1;
    for (int i = 0; i < copied; ++i) {
        buffer[i] = static_cast<WCHAR>(resource->data[2 * i] | (resource->data[2 * i + 1] << 8));
    }
    buffer[copied] = 0;
    return copied;
}
