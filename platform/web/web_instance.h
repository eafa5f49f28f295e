// The browser's single-instance backend: a claim is a Web Lock held for the life of the tab
// (the browser lets go of it when the tab closes or crashes), so a second tab of the page
// finds the first; raise requests travel on a broadcast channel. Finding no other tab already
// takes the lock, for the claim that follows: two tabs opened at once cannot both get past
// the look.
#pragma once

#include <string>
#include <vector>

#include "platform/core/instance.h"

namespace platform {

class WebInstance : public InstanceBackend {
public:
    int Claim(const std::u16string& className, const std::u16string& title) override;
    void Release(int claim) override;
    bool FindOther(const std::u16string& className, const std::u16string& title) override;
    bool AskOtherToRaise(const std::u16string& className, const std::u16string& title) override;
    void TakeRaiseRequests(std::vector<int>& claims) override;

private:
    std::vector<std::string> claims_;  // a claim is its index; empty once released
};

}  // namespace platform
