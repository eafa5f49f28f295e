// The entry of every test program: the test backends, then the tests.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/testing/testing.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    platform::testing::InstallTestBackends();
    // Said outright: in the browser a main that waited (Asyncify) ends without its return
    // value being heard.
    std::exit(RUN_ALL_TESTS());
}
