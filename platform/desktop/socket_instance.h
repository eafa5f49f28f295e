// The desktop's single-instance backend: a claim is a listening abstract Unix socket whose
// name stands for the user, the data folder, the class and the title; another process finds
// it by connecting and asks for a raise by writing to it. A thread of its own listens, so a
// request is heard while the program waits for ever on its display.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <thread>
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

    // Called on the listening thread whenever a raise request comes, to end the program's
    // wait; set before the first claim.
    void SetWake(std::function<void()> wake) { wake_ = std::move(wake); }

    int Claim(const std::u16string& className, const std::u16string& title) override;
    void Release(int claim) override;
    bool FindOther(const std::u16string& className, const std::u16string& title) override;
    bool AskOtherToRaise(const std::u16string& className, const std::u16string& title) override;
    void TakeRaiseRequests(std::vector<int>& claims) override;

private:
    int Connect(const std::u16string& className, const std::u16string& title) const;
    // The listening thread runs while there are claims; it is stopped while they change.
    void StartListening();
    void StopListening();
    void Listen(std::vector<int> claims, int stop);

    std::string dataFolder_;
    std::vector<int> claims_;  // the listening sockets; a claim is its socket
    std::function<void()> wake_;
    std::thread listener_;
    int stopWrite_ = -1;
    std::mutex mutex_;
    std::vector<int> raised_;  // claims asked to raise and not yet taken, under mutex_
};

}  // namespace platform
