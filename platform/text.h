// Text conversions inside platform/.
#pragma once

#include <string>

#include "platform/win32.h"

namespace platform {

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromWide(LPCWSTR text);

}  // namespace platform
