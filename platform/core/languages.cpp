// Choosing the language block of a resource, by the same rule on every build that has no
// Windows resource loader of its own.
#include "platform/core/languages.h"

#include "platform/core/utf16.h"
#include "platform/win32.h"

namespace platform {
namespace {

// Windows' primary language numbers of the languages a block may be written in.
struct PrimaryLanguage {
    std::uint16_t id;
    const char* code;
};
constexpr PrimaryLanguage kPrimaryLanguages[] = {
    {0x01, "ar"}, {0x02, "bg"}, {0x03, "ca"}, {0x04, "zh"}, {0x05, "cs"}, {0x06, "da"},
    {0x07, "de"}, {0x08, "el"}, {0x09, "en"}, {0x0A, "es"}, {0x0B, "fi"}, {0x0C, "fr"},
    {0x0D, "he"}, {0x0E, "hu"}, {0x0F, "is"}, {0x10, "it"}, {0x11, "ja"}, {0x12, "ko"},
    {0x13, "nl"}, {0x14, "nb"}, {0x15, "pl"}, {0x16, "pt"}, {0x18, "ro"}, {0x19, "ru"},
    {0x1A, "hr"}, {0x1B, "sk"}, {0x1C, "sq"}, {0x1D, "sv"}, {0x1E, "th"}, {0x1F, "tr"},
    {0x20, "ur"}, {0x21, "id"}, {0x22, "uk"}, {0x23, "be"}, {0x24, "sl"}, {0x25, "et"},
    {0x26, "lv"}, {0x27, "lt"}, {0x29, "fa"}, {0x2A, "vi"}, {0x2D, "eu"}, {0x36, "af"},
    {0x39, "hi"}, {0x3E, "ms"}, {0x41, "sw"}, {0x56, "gl"},
};

// The sublanguages that name a region, for the languages whose blocks may be regional.
struct RegionalLanguage {
    std::uint16_t id;
    const char* region;
};
constexpr RegionalLanguage kRegionalLanguages[] = {
    {0x0409, "US"}, {0x0809, "GB"}, {0x0C09, "AU"}, {0x1009, "CA"}, {0x0407, "DE"}, {0x0807, "CH"},
    {0x0C07, "AT"}, {0x040C, "FR"}, {0x080C, "BE"}, {0x0C0C, "CA"}, {0x100C, "CH"}, {0x0C0A, "ES"},
    {0x080A, "MX"}, {0x0410, "IT"}, {0x0810, "CH"}, {0x0413, "NL"}, {0x0813, "BE"}, {0x0415, "PL"},
    {0x0416, "BR"}, {0x0816, "PT"}, {0x0422, "UA"}, {0x0419, "RU"}, {0x0804, "CN"}, {0x0404, "TW"},
};

constexpr std::uint16_t kPrimaryMask = 0x3FF;
constexpr std::uint16_t kEnglish = 0x09;
constexpr std::uint16_t kEnglishUs = 0x0409;

std::vector<LanguageTag>& Preferred() {
    static std::vector<LanguageTag> preferred;
    return preferred;
}

bool AllOf(std::string_view text, bool (*test)(char)) {
    for (const char c : text) {
        if (!test(c)) return false;
    }
    return true;
}
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlphanumeric(char c) { return IsLetter(c) || IsDigit(c); }

std::string Cased(std::string_view text, bool upper) {
    std::string cased(text);
    for (char& c : cased) {
        if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return cased;
}

bool Set(const char* value) { return value != nullptr && value[0] != 0; }

}  // namespace

std::optional<LanguageTag> ParseLanguageTag(std::string_view name) {
    // A POSIX name's codeset and modifier say nothing of the language.
    name = name.substr(0, name.find_first_of(".@"));
    std::vector<std::string_view> parts;
    while (true) {
        const std::size_t separator = name.find_first_of("-_");
        parts.push_back(name.substr(0, separator));
        if (separator == std::string_view::npos) break;
        name.remove_prefix(separator + 1);
    }
    const std::string_view language = parts[0];
    if (language.size() < 2 || language.size() > 3 || !AllOf(language, IsLetter)) {
        return std::nullopt;
    }
    LanguageTag tag{Cased(language, false), ""};
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const std::string_view part = parts[i];
        if (part.empty() || part.size() > 8 || !AllOf(part, IsAlphanumeric)) return std::nullopt;
        // The first two-letter or three-digit subtag is the region; a script or variant
        // does not choose a block.
        const bool region = (part.size() == 2 && AllOf(part, IsLetter)) ||
                            (part.size() == 3 && AllOf(part, IsDigit));
        if (region && tag.region.empty()) tag.region = Cased(part, true);
    }
    return tag;
}

std::optional<LanguageTag> TagOfLanguageId(std::uint16_t languageId) {
    const std::uint16_t primary = languageId & kPrimaryMask;
    for (const PrimaryLanguage& entry : kPrimaryLanguages) {
        if (entry.id != primary) continue;
        if (languageId == primary) return LanguageTag{entry.code, ""};
        for (const RegionalLanguage& regional : kRegionalLanguages) {
            if (regional.id == languageId) return LanguageTag{entry.code, regional.region};
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::size_t ChooseLanguageBlock(std::span<const std::uint16_t> blocks,
                                std::span<const LanguageTag> preferred) {
    auto find = [&](auto matches) -> std::optional<std::size_t> {
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            if (matches(blocks[i])) return i;
        }
        return std::nullopt;
    };
    for (const LanguageTag& wanted : preferred) {
        auto tagIs = [&](std::uint16_t block, bool sameRegion) {
            const std::optional<LanguageTag> tag = TagOfLanguageId(block);
            return tag && tag->language == wanted.language &&
                   (!sameRegion || tag->region == wanted.region);
        };
        if (auto exact = find([&](std::uint16_t block) { return tagIs(block, true); })) {
            return *exact;
        }
        if (auto whole = find([&](std::uint16_t block) {
                return tagIs(block, false) && (block & ~kPrimaryMask) == 0;
            })) {
            return *whole;
        }
        if (auto any = find([&](std::uint16_t block) { return tagIs(block, false); })) {
            return *any;
        }
    }
    if (auto english = find([](std::uint16_t block) { return block == kEnglishUs; })) {
        return *english;
    }
    if (auto english =
            find([](std::uint16_t block) { return (block & kPrimaryMask) == kEnglish; })) {
        return *english;
    }
    if (auto neutral = find([](std::uint16_t block) { return (block & kPrimaryMask) == 0; })) {
        return *neutral;
    }
    return 0;
}

std::vector<std::string> PosixPreferredLanguages(const char* language, const char* lcAll,
                                                 const char* lcMessages, const char* lang) {
    const char* locale = Set(lcAll) ? lcAll : Set(lcMessages) ? lcMessages : lang;
    if (!Set(locale) || !ParseLanguageTag(locale)) return {};
    std::vector<std::string> names;
    if (Set(language)) {
        std::string_view list(language);
        while (!list.empty()) {
            const std::size_t colon = list.find(':');
            const std::string_view name = list.substr(0, colon);
            if (!name.empty()) names.emplace_back(name);
            if (colon == std::string_view::npos) break;
            list.remove_prefix(colon + 1);
        }
    }
    if (names.empty()) names.emplace_back(locale);
    return names;
}

std::span<const LanguageTag> PreferredLanguages() { return Preferred(); }

}  // namespace platform

using namespace platform;

BOOL SetThreadPreferredUILanguages(DWORD flags, LPCWSTR languages, ULONG* count) {
    if (flags != MUI_LANGUAGE_NAME && languages != nullptr) return FALSE;
    std::vector<LanguageTag>& preferred = Preferred();
    preferred.clear();
    // A double-terminated list; a name that is not a language leaves the others to choose.
    for (LPCWSTR name = languages; name != nullptr && *name != 0; name += lstrlenW(name) + 1) {
        if (std::optional<LanguageTag> tag = ParseLanguageTag(Utf8FromWide(name))) {
            preferred.push_back(*tag);
        }
    }
    if (count != nullptr) *count = static_cast<ULONG>(preferred.size());
    return TRUE;
}
