#!/usr/bin/env bash
# Builds everything: the native tree (core, unit tests, picture generator,
# end-to-end tests, benchmarks), then the 32-bit program that ships and the
# 64-bit build that is kept compiling.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-$(nproc)}
type=${BUILD_TYPE:-Release}

scripts/install-deps.sh

cmake -S . -B build/native -DCMAKE_BUILD_TYPE="$type" -DORVAN_WIN32_DIR="$root/build/win32" \
    -DORVAN_WIN64_DIR="$root/build/win64" >/dev/null
cmake --build build/native -j "$jobs"

for arch in win32:mingw-i686 win64:mingw-x86_64; do
    dir=${arch%%:*}
    toolchain=${arch#*:}
    cmake -S . -B "build/$dir" -DCMAKE_TOOLCHAIN_FILE="cmake/$toolchain.cmake" -DCMAKE_BUILD_TYPE="$type" \
        -DORVAN_PICTURES_DIR="$root/build/native/pictures" >/dev/null
    cmake --build "build/$dir" -j "$jobs"
done
echo "Built build/win32/orvan97.exe and build/win64/orvan97.exe"
