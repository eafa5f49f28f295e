// The desktop program's options, handled before the program's entry is called.
#pragma once

#include <cstdio>
#include <optional>

namespace platform {

// Answers --help and --version on stdout (status 0) and anything else on stderr with the
// usage (status 2); nothing when there are no arguments and the game should start.
std::optional<int> AnswerCommandLine(int argc, char** argv, std::FILE* out, std::FILE* err);

}  // namespace platform
