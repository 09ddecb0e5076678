#!/usr/bin/env bash
# Fuzzes the settings file with libFuzzer (the reader and writer in a
# single-byte and a double-byte code page, the save's whole copy and its
# recovery) for a bounded time (FUZZ_SECONDS, default 60) and fails on any
# finding. The corpus grows in build/fuzz/corpus and is kept between runs.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}

scripts/install-deps.sh
export ORVAN_DEPS_CHECKED=1
cmake -S . -B build/fuzz -DORVAN_FUZZ_ONLY=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/fuzz --target profile_fuzz -j "${JOBS:-$(nproc)}"
mkdir -p build/fuzz/corpus build/fuzz/findings
echo "Fuzzing the settings file for $seconds s"
# A crash, a failed property or a leak ends libFuzzer with a non-zero status
# and leaves the input in build/fuzz/findings.
build/fuzz/profile_fuzz -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix=build/fuzz/findings/ -print_final_stats=1 build/fuzz/corpus 2>build/fuzz/fuzz.log \
    || { tail -40 build/fuzz/fuzz.log; echo "The fuzz harness found a fault: see build/fuzz/findings/"; exit 1; }
grep -E '^stat::(number_of_executed_units|new_units_added)' build/fuzz/fuzz.log || true
echo "No finding in $seconds s"
