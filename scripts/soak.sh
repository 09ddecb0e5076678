#!/usr/bin/env bash
# Usage: scripts/soak.sh [--arch win32|win64] [N]
# Builds once, then runs the end-to-end suite N times in a row (default 10),
# each run with a fresh Wine prefix and display. Prints the failed tests of
# each run, and at the end how many runs passed and failed.
# Without --arch it tests what the machine runs: the shipping 32-bit program
# where 32-bit code runs, the 64-bit build elsewhere. --arch win32 tests the
# shipping program anyway: where 32-bit code must be emulated, with the
# subset tests/e2e/wow64.filter names (ORVAN_WINE32=emulated forces the
# emulation). --arch win64 tests the 64-bit build under the 64-bit Wine.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh || exit 2
export ORVAN_DEPS_CHECKED=1
arch=""
if [ "${1:-}" = --arch ]; then
    arch=${2:?usage: scripts/soak.sh [--arch win32|win64] [N]}
    shift 2
fi
runs=${1:-10}
case "$arch" in
    "") arch=$(. scripts/wine-env.sh 2>/dev/null; echo "$ORVAN_ARCH") ;;
    win32 | win64) ;;
    *) echo "usage: scripts/soak.sh [--arch win32|win64] [N]"; exit 2 ;;
esac
filter=()
if [ "$arch" = win32 ]; then
    kind=$(ORVAN_ARCH=win32; . scripts/wine-env.sh 2>/dev/null; echo "$ORVAN_WINE_KIND")
    case "$kind" in
        *emulated*)
            export ORVAN_WINE32=emulated
            filter=("--gtest_filter=$(grep -v '^#' tests/e2e/wow64.filter | paste -sd:)")
            ;;
    esac
else
    kind="64-bit build under 64-bit Wine"
fi
export ORVAN_E2E_ARCH=$arch
echo "soak: $kind${filter:+, the emulated subset}"
JOBS=${JOBS:-$(nproc)} scripts/build.sh >/dev/null || { echo "the build failed"; exit 2; }
# The installer's tests install the release built for the program under test.
scripts/package.sh --arch "$arch" >/dev/null || { echo "the package failed"; exit 2; }
mkdir -p build/soak
passed=0
failed=0
for run in $(seq "$runs"); do
    log=build/soak/run-$run.log
    start=$(date +%s)
    if build/native/e2e_tests "${filter[@]}" >"$log" 2>&1; then
        passed=$((passed + 1))
        echo "run $run: passed ($(( $(date +%s) - start )) s)"
    else
        failed=$((failed + 1))
        echo "run $run: FAILED ($(( $(date +%s) - start )) s), log $log"
        grep -E '^\[  FAILED  \] [^ ]+\.' "$log" | grep -v ' ms)$' | sed 's/^/    /' | sort -u
        # Keep the artifacts of the failed run beside its log.
        [ -d build/native/e2e/artifacts ] && cp -r build/native/e2e/artifacts "build/soak/artifacts-$run"
    fi
done
echo "soak: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
