#!/usr/bin/env bash
# Builds everything through the presets of CMakePresets.json: the native tree
# (core, unit tests, picture generator, end-to-end tests, benchmarks), then the
# 32-bit program that ships and the 64-bit build that is kept compiling.
# Usage: scripts/build.sh [PRESET...]   (default: native win32 win64; the
# Windows trees need the native one's pictures)
# BUILD_TYPE overrides the presets' Release.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-$(nproc)}

scripts/install-deps.sh
export ORVAN_DEPS_CHECKED=1

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(native win32 win64)
for preset in "${presets[@]}"; do
    # A tree configured with a toolchain file that has since moved starts anew.
    toolchain=$(sed -n 's/^include("\(.*\)")$/\1/p' build/"$preset"/CMakeFiles/*/CMakeSystem.cmake 2>/dev/null || true)
    if [ -n "$toolchain" ] && [ ! -f "$toolchain" ]; then
        rm -rf "build/$preset/CMakeCache.txt" "build/$preset/CMakeFiles"
    fi
    cmake --preset "$preset" ${BUILD_TYPE:+-DCMAKE_BUILD_TYPE="$BUILD_TYPE"} >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
done
echo "Built ${presets[*]}"
