#!/usr/bin/env bash
# Usage: tests/e2e/check-wow64-filter.sh E2E_TESTS
# Fails, naming the line, when a line of tests/e2e/wow64.filter matches none
# of the tests E2E_TESTS lists: a renamed test would otherwise leave the
# shipping program's run without a word.
set -euo pipefail
tests=$("$1" --gtest_list_tests | awk '/^[^ ]/ {suite = $1; next} {print suite $1}')
failed=0
while read -r pattern; do
    case $pattern in '' | '#'*) continue ;; esac
    found=0
    while read -r name; do
        # The line is a pattern, as GoogleTest reads it.
        if [[ $name == $pattern ]]; then found=1 && break; fi
    done <<<"$tests"
    [ "$found" = 1 ] || { echo "wow64.filter: $pattern matches no end-to-end test" >&2; failed=1; }
done <"$(dirname "$0")/wow64.filter"
[ "$failed" = 0 ] || exit 1
echo "wow64.filter: every line names an end-to-end test"
