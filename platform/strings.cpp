// Wide-string helpers under their Win32 names, and the decimal reader for stored numbers.
#include <climits>
#include <cstdarg>

#include <string>

#include "platform/text.h"
#include "platform/win32.h"

namespace {

// wsprintfW's documented output limit, terminator included.
constexpr int kFormatLimit = 1024;

bool IsBlank(WCHAR c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

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

int ReadDecimalW(LPCWSTR text, int* value) {
    if (text == nullptr || value == nullptr) return 0;
    const WCHAR* p = text;
    while (IsBlank(*p)) ++p;
    bool negative = false;
    if (*p == u'+' || *p == u'-') {
        negative = *p == u'-';
        ++p;
    }
    if (*p < u'0' || *p > u'9') return 0;
    // Once past the 32-bit range the number only has to stay past it, so it stops growing.
    long long number = 0;
    for (; *p >= u'0' && *p <= u'9'; ++p) {
        if (number <= INT_MAX) number = number * 10 + (*p - u'0');
    }
    if (negative) number = -number;
    if (number > INT_MAX) number = INT_MAX;
    if (number < INT_MIN) number = INT_MIN;
    *value = static_cast<int>(number);
    return 1;
}

namespace platform {

std::string Utf8FromWide(LPCWSTR text) {
    std::string out;
    if (text == nullptr) return out;
    for (const WCHAR* p = text; *p != 0; ++p) {
        char32_t code = *p;
        if (code >= 0xD800 && code <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

}  // namespace platform
