// The test's own registry keeps the contract of every store, so tests on it mean what they say.
#include "platform/testing/testing.h"
#include "tests/support/RegistryContract.h"

namespace {

TEST(MemoryStore, TheStoreContract) {
    platform::testing::TemporaryRegistry registry;
    testsupport::CheckRegistryContract(
        {[] {}, [&](bool available) { registry.SetAvailable(available); }});
}

}  // namespace
