// Looking up the program's own resources, for the loaders. Internal to the platform.
#pragma once

#include <cstdint>

#include "platform/core/resources.h"
#include "platform/win32.h"

namespace platform {

HMODULE ProgramModule();
// Whether `module` is the program's and `name` an integer identifier, which goes to `id`.
bool ResourceName(HMODULE module, LPCWSTR name, std::uintptr_t& id);
// The resource with this kind and identifier, from the block the preferred languages choose
// among the linked table and the added ones; null when none holds it.
const Resource* FindProgramResource(ResourceType type, std::uintptr_t id);
// Resources that join the linked table, such as a language block fetched apart from the
// program; they and their data must live as long as the program.
void AddResourceModule(const ResourceModule& module);
// How often LoadResource has handed out the resource with this identifier.
int ResourceLoadCount(int id);

}  // namespace platform
