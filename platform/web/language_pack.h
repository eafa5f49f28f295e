// A language block of the resource table in a file of its own, which the page fetches only
// for a reader who needs it: the English page's program carries none but English.
//   "CHLP", a count, then per resource its kind, identifier, LANGID and size, then the data.
// All numbers little-endian.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/core/resources.h"

namespace platform {

std::vector<unsigned char> WriteLanguagePack(const std::vector<const Resource*>& resources);

// The resources of a pack, pointing into `data`, which must outlive them; false (and nothing)
// for bytes that are not a whole pack.
bool ReadLanguagePack(const unsigned char* data, std::size_t size, std::vector<Resource>& out);

}  // namespace platform
