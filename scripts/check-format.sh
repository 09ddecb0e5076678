#!/usr/bin/env bash
# Checks that every C++ file git tracks (and every new one it does not
# ignore) is laid out as clang-format lays it out (.clang-format). Lists the
# files that differ, with clang-format's own report of the first lines, and
# fails; `scripts/check-format.sh --fix` puts them right.
set -euo pipefail
cd "$(dirname "$0")/.."

format=$(command -v clang-format || command -v clang-format-14)
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
if [ "${1:-}" = --fix ]; then
    "$format" -i "${files[@]}"
    echo "check-format: ${#files[@]} files laid out"
    exit 0
fi
# One run over every file; its report names each file that differs.
report=$("$format" --dry-run "${files[@]}" 2>&1 || true)
mapfile -t bad < <(printf '%s\n' "$report" | sed -n -E 's/^([^:]+):[0-9]+:[0-9]+: (warning|error): code should be clang-formatted.*/\1/p' | sort -u)
if [ ${#bad[@]} -gt 0 ]; then
    printf '%s\n' "$report" | head -40
    echo "check-format: ${#bad[@]} of ${#files[@]} files are not as clang-format lays them out:" >&2
    printf '  %s\n' "${bad[@]}" >&2
    echo "check-format: scripts/check-format.sh --fix puts them right" >&2
    exit 1
fi
echo "check-format: all ${#files[@]} C++ files as clang-format lays them out"
