// The registry of the test's own: a store in memory, and temporary folders for the tests of
// stores on disk.
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <utility>

#include "platform/core/registry_store.h"
#include "platform/testing/testing.h"

namespace platform::testing {

class TemporaryRegistry::Store : public RegistryStore {
public:
    // Parents are keys too, as subkeys are listed.
    StoreResult CreateKey(const std::string& path, bool& created) override {
        if (!available) return StoreResult::Unavailable;
        for (std::size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
            created = keys_.emplace(Folded(path.substr(0, end)), path.substr(0, end)).second;
            if (end == std::string::npos) return StoreResult::Done;
        }
    }
    StoreResult Get(const std::string& key, const std::string& name, DWORD& type,
                    std::vector<BYTE>& data) override {
        if (!available) return StoreResult::Unavailable;
        const auto found = values_.find({Folded(key), Folded(name)});
        if (found == values_.end()) return StoreResult::Absent;
        type = found->second.first;
        data = found->second.second;
        return StoreResult::Done;
    }
    StoreResult Set(const std::string& key, const std::string& name, DWORD type, const BYTE* data,
                    std::size_t size) override {
        if (!available) return StoreResult::Unavailable;
        values_[{Folded(key), Folded(name)}] = {type, std::vector<BYTE>(data, data + size)};
        return StoreResult::Done;
    }
    StoreResult OpenKey(const std::string& path) override {
        if (!available) return StoreResult::Unavailable;
        return keys_.count(Folded(path)) != 0 ? StoreResult::Done : StoreResult::Absent;
    }
    StoreResult ListSubkeys(const std::string& path, std::vector<std::string>& names) override {
        if (!available) return StoreResult::Unavailable;
        const std::string prefix = Folded(path) + "\\";
        for (auto key = keys_.lower_bound(prefix);
             key != keys_.end() && key->first.compare(0, prefix.size(), prefix) == 0; ++key) {
            if (key->first.find('\\', prefix.size()) == std::string::npos) {
                names.push_back(key->second.substr(prefix.size()));
            }
        }
        return StoreResult::Done;
    }
    StoreResult DeleteKey(const std::string& path) override {
        if (!available) return StoreResult::Unavailable;
        const std::string key = Folded(path);
        if (keys_.erase(key) == 0) return StoreResult::Absent;
        auto value = values_.lower_bound({key, ""});
        while (value != values_.end() && value->first.first == key) value = values_.erase(value);
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

    std::map<std::string, std::string> keys_;  // folded path: the path as first written
    std::map<std::pair<std::string, std::string>, std::pair<DWORD, std::vector<BYTE>>> values_;
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

int StartTestProcess(const char* test, bool quiet) {
    std::string self = "/proc/self/exe";
    std::string filter = std::string("--gtest_filter=") + test;
    std::string disabled = "--gtest_also_run_disabled_tests";
    char* arguments[] = {self.data(), filter.data(), disabled.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t started = 0;
    const int failed = posix_spawn(&started, self.c_str(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? started : -1;
}

}  // namespace platform::testing
