#include "platform/desktop/socket_instance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/core/utf16.h"

namespace platform {
namespace {

constexpr char kRaise[] = "raise\n";

// "\0chalkmere-instance/<uid>/<hash>": abstract names vanish with their process, so a crash
// leaves nothing behind.
sockaddr_un AddressFor(const std::string& key, socklen_t& length) {
    std::uint64_t hash = 1469598103934665603ULL;  // FNV-1a
    for (unsigned char c : key) hash = (hash ^ c) * 1099511628211ULL;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const int written = std::snprintf(
        address.sun_path + 1, sizeof address.sun_path - 1, "chalkmere-instance/%u/%016llx",
        static_cast<unsigned>(getuid()), static_cast<unsigned long long>(hash));
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + written);
    return address;
}

std::string NameKey(const std::u16string& className, const std::u16string& title,
                    const std::string& dataFolder) {
    return Utf8FromWide(className.c_str()) + "\n" + Utf8FromWide(title.c_str()) + "\n" + dataFolder;
}

}  // namespace

SocketInstance::~SocketInstance() {
    while (!claims_.empty()) Release(claims_.back());
}

int SocketInstance::Connect(const std::u16string& className, const std::u16string& title) const {
    socklen_t length = 0;
    const sockaddr_un address = AddressFor(NameKey(className, title, dataFolder_), length);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

int SocketInstance::Claim(const std::u16string& className, const std::u16string& title) {
    socklen_t length = 0;
    const sockaddr_un address = AddressFor(NameKey(className, title, dataFolder_), length);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0 || listen(fd, 4) != 0) {
        close(fd);
        return -1;
    }
    claims_.push_back(fd);
    return fd;
}

void SocketInstance::Release(int claim) {
    const auto held = std::find(claims_.begin(), claims_.end(), claim);
    if (held == claims_.end()) return;
    claims_.erase(held);
    for (auto it = pending_.begin(); it != pending_.end();) {
        if (it->claim == claim) {
            close(it->fd);
            it = pending_.erase(it);
        } else {
            ++it;
        }
    }
    close(claim);
}

bool SocketInstance::FindOther(const std::u16string& className, const std::u16string& title) {
    const int fd = Connect(className, title);
    if (fd < 0) return false;
    close(fd);
    return true;
}

bool SocketInstance::AskOtherToRaise(const std::u16string& className, const std::u16string& title) {
    const int fd = Connect(className, title);
    if (fd < 0) return false;
    const bool sent =
        write(fd, kRaise, sizeof kRaise - 1) == static_cast<ssize_t>(sizeof kRaise - 1);
    close(fd);
    return sent;
}

void SocketInstance::TakeRaiseRequests(std::vector<int>& raised) {
    for (int claim : claims_) {
        for (int fd; (fd = accept4(claim, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0;) {
            pending_.push_back({fd, claim, 0});
        }
    }
    for (auto it = pending_.begin(); it != pending_.end();) {
        char buffer[16];
        const ssize_t got = read(it->fd, buffer, sizeof buffer);
        const bool waiting = got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        if (got > 0 &&
            std::memcmp(buffer, kRaise, std::min<std::size_t>(got, sizeof kRaise - 1)) == 0) {
            raised.push_back(it->claim);
        }
        // A silent peer that keeps its connection open is dropped after a while.
        if (waiting && ++it->polls < 100) {
            ++it;
        } else {
            close(it->fd);
            it = pending_.erase(it);
        }
    }
}

}  // namespace platform
