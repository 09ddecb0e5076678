#!/usr/bin/env bash
# Checks that the C++ lines a change touches are as clang-format lays them
# out (.clang-format); lines it leaves alone keep their hand alignment. The
# change is what differs from BASE (default: where the branch left main; on
# main itself, the last commit), working tree included, a moved file by its
# edits only. Shows what clang-format would make of them and fails;
# `git diff -U0 -M BASE | clang-format-diff -p1 -i` puts them right.
set -euo pipefail
cd "$(dirname "$0")/.."

base=${1:-$(git merge-base HEAD main 2>/dev/null || true)}
if [ -z "$base" ] || [ "$(git rev-parse "$base")" = "$(git rev-parse HEAD)" ]; then
    base=$(git rev-parse --verify -q HEAD~1 || true)
fi
if [ -z "$base" ]; then
    echo "check-format: no earlier commit to compare with; nothing checked"
    exit 0
fi

format_diff=$(command -v clang-format-diff || command -v clang-format-diff-14)
changes=$(git diff -U0 -M --no-color "$base" -- '*.cpp' '*.h' | "$format_diff" -p1)
if [ -n "$changes" ]; then
    printf '%s\n' "$changes"
    echo "check-format: the changed lines above are not as clang-format lays them out" >&2
    exit 1
fi
echo "check-format: changed lines as clang-format lays them out"
