# Sourced by the scripts that run the Windows build: picks the build and the
# Wine loader this machine can run. The shipping build is 32-bit; a machine
# without a 32-bit mode (some virtual machines) cannot start the 32-bit Wine,
# and there the 64-bit build runs under the 64-bit Wine instead.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    ORVAN_ARCH=win32
    ORVAN_WINE=wine
else
    ORVAN_ARCH=win64
    ORVAN_WINE=/usr/lib/wine/wine64
    export WINELOADER=$ORVAN_WINE
    echo "This machine cannot run 32-bit code: using the 64-bit build under 64-bit Wine." >&2
fi
export WINEARCH=$ORVAN_ARCH
wine() { "$ORVAN_WINE" "$@"; }
