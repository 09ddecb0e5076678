#!/usr/bin/env bash
# Start-up benchmark: the console's time from process creation to its first
# complete paint, and its peak memory, beside the baseline window, both under
# the same Wine in one run. The two take turns for RUNS starts each; prints
# minimum, median and maximum of each and the ratio of the medians, then the
# median of each phase of start-up, as the benchmark builds stamp them.
# DPI=144 runs both at that screen DPI (the prefix's LogPixels; default 96),
# on a screen the console's layout fits at that scale.
set -euo pipefail
. "$(dirname "$0")/../scripts/wine-env.sh"
win32=${1:-build/$ORVAN_ARCH}
runs=${RUNS:-9}
dpi=${DPI:-96}
# 1024 x 768 holds the layout up to 125 %, 1600 x 1200 up to 200 %.
screen=1024x768
[ "$dpi" -le 120 ] || screen=1600x1200
work=$(mktemp -d)
trap 'orvan_private_wine_end; rm -rf "$work"' EXIT
orvan_private_wine "$work" "$screen"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1

# Each run prints one line: first_paint_ms=.. peak_working_set_kb=..
# peak_pagefile_kb=.. and <phase>_ms=.. for each phase, in order.
run() {
    local line
    line=$(wine "$1" | tr -d '\r' | grep '^first_paint_ms=' || true)
    [ -n "$line" ] || { echo "startup.sh: $1 reported nothing" >&2; exit 1; }
    echo "$line"
}
# The two programs take turns, run by run, so a drift of the machine's speed
# weighs on both alike.
: >"$work/console" >"$work/baseline"
for _ in $(seq "$runs"); do
    run "$win32/orvan97_bench.exe" >>"$work/console"
    run "$win32/baseline_window.exe" >>"$work/baseline"
done
field() {  # file name -> the field's values, one a line
    sed -E "s/.*(^| )$2=([0-9.]+).*/\2/" "$1"
}
stats() {  # values -> "min median max"
    sort -n | awk 'NF {a[++n]=$1} END {printf "%s %s %s", a[1], a[int((n+1)/2)], a[n]}'
}
read -r c_min c_ms c_max <<<"$(field "$work/console" first_paint_ms | stats)"
read -r b_min b_ms b_max <<<"$(field "$work/baseline" first_paint_ms | stats)"
read -r _ c_kb _ <<<"$(field "$work/console" peak_working_set_kb | stats)"
read -r _ b_kb _ <<<"$(field "$work/baseline" peak_working_set_kb | stats)"
printf '\nStart-up to first complete paint at %d DPI on %s, %d alternating runs each (target within 1.10x of the baseline)\n' \
    "$dpi" "$screen" "$runs"
printf '%-18s %10s %10s %10s %18s\n' "program" "min (ms)" "median" "max" "peak memory (KB)"
printf '%-18s %10s %10s %10s %18s\n' "console" "$c_min" "$c_ms" "$c_max" "$c_kb"
printf '%-18s %10s %10s %10s %18s\n' "baseline window" "$b_min" "$b_ms" "$b_max" "$b_kb"
awk -v a="$c_ms" -v b="$b_ms" -v c="$c_kb" -v d="$b_kb" \
    'BEGIN {printf "%-18s %21.2fx %29.2fx\n", "ratio of medians", a / b, c / d}'

# The phases, in the order each program stamps them: the median of each
# phase's length (from the end of the one before, the first from the
# process's creation) and of the time at which it ends.
phases() {  # file title description...
    local file=$1 title=$2
    shift 2
    printf '\n%s, medians of %d runs (ms)\n' "$title" "$runs"
    printf '%-52s %10s %10s\n' "phase" "length" "ends at"
    awk -v descriptions="$(printf '%s\n' "$@")" '
        BEGIN {
            n = split(descriptions, lines, "\n")
            for (i = 1; i <= n; i++) {
                split(lines[i], kv, "=")
                text[kv[1]] = substr(lines[i], length(kv[1]) + 2)
            }
        }
        function median(values, count,    i, j, t) {
            for (i = 2; i <= count; i++)
                for (j = i; j > 1 && values[j - 1] > values[j]; j--) {
                    t = values[j]; values[j] = values[j - 1]; values[j - 1] = t
                }
            return values[int((count + 1) / 2)]
        }
        {
            runs++
            previous = 0
            for (i = 1; i <= NF; i++) {
                if ($i !~ /_ms=/ || $i ~ /^first_paint_ms=/) continue
                split($i, kv, "=")
                name = substr(kv[1], 1, length(kv[1]) - 3)
                if (!(name in seen)) { seen[name] = ++count; order[count] = name }
                ends[name, runs] = kv[2]
                lengths[name, runs] = kv[2] - previous
                previous = kv[2]
            }
        }
        END {
            for (p = 1; p <= count; p++) {
                name = order[p]
                for (r = 1; r <= runs; r++) { e[r] = ends[name, r]; l[r] = lengths[name, r] }
                label = (name in text) ? text[name] : name
                printf "%-52s %10.2f %10.2f\n", label, median(l, runs), median(e, runs)
            }
        }' "$file"
}
phases "$work/console" "Console start-up by phase" \
    "winmain=process start to WinMain" \
    "layout=layout built (the console's model)" \
    "classes=session claimed, window classes registered" \
    "window=window created, list boxes made and filled" \
    "settings=settings file read" \
    "lists=user list filled" \
    "shown=window shown (activated, list focused)" \
    "painted=window painted (pictures, windowless controls)" \
    "complete=list boxes painted: first paint complete"
phases "$work/baseline" "Baseline window by phase" \
    "winmain=process start to WinMain" \
    "picture=picture loaded" \
    "window=window class registered, window created" \
    "shown=window shown (activated, erased)" \
    "painted=picture painted: first paint complete"
