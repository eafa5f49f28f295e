#include "platform/desktop/data_folder.h"

#include <cstdlib>
#include <filesystem>

namespace platform {

std::string UserDataFolder() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    std::string folder;
    if (dataHome != nullptr && dataHome[0] == '/') {
        folder = dataHome;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        folder = std::string(home) + "/.local/share";
    } else {
        return {};
    }
    // One folder, one name: "/x/data/", "/x//data" and a link to it must all be "/x/data",
    // or two games would share one set of progress.
    std::error_code error;
    std::string canonical = std::filesystem::weakly_canonical(folder, error).string();
    if (error) canonical = std::filesystem::path(folder).lexically_normal().string();
    while (canonical.size() > 1 && canonical.back() == '/') canonical.pop_back();
    return canonical;
}

}  // namespace platform
