#!/usr/bin/env bash
# Installs the Debian packages the build, the packages and the tests need, if
# any is missing.
# Runs apt-get as root, or through sudo. A mirror in mid-sync does not stop
# it: an index that cannot be fetched is a warning, and where the i386 and
# amd64 versions of a library then disagree (wine32 refused), the release's
# own versions are taken. It fails only when a needed package really cannot
# be installed, and names it.
set -euo pipefail
# Once per run: the script that ran it exports ORVAN_DEPS_CHECKED, and the
# scripts it calls in turn find it set.
[ -z "${ORVAN_DEPS_CHECKED:-}" ] || exit 0

# fonts-wine: Wine's own fonts (Tahoma among them), which a Wine user has;
# without them the console's text falls back to whatever the machine has.
# clang and its runtimes: the fuzz harness (libFuzzer).
# qemu-user-static: qemu-i386, which runs the 32-bit Wine where the machine
# has no 32-bit mode (scripts/wine-emulated.sh); without recommends, so
# nothing registers it with the kernel (binfmt).
packages=(cmake g++ make mingw-w64 nsis zip wine wine32 wine64 fonts-wine xvfb x11-utils imagemagick
          libgtest-dev libgmock-dev libbenchmark-dev libx11-dev libxtst-dev
          clang libclang-rt-14-dev qemu-user-static)

# clang-format: scripts/check-format.sh, which CI runs on every change.
packages+=(clang-format)
# The release: Authenticode signing, the MSI (wixl, msitools), and the
# package managers' manifests checked against their schemas.
packages+=(osslsigncode wixl msitools python3 python3-jsonschema python3-yaml openssl)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
# Wine's 32-bit part comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -q i386; then
    $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
if ! $sudo apt-get update -qq; then
    echo "install-deps: warning: apt-get update could not fetch every index (a mirror being synced?); going on with what it has" >&2
fi
install() { $sudo apt-get install -y -qq --no-install-recommends "$@" >/dev/null; }
install "${missing[@]}" && exit 0

# A missing index (often one architecture's security updates) leaves the
# i386 and amd64 builds of a library at different versions, and apt refuses
# the pair; the release's own versions always match.
release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
if [ -n "$release" ]; then
    echo "install-deps: warning: retrying with the versions of the release itself (-t $release)" >&2
    install -t "$release" "${missing[@]}" && exit 0
fi
failed=()
for p in "${missing[@]}"; do
    apt-get install -s -qq --no-install-recommends ${release:+-t "$release"} "$p" >/dev/null 2>&1 || failed+=("$p")
done
echo "install-deps: cannot install: ${failed[*]:-${missing[*]}}" >&2
exit 1
