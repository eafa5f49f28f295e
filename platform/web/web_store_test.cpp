// The contract every registry store keeps, over the page's localStorage; storage is made
// unusable as a browser with it switched off makes it: touching localStorage throws.
#include "platform/web/web_store.h"

#include <emscripten.h>

#include <memory>

#include "tests/support/RegistryContract.h"

// clang-format off
EM_JS(void, chalkmere_test_switch_storage, (int on), {
    if (!('realStorage' in Module)) {
        Module.realStorage = Object.getOwnPropertyDescriptor(window, 'localStorage');
    }
    const off = () => { throw new DOMException('switched off', 'SecurityError'); };
    Object.defineProperty(window, 'localStorage', on ? Module.realStorage
                                                     : { configurable: true, get: off });
});
// clang-format on

namespace {

TEST(WebStore, TheStoreContract) {
    std::unique_ptr<platform::WebStore> store;
    const auto reopen = [&] {
        store = std::make_unique<platform::WebStore>();
        platform::SetRegistryStore(store.get());
    };
    reopen();
    testsupport::CheckRegistryContract(
        {reopen, [](bool available) { chalkmere_test_switch_storage(available ? 1 : 0); }});
    platform::SetRegistryStore(nullptr);
}

}  // namespace
