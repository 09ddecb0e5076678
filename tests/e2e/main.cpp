// The end-to-end tests' main: one environment for the whole run.
#include <cstring>

#include "harness.h"

int main(int argc, char** argv) {
    orvan::e2e::PrepareSignals();
    if (argc == 2 && std::strcmp(argv[1], "--prepare-prefix") == 0) return orvan::e2e::PreparePrefix();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new orvan::e2e::E2EEnvironment);
    return RUN_ALL_TESTS();
}
