// A registry of the test's own in a temporary folder.
#include <cstdlib>
#include <filesystem>

#include "platform/testing.h"

namespace platform::testing {

TemporaryRegistry::TemporaryRegistry() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp") + "/chalkmere-registry-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
    SetRegistryPath(File());
}

TemporaryRegistry::~TemporaryRegistry() {
    SetRegistryPath("");
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

}  // namespace platform::testing
