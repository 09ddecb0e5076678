#!/usr/bin/env bash
# Builds the Windows release and writes, under build/package/:
#   orvan97-<version>-win32.zip        orvan97.exe, LICENSE.txt and README.txt:
#                                      the program without installation
#   orvan97-<version>-win32-setup.exe  the installer (NSIS, packaging/orvan97.nsi)
#   orvan97-<version>-win32.msi        the MSI, for deployment to many machines
#                                      (wixl, packaging/orvan97.wxs)
#   SHA256SUMS                         their check sums
#   winget/, scoop/                    the package managers' manifests, when the
#                                      release has a base URL (below)
# The version comes from src/version.h. Two runs on one commit give the same
# bytes: every packaged file carries the commit's time (SOURCE_DATE_EPOCH
# when set), in UTC, and so do the MSI's summary and the signatures.
#
# Signing (Authenticode, osslsigncode): with ORVAN_SIGN_PKCS12 naming a
# PKCS#12 certificate and ORVAN_SIGN_PASSWORD holding its password (both in
# the environment, never on a command line), orvan97.exe is signed before it
# is packed, the uninstaller and Setup as makensis writes them, and the MSI;
# signed at the release's time, so the same certificate gives the same bytes.
# ORVAN_SIGN_TSA=URL adds an RFC 3161 timestamp instead (docs/release.md).
# Without a certificate the release is unsigned, and says so.
#
# Options (the defaults make the release):
#   --arch win64     package the 64-bit build instead, into build/package-win64/
#                    (the installers the tests run where the machine has no
#                    32-bit mode; not a release)
#   --build-dir DIR  the Windows build tree (default build/win32 or build/win64)
#   --out DIR        where the packages go
#   --base-url URL   where the release's files will be downloaded from (or
#                    ORVAN_RELEASE_URL): the manifests' download addresses
# JOBS, as for scripts/build.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-$(nproc)}

arch=win32
build=""
out=""
base_url=${ORVAN_RELEASE_URL:-}
while [ $# -gt 0 ]; do
    case $1 in
        --arch) arch=$2; shift 2 ;;
        --build-dir) build=$2; shift 2 ;;
        --out) out=$2; shift 2 ;;
        --base-url) base_url=$2; shift 2 ;;
        *) echo "usage: $0 [--arch win32|win64] [--build-dir DIR] [--out DIR] [--base-url URL]" >&2; exit 2 ;;
    esac
done
case $arch in
    win32) out=${out:-build/package} ;;
    win64) out=${out:-build/package-win64} ;;
    *) echo "--arch must be win32 or win64, not $arch" >&2; exit 2 ;;
esac
build=$(realpath -m "${build:-build/$arch}")
out=$(realpath -m "$out")

scripts/install-deps.sh
export ORVAN_DEPS_CHECKED=1

. scripts/version.sh
version=$ORVAN_VERSION revision=$ORVAN_REVISION windows=$ORVAN_WINDOWS_NAME
# The commit's time; outside a git checkout, 1 January 1997.
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 852076800)}

# The password goes to packaging/sign.sh in a file only this user can read,
# which is removed on the way out; no program started from here sees it in
# its environment.
signing=""
if [ -n "${ORVAN_SIGN_PKCS12:-}" ]; then
    if [ ! -r "$ORVAN_SIGN_PKCS12" ]; then
        echo "ORVAN_SIGN_PKCS12: cannot read the certificate $ORVAN_SIGN_PKCS12" >&2
        exit 1
    fi
    if [ -z "${ORVAN_SIGN_PASSWORD+set}" ]; then
        echo "ORVAN_SIGN_PKCS12 is set but ORVAN_SIGN_PASSWORD is not (its password, empty for none)" >&2
        exit 1
    fi
    secrets=$(mktemp -d)
    trap 'rm -rf "$secrets"' EXIT
    (umask 077 && printf '%s' "$ORVAN_SIGN_PASSWORD" > "$secrets/password")
    export -n ORVAN_SIGN_PASSWORD
    export ORVAN_SIGN_PKCS12=$(realpath "$ORVAN_SIGN_PKCS12") ORVAN_SIGN_PASSFILE=$secrets/password ORVAN_SIGN_TIME=$epoch
    signing=$root/packaging/sign.sh
    echo "Signing with $ORVAN_SIGN_PKCS12 at $(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S') UTC."
else
    echo "No signing certificate (ORVAN_SIGN_PKCS12): the release is unsigned."
fi

# The pictures the resource script embeds come from the native tree's
# generator (configured if it is not yet); the program is built through its
# preset, as scripts/build.sh builds it, in the preset's tree or --build-dir.
pictures=$root/build/native/pictures
[ -f build/native/CMakeCache.txt ] || cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs" --target pictures
cmake --preset "$arch" -B "$build" >/dev/null
cmake --build "$build" -j "$jobs" --target orvan97

# The three files, texts in CR LF, all with the same time and modes.
stage=$build/package-stage
rm -rf "$stage"
mkdir -p "$stage" "$out"
cp "$build/orvan97.exe" "$stage/orvan97.exe"
[ -z "$signing" ] || "$signing" "$stage/orvan97.exe"
crlf() { sed 's/\r$//; s/$/\r/'; }
crlf < LICENSE > "$stage/LICENSE.txt"
sed "s/@VERSION@/$version/g; s/@REVISION@/$revision/g; s/@WINDOWS@/$windows/g" packaging/README.txt | crlf > "$stage/README.txt"
chmod 644 "$stage"/*
touch -d "@$epoch" "$stage"/*

zip=$out/orvan97-$version-$arch.zip
setup=$out/orvan97-$version-$arch-setup.exe
msi=$out/orvan97-$version-$arch.msi
rm -rf "$zip" "$setup" "$msi" "$out/SHA256SUMS" "$out/winget" "$out/scoop"
# -X: no owner or extra time fields; -D: no folder entries; the order given.
(cd "$stage" && TZ=UTC zip -X -D -q "$zip" orvan97.exe LICENSE.txt README.txt)

makensis -V2 -WX -DARCH="$arch" -DSTAGE="$stage" -DICON="$pictures/orvan97.ico" -DOUTDIR="$out" \
    ${signing:+-DSIGN="$signing"} "$root/packaging/orvan97.nsi"

# The MSI's product version takes the revision, so each release upgrades the last.
packaging/msi.sh --arch "$arch" --stage "$stage" --icon "$pictures/orvan97.ico" --version "$version.$revision" \
    --epoch "$epoch" --out "$msi"
[ -z "$signing" ] || "$signing" "$msi"

(cd "$out" && sha256sum "$(basename "$zip")" "$(basename "$setup")" "$(basename "$msi")" > SHA256SUMS)

if [ -n "$base_url" ]; then
    product_code=$(msiinfo export "$msi" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p')
    upgrade_code=$(msiinfo export "$msi" Property | tr -d '\r' | sed -n 's/^UpgradeCode\t//p')
    python3 packaging/manifests.py --package-dir "$out" --arch "$arch" --version "$version" \
        --msi-version "$version.$revision" --product-code "$product_code" --upgrade-code "$upgrade_code" \
        --base-url "$base_url"
else
    echo "No base URL (--base-url or ORVAN_RELEASE_URL): the winget and Scoop manifests are not written."
fi

echo "Packaged Orvan 97 $version (revision $revision), $arch, ${signing:+signed, }in $out:"
(cd "$out" && ls -l "$(basename "$zip")" "$(basename "$setup")" "$(basename "$msi")" | awk '{print "  " $NF " (" $5 " bytes)"}')
