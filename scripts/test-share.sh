#!/usr/bin/env bash
# Prints the share of the C++ lines (not blank, not a comment line) that are
# tests, and fails when it lies outside 25% to 35%: tests that catch real
# faults, grouped, none that restate the code.
set -euo pipefail
cd "$(dirname "$0")/.."

count() { git ls-files '*.cpp' '*.h' | grep -E "$1" | xargs -r cat | grep -cvE '^\s*(//.*)?$'; }
tests=$(count '(^|/)tests?/')
all=$(count '.')
share=$((100 * tests / all))
echo "Tests: $tests of $all C++ lines ($share%)."
if [ "$share" -lt 25 ] || [ "$share" -gt 35 ]; then
  echo "The test share should lie between 25% and 35%." >&2
  exit 1
fi
