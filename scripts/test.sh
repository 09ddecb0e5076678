#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests, the release
# packages and their reproducibility, the end-to-end tests of the real 32-bit
# program and its installer under Wine in a private display, and a bounded
# round of the settings file's fuzz harness (FUZZ_SECONDS).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
# The release (build/package), and a second build of it from nothing that
# must give the same bytes; then the shipped program's header and imports
# against their review.
tests/package/reproducible.sh
tests/package/imports.sh
# Where the machine cannot run 32-bit code the end-to-end tests run the
# 64-bit build, and install the same installer script built around it.
if [ "$(. scripts/wine-env.sh 2>/dev/null; echo "$ORVAN_ARCH")" = win64 ]; then
    scripts/package.sh --arch win64
fi
ctest --test-dir build/native --output-on-failure --timeout 3600
# What each end-to-end run tested: the program, the Wine, the installer.
sed -n -E 's/^[0-9]+\/[0-9]+ Test: (e2e.*)/\1:/p; s/^(e2e: (testing|installing) .*)/    \1/p' \
    build/native/Testing/Temporary/LastTest.log
# The unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
cmake --preset asan >/dev/null
cmake --build --preset asan -j "${JOBS:-$(nproc)}"
build/asan/unit_tests
scripts/fuzz.sh
