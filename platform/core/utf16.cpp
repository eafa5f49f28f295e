#include "platform/core/utf16.h"

namespace platform {

char32_t NextCodePoint(LPCWSTR text, int count, int& position) {
    const char32_t unit = text[position++];
    if (unit < 0xD800 || unit > 0xDFFF) return unit;
    if (unit <= 0xDBFF && position < count) {
        const char32_t low = text[position];
        if (low >= 0xDC00 && low <= 0xDFFF) {
            ++position;
            return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return 0xFFFD;
}

std::string Utf8FromWide(LPCWSTR text) {
    std::string out;
    if (text == nullptr) return out;
    int count = 0;
    while (text[count] != 0) ++count;
    for (int position = 0; position < count;) {
        const char32_t code = NextCodePoint(text, count, position);
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

std::u16string AsciiUpper(LPCWSTR name) {
    std::u16string upper = name != nullptr ? name : u"";
    for (char16_t& c : upper) {
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return upper;
}

}  // namespace platform
