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

work=$PWD/build/run
rm -rf "$work"
mkdir -p "$work"
trap orvan_private_wine_end EXIT
echo "Preparing a private Wine prefix in $work/prefix ..."
orvan_private_wine "$work"

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
