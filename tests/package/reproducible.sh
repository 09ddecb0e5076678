#!/usr/bin/env bash
# Reproducibility of the release: runs scripts/package.sh as usual (into
# build/package, from build/win32) and once more from nothing in another
# folder (build/repro), then compares the two byte for byte: the program,
# the zip and the installer.
set -euo pipefail
cd "$(dirname "$0")/../.."

scripts/package.sh
rm -rf build/repro
scripts/package.sh --build-dir build/repro/win32 --out build/repro/package

version=$(sed -n 's/^#define ORVAN_VERSION "\([0-9.]*\)"$/\1/p' src/version.h)
failed=0
compare() {
    if cmp -s "$1" "$2"; then
        echo "same bytes: $1 and $2"
    else
        echo "DIFFERENT: $1 and $2" >&2
        failed=1
    fi
}
compare build/win32/orvan97.exe build/repro/win32/orvan97.exe
compare "build/package/orvan97-$version-win32.zip" "build/repro/package/orvan97-$version-win32.zip"
compare "build/package/orvan97-$version-win32-setup.exe" "build/repro/package/orvan97-$version-win32-setup.exe"
if [ "$failed" -ne 0 ]; then
    echo "The release is not reproducible; the second build stays in build/repro." >&2
    exit 1
fi
rm -rf build/repro
echo "Reproducible: two builds of the release gave the same bytes."
