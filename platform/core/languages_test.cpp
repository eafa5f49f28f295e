// Reading language names and picking a block by them.
#include "platform/core/languages.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using platform::LanguageTag;

TEST(Languages, NamesAreReadAsBcp47AndPosixWriteThem) {
    using Row = std::tuple<const char*, std::optional<LanguageTag>>;
    for (const auto& [name, tag] : {
             Row{"de", LanguageTag{"de", ""}},
             Row{"de-AT", LanguageTag{"de", "AT"}},
             Row{"pt_BR.UTF-8", LanguageTag{"pt", "BR"}},
             Row{"uk_UA.utf8@euro", LanguageTag{"uk", "UA"}},
             Row{"sr-Latn-RS", LanguageTag{"sr", "RS"}},
             Row{"es-419", LanguageTag{"es", "419"}},
             Row{"DE-de", LanguageTag{"de", "DE"}},
             Row{"fil", LanguageTag{"fil", ""}},
             Row{"", std::nullopt},
             Row{"C", std::nullopt},
             Row{"POSIX", std::nullopt},
             Row{"C.UTF-8", std::nullopt},
             Row{"de--", std::nullopt},
             Row{"de-", std::nullopt},
             Row{"-de", std::nullopt},
             Row{"deutsch", std::nullopt},
             Row{"d3", std::nullopt},
             Row{"en_US!", std::nullopt},
             Row{"en-abcdefghi", std::nullopt},
         }) {
        EXPECT_EQ(platform::ParseLanguageTag(name), tag) << name;
    }
}

// A regional block serves its region only; the whole language's block serves the rest.
TEST(Languages, ARegionalBlockIsChosenOnlyForItsRegion) {
    const std::vector<std::uint16_t> blocks = {0x0000, 0x0807, 0x0007, 0x0409, 0x0416};
    using Tags = std::vector<LanguageTag>;
    using Row = std::pair<Tags, std::size_t>;
    for (const auto& [preferred, chosen] : {
             Row{Tags{{"de", "CH"}}, 1},
             Row{Tags{{"de", "AT"}}, 2},
             Row{Tags{{"de", ""}}, 2},
             Row{Tags{{"pt", "PT"}}, 4},
             Row{Tags{{"ja", ""}, {"pt", ""}}, 4},
             Row{Tags{{"ja", ""}}, 3},
             Row{Tags{}, 3},
         }) {
        EXPECT_EQ(platform::ChooseLanguageBlock(blocks, preferred), chosen);
    }
    EXPECT_EQ(platform::ChooseLanguageBlock(std::vector<std::uint16_t>{0x0007, 0x0000}, {}), 1u)
        << "without English, the neutral block";
}

// gettext's order: LC_ALL, LC_MESSAGES, LANG name the locale; LANGUAGE's list counts unless the
// locale is C.
TEST(Languages, APosixEnvironmentIsReadInGettextsOrder) {
    using Names = std::vector<std::string>;
    using Row = std::tuple<const char*, const char*, const char*, const char*, Names>;
    for (const auto& [language, lcAll, lcMessages, lang, names] : {
             Row{nullptr, nullptr, nullptr, "de_DE.UTF-8", Names{"de_DE.UTF-8"}},
             Row{"fr:de", nullptr, nullptr, "de_DE.UTF-8", Names{"fr", "de"}},
             Row{"::", nullptr, nullptr, "de_DE.UTF-8", Names{"de_DE.UTF-8"}},
             Row{"fr", nullptr, nullptr, "C.UTF-8", Names{}},
             Row{"fr", nullptr, nullptr, nullptr, Names{}},
             Row{nullptr, "uk_UA.UTF-8", "de_DE", "en_US", Names{"uk_UA.UTF-8"}},
             Row{"", "", "pl_PL", "de", Names{"pl_PL"}},
             Row{nullptr, "C", "pl_PL", "de", Names{}},
         }) {
        EXPECT_EQ(platform::PosixPreferredLanguages(language, lcAll, lcMessages, lang), names)
            << (language ? language : "-") << " " << (lcAll ? lcAll : "-") << " "
            << (lang ? lang : "-");
    }
}

}  // namespace
