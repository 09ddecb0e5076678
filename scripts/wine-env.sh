# Sourced by the scripts that run the Windows build: picks the build and the
# Wine loader this machine can run, and says which in ORVAN_ARCH (win32 or
# win64) and ORVAN_WINE_KIND. The shipping build is 32-bit.
#  - Where the machine runs 32-bit code, the 32-bit Wine runs it natively.
#  - Where it cannot (some virtual machines have no 32-bit mode), the 64-bit
#    build runs under the 64-bit Wine; or, with ORVAN_ARCH=win32 set before,
#    the 32-bit program runs in a 64-bit prefix with every 32-bit process
#    under qemu-i386 (scripts/wine-emulated.sh): a second or two a start.
# ORVAN_WINE32=emulated asks for the emulation even where 32-bit code runs.
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
