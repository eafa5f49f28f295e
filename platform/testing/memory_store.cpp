// The registry of the test's own: a store in memory, and temporary folders for the tests of
// stores on disk.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "platform/core/registry_store.h"
#include "platform/testing/testing.h"

namespace platform::testing {

class TemporaryRegistry::Store : public RegistryStore {
public:
    StoreResult CreateKey(const std::string& path, bool& created) override {
        if (!available) return StoreResult::Unavailable;
        created = keys_.insert(Folded(path)).second;  // no test opens a parent on its own
        return StoreResult::Done;
    }
    StoreResult Get(const std::string& key, const std::string& name, DWORD& type,
                    std::vector<BYTE>& data) override {
        if (!available) return StoreResult::Unavailable;
        const auto found = values_.find(Folded(key + "\\" + name));
        if (found == values_.end()) return StoreResult::Absent;
        type = found->second.first;
        data = found->second.second;
        return StoreResult::Done;
    }
    StoreResult Set(const std::string& key, const std::string& name, DWORD type, const BYTE* data,
                    std::size_t size) override {
        if (!available) return StoreResult::Unavailable;
        values_[Folded(key + "\\" + name)] = {type, std::vector<BYTE>(data, data + size)};
        return StoreResult::Done;
    }

    bool available = true;

private:
    // Names compare without regard to ASCII case.
    static std::string Folded(std::string text) {
        for (char& c : text) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        }
        return text;
    }

    std::set<std::string> keys_;
    std::map<std::string, std::pair<DWORD, std::vector<BYTE>>> values_;
};

TemporaryRegistry::TemporaryRegistry() : store_(std::make_unique<Store>()) {
    SetRegistryStore(store_.get());
}

TemporaryRegistry::~TemporaryRegistry() { SetRegistryStore(nullptr); }

void TemporaryRegistry::SetAvailable(bool available) { store_->available = available; }

TemporaryFolder::TemporaryFolder() {
    std::string pattern = std::filesystem::temp_directory_path() / "chalkmere-test-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

// An open file description's lock conflicts with the POSIX locks SQLite takes, even those of
// this process, so no second process is needed to stand for the other program.
ForeignLock::ForeignLock(const std::string& file) : file_(open(file.c_str(), O_RDWR)) {
    // SQLite's pending, reserved and shared bytes; an open file description's lock has no pid.
    struct flock lock = {
        .l_type = F_WRLCK, .l_whence = SEEK_SET, .l_start = 0x40000000, .l_len = 512, .l_pid = 0};
    held_ = file_ >= 0 && fcntl(file_, F_OFD_SETLK, &lock) == 0;
}

ForeignLock::~ForeignLock() {
    if (file_ >= 0) close(file_);
}

}  // namespace platform::testing
