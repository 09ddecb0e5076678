#!/usr/bin/env bash
# Builds Orvan 97 and starts the console.
#  - With a display ($DISPLAY set), the console opens there under your own
#    Wine setup, and this script returns when it closes.
#  - Without one, the console opens in a private virtual display with a
#    private Wine prefix under build/, a screenshot is saved as
#    build/screenshot.png, and the console is closed with a close request.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
. scripts/wine-env.sh
exe=build/$ORVAN_ARCH/orvan97.exe

if [ -n "${DISPLAY:-}" ]; then
    exec wine "$exe"
fi

work=build/run
rm -rf "$work"
mkdir -p "$work"
exec 3<> "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export WINEPREFIX="$PWD/$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() { wineserver -k 2>/dev/null || true; kill "$xvfb" 2>/dev/null || true; }
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$work/displayfd" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/displayfd")"
echo "Preparing a private Wine prefix in $work/prefix ..."
wine wineboot.exe -i >/dev/null 2>&1
# Without a window manager Wine must place windows itself, maximized ones too.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

wine "$exe" &
console=$!
for _ in $(seq 100); do
    xwininfo -root -tree 2>/dev/null | grep -q '"Orvan 97"' && break
    sleep 0.1
done
sleep 1.5  # the opening slide ends a quarter of a second after the console opens
import -window root build/screenshot.png
echo "Saved build/screenshot.png"
wine taskkill /im orvan97.exe >/dev/null 2>&1  # a close request: the console saves its settings
wait "$console"
echo "The console closed; its settings file:"
cat "$WINEPREFIX/drive_c/windows/Orvan97.ini" | tr -d '\r'
