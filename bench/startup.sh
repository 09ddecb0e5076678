#!/usr/bin/env bash
# Start-up benchmark: the console's time from process creation to its first
# complete paint, and its peak memory, beside the baseline window, both under
# the same Wine in one run. The two take turns for RUNS starts each; prints
# minimum, median and maximum of each and the ratio of the medians.
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

run() {  # program -> "ms kb"
    wine "$1" | tr -d '\r' | sed -E 's/first_paint_ms=([0-9.]+) peak_working_set_kb=([0-9]+).*/\1 \2/'
}
# The two programs take turns, run by run, so a drift of the machine's speed
# weighs on both alike.
console=""
baseline=""
for _ in $(seq "$runs"); do
    console+="$(run "$win32/orvan97_bench.exe")"$'\n'
    baseline+="$(run "$win32/baseline_window.exe")"$'\n'
done
stats() {  # column -> "min median max"
    sort -n | awk 'NF {a[++n]=$1} END {printf "%s %s %s", a[1], a[int((n+1)/2)], a[n]}'
}
read -r c_min c_ms c_max <<<"$(cut -d' ' -f1 <<<"$console" | stats)"
read -r b_min b_ms b_max <<<"$(cut -d' ' -f1 <<<"$baseline" | stats)"
read -r _ c_kb _ <<<"$(cut -d' ' -f2 <<<"$console" | stats)"
read -r _ b_kb _ <<<"$(cut -d' ' -f2 <<<"$baseline" | stats)"
printf '\nStart-up to first complete paint, %d alternating runs each (target within 1.15x of the baseline)\n' "$runs"
printf '%-18s %10s %10s %10s %18s\n' "program" "min (ms)" "median" "max" "peak memory (KB)"
printf '%-18s %10s %10s %10s %18s\n' "console" "$c_min" "$c_ms" "$c_max" "$c_kb"
printf '%-18s %10s %10s %10s %18s\n' "baseline window" "$b_min" "$b_ms" "$b_max" "$b_kb"
awk -v a="$c_ms" -v b="$b_ms" -v c="$c_kb" -v d="$b_kb" \
    'BEGIN {printf "%-18s %21.2fx %29.2fx\n", "ratio of medians", a / b, c / d}'
