# Sourced by the scripts that run the Windows build: picks the build and the
# Wine loader this machine can run, and says which in ORVAN_ARCH (win32 or
# win64) and ORVAN_WINE_KIND. The shipping build is 32-bit.
#  - Where the machine runs 32-bit code, the 32-bit Wine runs it natively.
#  - Where it cannot (some virtual machines have no 32-bit mode), the 64-bit
#    build runs under the 64-bit Wine; or, with ORVAN_ARCH=win32 set before,
#    the 32-bit program runs in a 64-bit prefix with every 32-bit process
#    under qemu-i386 (scripts/wine-emulated.sh): a second or two a start.
# ORVAN_WINE32=emulated asks for the emulation even where 32-bit code runs.
# orvan_private_wine (below) sets up a private display and Wine prefix, for
# every script that runs the program outside the end-to-end tests.
orvan_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ "${ORVAN_WINE32:-}" != emulated ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    ORVAN_ARCH=win32
    ORVAN_WINE=/usr/lib/wine/wine
    ORVAN_WINE_KIND="32-bit program under 32-bit Wine"
    export WINEARCH=win32
elif [ "${ORVAN_ARCH:-}" = win32 ] || [ "${ORVAN_WINE32:-}" = emulated ]; then
    ORVAN_ARCH=win32
    ORVAN_WINE=$("$orvan_root/scripts/wine-emulated.sh" "$orvan_root/build/wine-emulated")
    ORVAN_WINE_KIND="32-bit program under emulated 32-bit Wine (qemu-i386)"
    export WINELOADER=$ORVAN_WINE WINEARCH=win64
else
    ORVAN_ARCH=win64
    ORVAN_WINE=/usr/lib/wine/wine64
    ORVAN_WINE_KIND="64-bit build under 64-bit Wine"
    export WINELOADER=$ORVAN_WINE WINEARCH=win64
    echo "This machine cannot run 32-bit code: using the 64-bit build under 64-bit Wine." >&2
fi
wine() { "$ORVAN_WINE" "$@"; }

# orvan_private_wine DIR [SCREEN]: a private display and Wine prefix under
# DIR (an absolute path) for what follows, as the end-to-end harness sets up
# its own (tests/e2e/wine.cpp, xscreen.cpp): an Xvfb of SCREEN pixels (such
# as 1600x1200; 1024x768 unless told), a private home, our
# own persistent wineserver, no Mono or Gecko prompts and no menu entries,
# the prefix booted, and Wine's X11 driver unmanaged, as there is no window
# manager. The caller ends both with orvan_private_wine_end (trap it).
orvan_private_wine() {
    local dir=$1 screen=${2:-1024x768} display
    mkdir -p "$dir/home" "$dir/prefix"
    : >"$dir/displayfd"
    Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$dir/displayfd" >"$dir/xvfb.log" 2>&1 &
    ORVAN_XVFB=$!
    for _ in $(seq 100); do [ -s "$dir/displayfd" ] && break; sleep 0.1; done
    display=$(head -n1 "$dir/displayfd")
    [ -n "$display" ] || { echo "Xvfb did not start (see $dir/xvfb.log)" >&2; return 1; }
    export DISPLAY=":$display" WINEPREFIX="$dir/prefix" WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/.config" XDG_DATA_HOME="$dir/home/.local/share" \
        XDG_CACHE_HOME="$dir/home/.cache"
    unset WAYLAND_DISPLAY WINESERVER
    [ "$ORVAN_WINE" != /usr/lib/wine/wine ] || unset WINELOADER
    wineserver -p
    wine wineboot.exe -i >"$dir/wine.log" 2>&1
    # wineboot answers 0 even when the 64-bit prefix's 32-bit half could not run.
    if [ "$WINEARCH" = win64 ] && [ "$ORVAN_ARCH" = win32 ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
        echo "the prefix's 32-bit half is empty (see $dir/wine.log)" >&2
        return 1
    fi
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$dir/wine.log" 2>&1
}
orvan_private_wine_end() {
    wineserver -k 2>/dev/null || true
    [ -z "${ORVAN_XVFB:-}" ] || kill "$ORVAN_XVFB" 2>/dev/null || true
}
