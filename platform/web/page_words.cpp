// page_words <output.cmake>: the words the page shows before the program has loaded, in every
// language block of the program's resource table, for page.cmake to write into index.html:
// CHALKMERE_PAGE_WORDS, the blocks as a JavaScript array in the table's order (with the name
// of the lock the game's tab holds), and
// CHALKMERE_NO_SCRIPT, the no-script line in each language as HTML.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>

#include "platform/core/languages.h"
#include "platform/core/resource_loading.h"
#include "platform/core/utf16.h"
#include "resources/ResourceIds.h"

namespace {

std::u16string Loaded(UINT id) {
    WCHAR text[400];
    LoadStringW(GetModuleHandleW(nullptr), id, text, 400);
    return text;
}

// A JavaScript string literal, in UTF-8 as the page is; no "</script>" can form in it.
std::string Script(const std::u16string& text) {
    std::string out = "\"";
    for (const char c : platform::Utf8FromWide(text.c_str())) {
        if (c == '"' || c == '\\' || c == '<' || c == '>' || static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X",
                          static_cast<unsigned>(static_cast<unsigned char>(c)));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// HTML text in UTF-8.
std::string Html(const std::u16string& text) {
    std::string out;
    for (const char c : platform::Utf8FromWide(text.c_str())) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: page_words <output.cmake>\n");
        return 2;
    }
    std::ostringstream blocks, noScript;
    std::set<std::uint16_t> seen;
    for (std::size_t i = 0; i < platform::programResources.count; ++i) {
        const platform::Resource& resource = platform::programResources.resources[i];
        if (resource.type != platform::ResourceType::String ||
            !seen.insert(resource.language).second) {
            continue;
        }
        const std::optional<platform::LanguageTag> tag =
            platform::TagOfLanguageId(resource.language);
        if (!tag) {
            std::fprintf(stderr, "page_words: no language has the id 0x%04X\n", resource.language);
            return 1;
        }
        // The block is chosen by its own name, as the program's loader would choose it.
        const std::string name = tag->language + (tag->region.empty() ? "" : "-" + tag->region);
        std::u16string preferred(name.begin(), name.end());
        preferred += u'\0';
        SetThreadPreferredUILanguages(MUI_LANGUAGE_NAME, preferred.c_str(), nullptr);
        const std::u16string language = Loaded(IDS_LANGUAGE);
        blocks << (seen.size() > 1 ? ",\n    " : "\n    ") << "{language: \"" << tag->language
               << "\", region: \"" << tag->region << "\", tag: " << Script(language)
               << ", tooOld: " << Script(Loaded(IDS_PAGE_TOO_OLD))
               << ", notLoaded: " << Script(Loaded(IDS_PAGE_NOT_LOADED)) << ", tryAgain: "
               << Script(Loaded(IDS_PAGE_TRY_AGAIN))
               // The lock the game's tab holds (web_instance.cpp's LockName), which the page
               // asks for while the program is on its way.
               << ", instance: "
               << Script(u"chalkmere-instance\n" + Loaded(IDS_CLASS_NAME) + u"\n" +
                         Loaded(IDS_TITLE))
               << "}";
        noScript << "<p lang=\"" << Html(language) << "\">" << Html(Loaded(IDS_PAGE_NEEDS_SCRIPT))
                 << "</p>";
    }

    // Bracket arguments take the text as it is; the array's own brackets sit inside them.
    std::ofstream out(argv[1]);
    out << "# Written by page_words from the program's language blocks.\n"
        << "set(CHALKMERE_PAGE_WORDS [==[[" << blocks.str() << "\n  ]]==])\n"
        << "set(CHALKMERE_NO_SCRIPT [==[" << noScript.str() << "]==])\n";
    out.close();
    if (!out) {
        std::fprintf(stderr, "page_words: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
