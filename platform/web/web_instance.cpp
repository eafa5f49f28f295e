#include "platform/web/web_instance.h"

#include <emscripten.h>

#include "platform/core/utf16.h"

// clang-format off
EM_ASYNC_JS(int, chalkmere_instance_claim, (const char* name), {
    return (await ChalkmereWeb.claim(UTF8ToString(name))) ? 1 : 0;
});
EM_JS(void, chalkmere_instance_release, (const char* name), {
    ChalkmereWeb.release(UTF8ToString(name));
});
EM_ASYNC_JS(int, chalkmere_instance_find_other, (const char* name), {
    return (await ChalkmereWeb.findOther(UTF8ToString(name))) ? 1 : 0;
});
EM_JS(int, chalkmere_instance_ask_to_raise, (const char* name), {
    return ChalkmereWeb.askOtherToRaise(UTF8ToString(name)) ? 1 : 0;
});
EM_JS(int, chalkmere_instance_take_raise, (const char* name), {
    return ChalkmereWeb.takeRaiseRequest(UTF8ToString(name)) ? 1 : 0;
});
// clang-format on

namespace platform {

namespace {

// page_words writes the same name for the page, which asks for the lock before the program.
std::string LockName(const std::u16string& className, const std::u16string& title) {
    return "chalkmere-instance\n" + Utf8FromWide(className.c_str()) + "\n" +
           Utf8FromWide(title.c_str());
}

}  // namespace

int WebInstance::Claim(const std::u16string& className, const std::u16string& title) {
    std::string name = LockName(className, title);
    if (chalkmere_instance_claim(name.c_str()) == 0) return -1;
    claims_.push_back(std::move(name));
    return static_cast<int>(claims_.size()) - 1;
}

void WebInstance::Release(int claim) {
    if (claim < 0 || claim >= static_cast<int>(claims_.size()) || claims_[claim].empty()) return;
    chalkmere_instance_release(claims_[claim].c_str());
    claims_[claim].clear();
}

bool WebInstance::FindOther(const std::u16string& className, const std::u16string& title) {
    return chalkmere_instance_find_other(LockName(className, title).c_str()) != 0;
}

bool WebInstance::AskOtherToRaise(const std::u16string& className, const std::u16string& title) {
    return chalkmere_instance_ask_to_raise(LockName(className, title).c_str()) != 0;
}

void WebInstance::TakeRaiseRequests(std::vector<int>& claims) {
    for (std::size_t i = 0; i < claims_.size(); ++i) {
        if (!claims_[i].empty() && chalkmere_instance_take_raise(claims_[i].c_str()) != 0) {
            claims.push_back(static_cast<int>(i));
        }
    }
}

}  // namespace platform
