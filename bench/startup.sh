#!/usr/bin/env bash
# Start-up benchmark: the console's time from process creation to its first
# complete paint, and its peak memory, beside the baseline window, both under
# the same Wine in one run. Prints medians over RUNS starts of each.
set -euo pipefail
. "$(dirname "$0")/../scripts/wine-env.sh"
win32=${1:-build/$ORVAN_ARCH}
runs=${RUNS:-9}
work=$(mktemp -d)
trap 'WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

# A private display and Wine prefix, as the end-to-end tests use.
exec 3<> "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/displayfd" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/displayfd")" WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine wineboot.exe -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -p 60 2>/dev/null || true

measure() {  # program -> "ms kb" per line
    for _ in $(seq "$runs"); do
        wine "$1" | tr -d '\r' | sed -E 's/first_paint_ms=([0-9.]+) peak_working_set_kb=([0-9]+).*/\1 \2/'
    done
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

console=$(measure "$win32/orvan97_bench.exe")
baseline=$(measure "$win32/baseline_window.exe")
c_ms=$(cut -d' ' -f1 <<<"$console" | median); c_kb=$(cut -d' ' -f2 <<<"$console" | median)
b_ms=$(cut -d' ' -f1 <<<"$baseline" | median); b_kb=$(cut -d' ' -f2 <<<"$baseline" | median)
printf '\nStart-up to first complete paint (median of %d runs, target within 1.15x of the baseline)\n' "$runs"
printf '%-22s %12s %16s\n' "program" "time (ms)" "peak memory (KB)"
printf '%-22s %12s %16s\n' "console" "$c_ms" "$c_kb"
printf '%-22s %12s %16s\n' "baseline window" "$b_ms" "$b_kb"
awk -v a="$c_ms" -v b="$b_ms" -v c="$c_kb" -v d="$b_kb" \
    'BEGIN {printf "%-22s %12.2fx %15.2fx\n", "ratio", a / b, c / d}'
