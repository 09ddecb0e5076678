#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests, the
# end-to-end tests of the real program under Wine in a private display, and
# a bounded round of the settings file's fuzz harness (FUZZ_SECONDS).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
ctest --test-dir build/native --output-on-failure --timeout 3000
scripts/fuzz.sh
