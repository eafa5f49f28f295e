// Where the user's data lives on the desktop.
#pragma once

#include <string>

namespace platform {

// $XDG_DATA_HOME, or ~/.local/share when it is unset or not absolute, as one canonical path
// (links resolved, no trailing slash); empty when neither can be found.
std::string UserDataFolder();

}  // namespace platform
