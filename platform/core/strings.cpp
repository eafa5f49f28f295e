// Wide-string helpers under their Win32 names.
#include <cstdarg>

#include "platform/win32.h"

namespace {

// wsprintfW's documented output limit, terminator included.
constexpr int kFormatLimit = 1024;

}  // namespace

int lstrlenW(LPCWSTR text) {
    if (text == nullptr) return 0;
    int length = 0;
    while (text[length] != 0) ++length;
    return length;
}

LPWSTR lstrcpynW(LPWSTR dest, LPCWSTR source, int capacity) {
    if (dest == nullptr || capacity <= 0) return dest;
    int i = 0;
    if (source != nullptr) {
        for (; i < capacity - 1 && source[i] != 0; ++i) dest[i] = source[i];
    }
    dest[i] = 0;
    return dest;
}

// Ordinal comparison; the program only asks whether two names are equal.
int lstrcmpW(LPCWSTR a, LPCWSTR b) {
    if (a == nullptr) a = u"";
    if (b == nullptr) b = u"";
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    return static_cast<int>(*a) - static_cast<int>(*b);
}

int wsprintfW(LPWSTR dest, LPCWSTR format, ...) {
    if (dest == nullptr || format == nullptr) return -1;
    va_list args;
    va_start(args, format);
    int length = 0;
    bool failed = false;
    auto put = [&](WCHAR c) {
        if (length < kFormatLimit - 1) dest[length++] = c;
    };
    for (const WCHAR* p = format; *p != 0; ++p) {
        if (*p != u'%') {
            put(*p);
            continue;
        }
        ++p;
        if (*p == u'%') {
            put(u'%');
        } else if (*p == u'd') {
            long long number = va_arg(args, int);
            if (number < 0) {
                put(u'-');
                number = -number;
            }
            WCHAR digits[12];
            int count = 0;
            do {
                digits[count++] = static_cast<WCHAR>(u'0' + number % 10);
                number /= 10;
            } while (number != 0);
            while (count > 0) put(digits[--count]);
        } else {
            // Any other conversion is not supported: say so rather than guess.
            failed = true;
            break;
        }
    }
    va_end(args);
    dest[length] = 0;
    return failed ? -1 : length;
}
