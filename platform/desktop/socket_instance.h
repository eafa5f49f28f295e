// The desktop's single-instance backend: a claim is a listening abstract Unix socket whose
// name stands for the user, the data folder, the class and the title; another process finds
// it by connecting and asks for a raise by writing to it.
#pragma once

#include <string>
#include <vector>

#include "platform/core/instance.h"

namespace platform {

class SocketInstance : public InstanceBackend {
public:
    // `dataFolder` is part of every name: one instance per set of saved progress, so a game
    // with a data folder of its own (a test's) runs beside the user's.
    explicit SocketInstance(std::string dataFolder) : dataFolder_(std::move(dataFolder)) {}
    ~SocketInstance() override;
    SocketInstance(const SocketInstance&) = delete;
    SocketInstance& operator=(const SocketInstance&) = delete;

    int Claim(const std::u16string& className, const std::u16string& title) override;
    void Release(int claim) override;
    bool FindOther(const std::u16string& className, const std::u16string& title) override;
    bool AskOtherToRaise(const std::u16string& className, const std::u16string& title) override;
    void TakeRaiseRequests(std::vector<int>& claims) override;

private:
    int Connect(const std::u16string& className, const std::u16string& title) const;

    // Connections accepted but not yet read: a finding process connects without asking.
    struct Pending {
        int fd;
        int claim;
        int polls;
    };

    std::string dataFolder_;
    std::vector<int> claims_;  // the listening sockets; a claim is its socket
    std::vector<Pending> pending_;
};

}  // namespace platform
