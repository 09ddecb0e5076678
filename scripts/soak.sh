#!/usr/bin/env bash
# Builds once, then runs the end-to-end suite N times in a row (default 10),
# each run with a fresh Wine prefix and display. Prints the failed tests of
# each run, and at the end how many runs passed and failed.
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
JOBS=${JOBS:-$(nproc)} scripts/build.sh >/dev/null || { echo "the build failed"; exit 2; }
# The installer's tests install the release built for the Wine they run under.
arch=$(. scripts/wine-env.sh 2>/dev/null; echo "$ORVAN_ARCH")
scripts/package.sh --arch "$arch" >/dev/null || { echo "the package failed"; exit 2; }
mkdir -p build/soak
passed=0
failed=0
for run in $(seq "$runs"); do
    log=build/soak/run-$run.log
    start=$(date +%s)
    if build/native/e2e_tests >"$log" 2>&1; then
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
