// The desktop program's options, handled before the program's entry is called.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace platform {

// The code of a --language=CODE option (the last one counts), if there is one.
std::optional<std::string> LanguageOption(int argc, char** argv);

// Answers --help and --version on stdout (status 0) and anything else but --language=CODE on
// stderr with the usage (status 2); nothing when the game should start.
std::optional<int> AnswerCommandLine(int argc, char** argv, std::FILE* out, std::FILE* err);

}  // namespace platform
