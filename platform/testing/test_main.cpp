// The entry of every test program: the test backends, then the tests.
#include <gtest/gtest.h>

#include "platform/testing/testing.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    platform::testing::InstallTestBackends();
    return RUN_ALL_TESTS();
}
