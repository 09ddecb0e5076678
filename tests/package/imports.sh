#!/usr/bin/env bash
# The shipped program's header and imports, reviewed, for the 32-bit program
# that ships and the 64-bit build beside it (or the programs named). Each
# header must give the oldest Windows the program runs on (src/version.h) as
# its OS and subsystem version, keep address randomization and no-execute
# data on, and carry no symbols; every function it imports must be listed in
# tests/package/imports.txt for its build, no newer than that Windows, and
# implemented in a known library or one a known library imports; every
# listed one must still be imported.
set -euo pipefail
cd "$(dirname "$0")/../.."
list=tests/package/imports.txt
programs=("$@")
[ ${#programs[@]} -gt 0 ] || programs=(build/win32/orvan97.exe build/win64/orvan97.exe)

. scripts/version.sh
major=$ORVAN_WINDOWS_MAJOR minor=$ORVAN_WINDOWS_MINOR name=$ORVAN_WINDOWS_NAME
known=" $(awk '$1 == "known" { $1 = ""; print tolower($0) }' "$list" | tr -s ' ') "
failed=0
fail() { echo "imports: $*" >&2; failed=1; }

review() {
    local exe=$1 header imports arch reviewed count
    [ -f "$exe" ] || { fail "$exe is missing: build it first (scripts/build.sh)"; return; }
    header=$(x86_64-w64-mingw32-objdump -p "$exe")
    case $(x86_64-w64-mingw32-objdump -f "$exe") in
        *pei-i386*) arch=win32 ;;
        *pei-x86-64*) arch=win64 ;;
        *) fail "$exe is neither a 32-bit nor a 64-bit Windows program"; return ;;
    esac
    imports=$(awk '
        /^\tDLL Name:/ { dll = tolower($3); next }
        /^\tvma:/ { next }
        dll != "" && /^\t[0-9a-f]+\t/ {
            # By name ("<hint> <name>"), or by ordinal alone ("<ordinal>").
            print dll, (NF >= 3 ? $3 : "#" $2)
        }
        /^$/ { if (dll != "") dll = "" }' <<< "$header" | sort -u)
    field() { awk -v key="$1" '$1 == key { print $2; exit }' <<< "$header"; }
    for key in MajorOSystemVersion MajorSubsystemVersion; do
        [ "$(field "$key")" = "$major" ] || fail "$exe: $key is $(field "$key"), not $major ($name)"
    done
    for key in MinorOSystemVersion MinorSubsystemVersion; do
        [ "$(field "$key")" = "$minor" ] || fail "$exe: $key is $(field "$key"), not $minor ($name)"
    done
    for flag in DYNAMIC_BASE NX_COMPAT; do
        grep -q "^[[:space:]]*$flag\$" <<< "$header" || fail "$exe: the header lacks $flag"
    done
    grep -q "^[[:space:]]*symbols stripped\$" <<< "$header" || fail "$exe is not stripped"

    # The rows of this build: "library function version where [arch]".
    reviewed=$(sed 's/#.*//' "$list" | awk -v arch="$arch" '
        $1 != "known" && NF >= 4 && (NF == 4 || $5 == arch) { print tolower($1), $2, $3, tolower($4) }')
    while read -r dll function; do
        local row version where
        row=$(awk -v d="$dll" -v f="$function" '$1 == d && $2 == f { print $3, $4; exit }' <<< "$reviewed")
        if [ -z "$row" ]; then
            fail "$exe: $dll $function is imported but not reviewed: list it in $list with the oldest Windows that has it and where it is implemented"
            continue
        fi
        read -r version where <<< "$row"
        if [[ $known != *" $where "* ]]; then
            fail "$exe: $dll $function is implemented in $where, which is no known library: Windows looks for it beside the program while binding the imports"
            continue
        fi
        if [ "$version" = - ]; then
            fail "$exe: $dll $function is listed as never imported"
            continue
        fi
        [ "$(awk -v v="$version" -v M="$major" -v m="$minor" 'BEGIN {
            split(v, p, "."); print (p[1] > M || (p[1] == M && p[2] > m)) ? 1 : 0 }')" = 0 ] ||
            fail "$exe: $dll $function needs Windows $version, newer than $name ($major.$minor)"
    done <<< "$imports"
    while read -r dll function version where; do
        [ "$version" = - ] || grep -qxF "$dll $function" <<< "$imports" ||
            fail "$exe: $dll $function is listed in $list but no longer imported"
    done <<< "$reviewed"
    count=$(wc -l <<< "$imports")
    [ "$failed" -ne 0 ] ||
        echo "imports: $exe says $name ($major.$minor), is stripped, and its $count imports are all reviewed, no newer, and implemented in known libraries"
}

for exe in "${programs[@]}"; do review "$exe"; done
if [ "$failed" -ne 0 ]; then
    echo "imports: the programs do not match their review ($list)" >&2
    exit 1
fi
