// UTF-16 text inside the platform: code points, UTF-8, and names that ignore ASCII case.
#pragma once

#include <string>

#include "platform/win32.h"

namespace platform {

// The code point at text[position] (of `count` units); `position` moves past it. A surrogate
// pair is one code point, an unpaired surrogate U+FFFD.
char32_t NextCodePoint(LPCWSTR text, int count, int& position);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromWide(LPCWSTR text);

// The name with ASCII letters in upper case, for names that compare without regard to case.
std::u16string AsciiUpper(LPCWSTR name);

}  // namespace platform
