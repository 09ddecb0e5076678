#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests and the
# end-to-end tests of the real 32-bit program under Wine in a private display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
ctest --test-dir build/native --output-on-failure --timeout 3000
