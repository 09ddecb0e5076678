#!/usr/bin/env bash
# Usage: scripts/wine-emulated.sh DIR
# Lays out in DIR a private copy of Wine's loaders that starts every 32-bit
# Windows process under qemu-i386 user-mode emulation, for machines that
# cannot execute 32-bit code. Prints the 64-bit loader to run (and to name in
# WINELOADER); the prefix it is used with must be a 64-bit one.
#
# Wine re-executes a loader from the real directory of the loader that runs,
# as "<dir>/wine-preloader <dir>/wine ARGS" when a wine-preloader is there;
# Debian ships none, so ours is a script that hands the 32-bit loader to
# qemu. The loaders find their libraries and data through paths relative to
# their own directory, which the symbolic links below provide. Nothing in the
# system's configuration (binfmt) is touched.
#
# Every 32-bit process gets tools/emulation preloaded, built here with clang:
# an mmap without which qemu-i386 7.2 makes Wine's 32-bit start-up take about
# a minute (noreplace_mmap.c), and a segment of its own for each thread's
# data, without which a signal can leave a thread reading another's and the
# process dies (thread_segments.c).
set -euo pipefail
dir=$(realpath -m "${1:?usage: scripts/wine-emulated.sh DIR}")
libdir=/usr/lib/wine
qemu=$(command -v qemu-i386-static || true)
[ -n "$qemu" ] || { echo "qemu-i386-static is missing (package qemu-user-static)" >&2; exit 1; }
command -v clang >/dev/null || { echo "clang is missing (it builds the emulated processes' mmap)" >&2; exit 1; }
root=$(cd "$(dirname "$0")/.." && pwd)
for loader in wine wine64; do
    [ -x "$libdir/$loader" ] || { echo "$libdir/$loader is missing" >&2; exit 1; }
done

# Built afresh beside and then moved in, so a reader never sees half a tree.
mkdir -p "$(dirname "$dir")"
new=$(mktemp -d "$dir.new.XXXXXX")
mkdir -p "$new/lib/wine" "$new/lib/i386-linux-gnu" "$new/lib/x86_64-linux-gnu" "$new/share"
# Copies, not links: Wine resolves its own path through /proc/self/exe.
cp "$libdir/wine" "$libdir/wine64" "$new/lib/wine/"
ln -s /usr/lib/i386-linux-gnu/wine "$new/lib/i386-linux-gnu/wine"
ln -s /usr/lib/x86_64-linux-gnu/wine "$new/lib/x86_64-linux-gnu/wine"
ln -s /usr/share/wine "$new/share/wine"
# The preload is named by the loader's platform, which the dynamic loader
# fills in: i686 under qemu; x86_64, or haswell or xeon_phi by the processor,
# for the 64-bit processes that inherit the setting from a 32-bit parent (for
# them an empty library, so that nothing complains of a 32-bit one).
mkdir -p "$new/lib/preload/i686" "$new/lib/preload/x86_64"
ln -s x86_64 "$new/lib/preload/haswell"
ln -s x86_64 "$new/lib/preload/xeon_phi"
clang -target i386-linux-gnu -O2 -fPIC -shared -nostdlib -ffreestanding -Wall -Werror \
    -o "$new/lib/preload/i686/emulation.so" "$root/tools/emulation/noreplace_mmap.c" \
    "$root/tools/emulation/thread_segments.c"
echo "" | clang -x c -O2 -fPIC -shared -nostdlib -o "$new/lib/preload/x86_64/emulation.so" -
cat >"$new/lib/wine/wine-preloader" <<EOF
#!/bin/sh
# Called as: wine-preloader <this dir>/wine ARGS, for each 32-bit process.
exec "$qemu" -E 'LD_PRELOAD=$dir/lib/preload/\$PLATFORM/emulation.so' "\$@"
EOF
chmod +x "$new/lib/wine/wine-preloader"
rm -rf "$dir"
mv "$new" "$dir"
echo "$dir/lib/wine/wine64"
