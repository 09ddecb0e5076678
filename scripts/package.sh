#!/usr/bin/env bash
# Builds the Windows release and writes, under build/package/:
#   orvan97-<version>-win32.zip        orvan97.exe, LICENSE.txt and README.txt:
#                                      the program without installation
#   orvan97-<version>-win32-setup.exe  the installer (NSIS, packaging/orvan97.nsi)
#   SHA256SUMS                         their check sums
# The version comes from src/version.h. Two runs on one commit give the same
# program and zip, byte for byte: every packaged file carries the commit's
# time (SOURCE_DATE_EPOCH when set), in UTC.
#
# Options (the defaults make the release):
#   --arch win64     package the 64-bit build instead, into build/package-win64/
#                    (the installer the tests run where the machine has no
#                    32-bit mode; not a release)
#   --build-dir DIR  the Windows build tree (default build/win32 or build/win64)
#   --out DIR        where the packages go
# JOBS, as for scripts/build.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-$(nproc)}

arch=win32
build=""
out=""
while [ $# -gt 0 ]; do
    case $1 in
        --arch) arch=$2; shift 2 ;;
        --build-dir) build=$2; shift 2 ;;
        --out) out=$2; shift 2 ;;
        *) echo "usage: $0 [--arch win32|win64] [--build-dir DIR] [--out DIR]" >&2; exit 2 ;;
    esac
done
case $arch in
    win32) toolchain=mingw-i686; out=${out:-build/package} ;;
    win64) toolchain=mingw-x86_64; out=${out:-build/package-win64} ;;
    *) echo "--arch must be win32 or win64, not $arch" >&2; exit 2 ;;
esac
build=$(realpath -m "${build:-build/$arch}")
out=$(realpath -m "$out")

scripts/install-deps.sh

version=$(sed -n 's/^#define ORVAN_VERSION "\([0-9.]*\)"$/\1/p' src/version.h)
revision=$(sed -n 's/^#define ORVAN_REVISION \([0-9]*\)$/\1/p' src/version.h)
windows=$(sed -n 's/^#define ORVAN_WINDOWS_NAME "\(.*\)"$/\1/p' src/version.h)
if [ -z "$version" ] || [ -z "$revision" ] || [ -z "$windows" ]; then
    echo "src/version.h: no ORVAN_VERSION, ORVAN_REVISION or ORVAN_WINDOWS_NAME definition" >&2
    exit 1
fi
# The commit's time; outside a git checkout, 1 January 1997.
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 852076800)}

# The pictures the resource script embeds come from the native tree's
# generator (configured as scripts/build.sh does, if it is not yet).
pictures=$root/build/native/pictures
if [ ! -f build/native/CMakeCache.txt ]; then
    cmake --preset native >/dev/null
fi
cmake --build build/native -j "$jobs" --target pictures

# The program, as scripts/build.sh builds it (a Release build).
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/$toolchain.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DORVAN_PICTURES_DIR="$pictures" --no-warn-unused-cli >/dev/null
cmake --build "$build" -j "$jobs" --target orvan97

# The three files, texts in CR LF, all with the same time and modes.
stage=$build/package-stage
rm -rf "$stage"
mkdir -p "$stage" "$out"
cp "$build/orvan97.exe" "$stage/orvan97.exe"
crlf() { sed 's/\r$//; s/$/\r/'; }
crlf < LICENSE > "$stage/LICENSE.txt"
sed "s/@VERSION@/$version/g; s/@REVISION@/$revision/g; s/@WINDOWS@/$windows/g" packaging/README.txt | crlf > "$stage/README.txt"
chmod 644 "$stage"/*
touch -d "@$epoch" "$stage"/*

zip=$out/orvan97-$version-$arch.zip
setup=$out/orvan97-$version-$arch-setup.exe
rm -f "$zip" "$setup" "$out/SHA256SUMS"
# -X: no owner or extra time fields; -D: no folder entries; the order given.
(cd "$stage" && TZ=UTC zip -X -D -q "$zip" orvan97.exe LICENSE.txt README.txt)

makensis -V2 -WX -DARCH="$arch" -DSTAGE="$stage" -DICON="$pictures/orvan97.ico" -DOUTDIR="$out" \
    "$root/packaging/orvan97.nsi"

(cd "$out" && sha256sum "$(basename "$zip")" "$(basename "$setup")" > SHA256SUMS)
echo "Packaged Orvan 97 $version (revision $revision), $arch, in $out:"
(cd "$out" && ls -l "$(basename "$zip")" "$(basename "$setup")" | awk '{print "  " $NF " (" $5 " bytes)"}')
