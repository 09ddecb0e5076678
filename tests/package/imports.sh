#!/usr/bin/env bash
# The shipped program's header and imports, reviewed. The header of
# build/win32/orvan97.exe (or the program named) must give the oldest Windows
# the program runs on (src/version.h) as its OS and subsystem version, keep
# address randomization and no-execute data on, and carry no symbols; every
# function it imports must be listed in tests/package/imports.txt, no newer
# than that Windows, and every listed one still imported.
set -euo pipefail
cd "$(dirname "$0")/../.."
exe=${1:-build/win32/orvan97.exe}
list=tests/package/imports.txt
objdump=i686-w64-mingw32-objdump

. scripts/version.sh
major=$ORVAN_WINDOWS_MAJOR minor=$ORVAN_WINDOWS_MINOR name=$ORVAN_WINDOWS_NAME
[ -f "$exe" ] || { echo "$exe is missing: build it first (scripts/build.sh)" >&2; exit 1; }
header=$("$objdump" -p "$exe")
imports=$(awk '
    /^\tDLL Name:/ { dll = tolower($3); next }
    /^\tvma:/ { next }
    dll != "" && /^\t[0-9a-f]+\t/ {
        # By name ("<hint> <name>"), or by ordinal alone ("<ordinal>").
        print dll, (NF >= 3 ? $3 : "#" $2)
    }
    /^$/ { if (dll != "") dll = "" }' <<< "$header" | sort -u)

failed=0
fail() { echo "imports: $*" >&2; failed=1; }
field() { awk -v key="$1" '$1 == key { print $2; exit }' <<< "$header"; }

for key in MajorOSystemVersion MajorSubsystemVersion; do
    [ "$(field "$key")" = "$major" ] || fail "$key is $(field "$key"), not $major ($name)"
done
for key in MinorOSystemVersion MinorSubsystemVersion; do
    [ "$(field "$key")" = "$minor" ] || fail "$key is $(field "$key"), not $minor ($name)"
done
for flag in DYNAMIC_BASE NX_COMPAT; do
    grep -q "^[[:space:]]*$flag\$" <<< "$header" || fail "the header lacks $flag"
done
grep -q "^[[:space:]]*symbols stripped\$" <<< "$header" || fail "the program is not stripped"

# The list: "library function version", comments and blank lines aside.
reviewed=$(sed 's/#.*//' "$list" | awk 'NF >= 3 { print tolower($1), $2, $3 }')
while read -r dll function; do
    version=$(awk -v d="$dll" -v f="$function" '$1 == d && $2 == f { print $3; exit }' <<< "$reviewed")
    if [ -z "$version" ]; then
        fail "$dll $function is imported but not reviewed: list it in $list with the oldest Windows that has it"
        continue
    fi
    newer=$(awk -v v="$version" -v M="$major" -v m="$minor" 'BEGIN {
        split(v, p, "."); print (p[1] > M || (p[1] == M && p[2] > m)) ? 1 : 0 }')
    [ "$newer" = 0 ] || fail "$dll $function needs Windows $version, newer than $name ($major.$minor)"
done <<< "$imports"
while read -r dll function version; do
    grep -qxF "$dll $function" <<< "$imports" || fail "$dll $function is listed in $list but no longer imported"
done <<< "$reviewed"

count=$(wc -l <<< "$imports")
if [ "$failed" -ne 0 ]; then
    echo "imports: $exe does not match its review ($list)" >&2
    exit 1
fi
echo "imports: $exe says $name ($major.$minor), is stripped, and its $count imports are all reviewed and no newer"
