// The end-to-end tests' main: one environment for the whole run.
#include "harness.h"

int main(int argc, char** argv) {
    orvan::e2e::PrepareSignals();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new orvan::e2e::E2EEnvironment);
    return RUN_ALL_TESTS();
}
