#include "platform/desktop/socket_instance.h"

#include <fcntl.h>
#include <poll.h>
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
// A finding process connects without writing; a silent peer is dropped after this long.
constexpr int kSilentPeerMs = 5000;

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

void SocketInstance::StartListening() {
    int stop[2];
    if (claims_.empty() || pipe2(stop, O_CLOEXEC) != 0) return;
    stopWrite_ = stop[1];
    listener_ = std::thread([this, claims = claims_, read = stop[0]] { Listen(claims, read); });
}

void SocketInstance::StopListening() {
    if (!listener_.joinable()) return;
    const char byte = 0;
    while (write(stopWrite_, &byte, 1) < 0 && errno == EINTR) {
    }
    listener_.join();
    close(stopWrite_);
    stopWrite_ = -1;
}

void SocketInstance::Listen(std::vector<int> claims, int stop) {
    struct Pending {
        int fd;
        int claim;
    };
    std::vector<Pending> pending;
    std::vector<pollfd> watched;
    for (;;) {
        watched.assign(1, pollfd{stop, POLLIN, 0});
        for (int claim : claims) watched.push_back({claim, POLLIN, 0});
        for (const Pending& peer : pending) watched.push_back({peer.fd, POLLIN, 0});
        const int ready =
            poll(watched.data(), watched.size(), pending.empty() ? -1 : kSilentPeerMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || watched[0].revents != 0) break;
        if (ready == 0) {
            for (const Pending& peer : pending) close(peer.fd);
            pending.clear();
            continue;
        }
        bool heard = false;
        // The peers first, as the sockets of the pending list still stand where they were.
        for (std::size_t i = pending.size(); i-- > 0;) {
            if (watched[1 + claims.size() + i].revents == 0) continue;
            char buffer[16];
            const ssize_t got = read(pending[i].fd, buffer, sizeof buffer);
            if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (got > 0 &&
                std::memcmp(buffer, kRaise, std::min<std::size_t>(got, sizeof kRaise - 1)) == 0) {
                std::lock_guard<std::mutex> lock(mutex_);
                raised_.push_back(pending[i].claim);
                heard = true;
            }
            close(pending[i].fd);
            pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(i));
        }
        for (std::size_t i = 0; i < claims.size(); ++i) {
            if (watched[1 + i].revents == 0) continue;
            for (int fd;
                 (fd = accept4(claims[i], nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0;) {
                pending.push_back({fd, claims[i]});
            }
        }
        if (heard && wake_) wake_();
    }
    for (const Pending& peer : pending) close(peer.fd);
    close(stop);
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
    StopListening();
    claims_.push_back(fd);
    StartListening();
    return fd;
}

void SocketInstance::Release(int claim) {
    const auto held = std::find(claims_.begin(), claims_.end(), claim);
    if (held == claims_.end()) return;
    StopListening();
    claims_.erase(held);
    close(claim);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        raised_.erase(std::remove(raised_.begin(), raised_.end(), claim), raised_.end());
    }
    StartListening();
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
    std::lock_guard<std::mutex> lock(mutex_);
    raised.insert(raised.end(), raised_.begin(), raised_.end());
    raised_.clear();
}

}  // namespace platform
