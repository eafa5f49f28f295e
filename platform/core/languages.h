// Which of the resource script's language blocks serves the reader: the names the system or
// the user prefer, and the rule that picks a block by them. Internal to the platform.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A language as BCP 47 or POSIX names it, reduced to what a block is chosen by: the language
// in lower case and the region in upper case (empty when none is named).
struct LanguageTag {
    std::string language;
    std::string region;
    bool operator==(const LanguageTag&) const = default;
};

// "de", "de-AT", "pt_BR.UTF-8", "sr-Latn-RS", "uk_UA.utf8@euro"; nothing for a name that is not
// one ("C", "", "de--", "deutsch").
std::optional<LanguageTag> ParseLanguageTag(std::string_view name);

// The language of a block's LANGID, as Windows numbers it; the region is empty for a block of
// the whole language (SUBLANG_NEUTRAL). Nothing for a LANGID this table does not know.
std::optional<LanguageTag> TagOfLanguageId(std::uint16_t languageId);

// Of the LANGIDs of the blocks that hold one resource, the index of the one to use: for each
// preferred language in turn, the block of its language and region, then a block of its
// language (the region-neutral one first); then English, then a language-neutral block, then
// the first.
std::size_t ChooseLanguageBlock(std::span<const std::uint16_t> blocks,
                                std::span<const LanguageTag> preferred);

// The languages a POSIX environment prefers, as gettext reads them: the first set of LC_ALL,
// LC_MESSAGES and LANG names the locale; under a C or POSIX locale (or none) there is no
// preference, otherwise LANGUAGE's colon-separated list if it names any, else the locale.
std::vector<std::string> PosixPreferredLanguages(const char* language, const char* lcAll,
                                                 const char* lcMessages, const char* lang);

// The process's preference, as SetThreadPreferredUILanguages last set it.
std::span<const LanguageTag> PreferredLanguages();

}  // namespace platform
