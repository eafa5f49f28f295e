#include "platform/desktop/command_line.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/core/utf16.h"
#include "platform/desktop/data_folder.h"
#include "platform/win32.h"
#include "resources/ResourceIds.h"

namespace platform {
namespace {

constexpr const char kLanguage[] = "--language=";

std::string ResourceText(UINT id) {
    WCHAR text[100] = {};
    LoadStringW(GetModuleHandleW(nullptr), id, text, 100);
    return Utf8FromWide(text);
}

void PrintUsage(std::FILE* to) {
    const std::string folder = UserDataFolder();
    std::fprintf(to,
                 "Usage: chalkmere [--language=CODE] [--help | --version]\n"
                 "An arithmetic drill for children: one problem at a time on a blackboard, four\n"
                 "answer cards, twelve levels from small sums to division.\n"
                 "\n"
                 "Options:\n"
                 "  -h, --help     show this help and exit\n"
                 "  -V, --version  show the version and exit\n"
                 "  --language=CODE\n"
                 "                 play in that language (en, de, fr, es, it, nl, pl, pt-BR or\n"
                 "                 uk) instead of the one LANGUAGE, LC_ALL, LC_MESSAGES or LANG\n"
                 "                 name; any other code plays in English\n"
                 "\n"
                 "Progress (level, score, statistics) is saved at every change in\n"
                 "  %s/chalkmere/registry.db\n"
                 "(under $XDG_DATA_HOME, or ~/.local/share). The settings screen's RESET clears\n"
                 "the statistics and the score; to start over completely, quit the game and\n"
                 "delete that file.\n",
                 folder.empty() ? "$XDG_DATA_HOME" : folder.c_str());
}

}  // namespace

std::optional<std::string> LanguageOption(int argc, char** argv) {
    std::optional<std::string> language;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kLanguage, sizeof kLanguage - 1) == 0) {
            language = argv[i] + sizeof kLanguage - 1;
        }
    }
    return language;
}

std::optional<int> AnswerCommandLine(int argc, char** argv, std::FILE* out, std::FILE* err) {
    std::vector<const char*> words;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kLanguage, sizeof kLanguage - 1) != 0) words.push_back(argv[i]);
    }
    if (words.empty()) return std::nullopt;
    auto is = [&](const char* arg, const char* name, const char* letter) {
        return std::strcmp(arg, name) == 0 || std::strcmp(arg, letter) == 0;
    };
    const bool help = is(words[0], "--help", "-h");
    const bool version = is(words[0], "--version", "-V");
    if (words.size() == 1 && help) {
        PrintUsage(out);
        return 0;
    }
    if (words.size() == 1 && version) {
        std::fprintf(out, "%s %s\n", ResourceText(IDS_TITLE).c_str(),
                     ResourceText(IDS_VERSION).c_str());
        return 0;
    }
    // One option at most besides the language: the first word that is not one is named.
    const char* wrong = help || version ? words[1] : words[0];
    std::fprintf(err, "chalkmere: %s '%s'\n\n",
                 wrong[0] == '-' ? "unknown option" : "unexpected argument", wrong);
    PrintUsage(err);
    return 2;
}

}  // namespace platform
