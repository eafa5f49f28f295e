#include "platform/single_instance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/paths.h"
#include "platform/sdl_display.h"
#include "platform/text.h"
#include "platform/window.h"

namespace platform {
namespace {

constexpr char kRaise[] = "raise\n";

// "\0chalkmere-instance/<uid>/<hash>": abstract names vanish with their process, so a crash
// leaves nothing behind. The hash covers the user's data folder too: one instance per set of
// saved progress, so a game with a data folder of its own (a test's) runs beside the user's.
sockaddr_un AddressFor(const std::u16string& className, const std::u16string& title,
                       socklen_t& length) {
    const std::string key = Utf8FromWide(className.c_str()) + "\n" + Utf8FromWide(title.c_str()) +
                            "\n" + UserDataFolder();
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

int Connect(const std::u16string& className, const std::u16string& title) {
    socklen_t length = 0;
    const sockaddr_un address = AddressFor(className, title, length);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

struct OtherInstance {
    std::u16string className;
    std::u16string title;
};

// The one other instance this process has found; its address stands for its window.
OtherInstance& Found() {
    static OtherInstance found;
    return found;
}

// Connections accepted but not yet read: a finding process connects without asking.
struct Pending {
    int fd;
    Window* window;
    int polls;
};

std::vector<Pending>& PendingRequests() {
    static std::vector<Pending> pending;
    return pending;
}

}  // namespace

int ClaimInstanceName(const std::u16string& className, const std::u16string& title) {
    socklen_t length = 0;
    const sockaddr_un address = AddressFor(className, title, length);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0 || listen(fd, 4) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

void ReleaseInstanceName(int socket) {
    if (socket < 0) return;
    auto& pending = PendingRequests();
    for (auto it = pending.begin(); it != pending.end();) {
        if (it->window->instanceClaim == socket) {
            close(it->fd);
            it = pending.erase(it);
        } else {
            ++it;
        }
    }
    close(socket);
}

HWND FindOtherInstance(LPCWSTR className, LPCWSTR title) {
    const int fd = Connect(className, title);
    if (fd < 0) return nullptr;
    close(fd);
    Found() = {className, title};
    return reinterpret_cast<HWND>(&Found());
}

bool AskOtherInstanceToRaise(HWND handle) {
    if (handle != reinterpret_cast<HWND>(&Found())) return false;
    const int fd = Connect(Found().className, Found().title);
    if (fd < 0) return false;
    const bool sent =
        write(fd, kRaise, sizeof kRaise - 1) == static_cast<ssize_t>(sizeof kRaise - 1);
    close(fd);
    return sent;
}

void ServeRaiseRequests() {
    auto& pending = PendingRequests();
    for (Window* window : LiveWindows()) {
        if (window->instanceClaim < 0) continue;
        for (int fd; (fd = accept4(window->instanceClaim, nullptr, nullptr,
                                   SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0;) {
            pending.push_back({fd, window, 0});
        }
    }
    for (auto it = pending.begin(); it != pending.end();) {
        char buffer[16];
        const ssize_t got = read(it->fd, buffer, sizeof buffer);
        const bool waiting = got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        if (got > 0 &&
            std::memcmp(buffer, kRaise, std::min<std::size_t>(got, sizeof kRaise - 1)) == 0) {
            RaiseDesktopWindow(it->window->desktop);
        }
        // A silent peer that keeps its connection open is dropped after a while.
        if (waiting && ++it->polls < 100) {
            ++it;
        } else {
            close(it->fd);
            it = pending.erase(it);
        }
    }
}

}  // namespace platform
