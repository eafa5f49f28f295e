// The single-instance contract: the first window of a class and title claims a name that
// other processes of the same user and data can find, and ask to come forward.
#pragma once

#include <string>
#include <vector>

namespace platform {

class InstanceBackend {
public:
    virtual ~InstanceBackend() = default;

    // Claims the name of this class and title; a claim id (never negative), or -1 when another
    // process holds it or it cannot be made.
    virtual int Claim(const std::u16string& className, const std::u16string& title) = 0;
    virtual void Release(int claim) = 0;
    // Whether another process holds the name.
    virtual bool FindOther(const std::u16string& className, const std::u16string& title) = 0;
    // Asks the process that holds the name to raise its window.
    virtual bool AskOtherToRaise(const std::u16string& className, const std::u16string& title) = 0;
    // Appends the claims whose window another process has asked to raise.
    virtual void TakeRaiseRequests(std::vector<int>& claims) = 0;
};

// The backend in use; null (the default) keeps names to this process.
InstanceBackend* CurrentInstanceBackend();
void SetInstanceBackend(InstanceBackend* backend);

}  // namespace platform
