#!/usr/bin/env bash
# Installs the Debian packages the build, the packages and the tests need, if
# any is missing.
# Runs apt-get as root, or through sudo.
set -euo pipefail

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
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
