#include "platform/portable/read_decimal.h"

#include <climits>

namespace {

bool IsBlank(WCHAR c) { return c == TEXT(' ') || (c >= TEXT('\t') && c <= TEXT('\r')); }

}  // namespace

int ReadDecimalW(LPCWSTR text, int* value) {
    if (text == nullptr || value == nullptr) return 0;
    const WCHAR* p = text;
    while (IsBlank(*p)) ++p;
    bool negative = false;
    if (*p == TEXT('+') || *p == TEXT('-')) {
        negative = *p == TEXT('-');
        ++p;
    }
    if (*p < TEXT('0') || *p > TEXT('9')) return 0;
    // Once past the 32-bit range the number only has to stay past it, so it stops growing.
    long long number = 0;
    for (; *p >= TEXT('0') && *p <= TEXT('9'); ++p) {
        if (number <= INT_MAX) number = number * 10 + (*p - TEXT('0'));
    }
    if (negative) number = -number;
    if (number > INT_MAX) number = INT_MAX;
    if (number < INT_MIN) number = INT_MIN;
    *value = static_cast<int>(number);
    return 1;
}
