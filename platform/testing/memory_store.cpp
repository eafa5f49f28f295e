// The registry of the test's own: a store in memory, and temporary folders for the tests of
// stores on disk.
#include <fcntl.h>
#include <sys/wait.h>
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
        created = false;
        // The key and each of its parents.
        for (std::size_t end = 0; end != std::string::npos;) {
            end = path.find('\\', end + 1);
            created = keys_.insert(Folded(path.substr(0, end))).second;
        }
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
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp") + "/chalkmere-test-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

ForeignLock::ForeignLock(const std::string& file) {
    int release[2];
    int ready[2];
    if (pipe(release) != 0 || pipe(ready) != 0) return;
    holder_ = fork();
    if (holder_ == 0) {
        close(release[1]);
        close(ready[0]);
        const int fd = open(file.c_str(), O_RDWR);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = 0x40000000;  // SQLite's pending, reserved and shared bytes
        lock.l_len = 512;
        const char held = fd >= 0 && fcntl(fd, F_SETLK, &lock) == 0 ? 1 : 0;
        if (write(ready[1], &held, 1) != 1) _exit(1);
        char byte;
        while (read(release[0], &byte, 1) > 0) {
        }
        _exit(0);
    }
    close(release[0]);
    close(ready[1]);
    release_ = release[1];
    char held = 0;
    held_ = holder_ > 0 && read(ready[0], &held, 1) == 1 && held == 1;
    close(ready[0]);
}

ForeignLock::~ForeignLock() {
    if (release_ >= 0) close(release_);
    if (holder_ > 0) waitpid(holder_, nullptr, 0);
}

}  // namespace platform::testing
