#!/usr/bin/env bash
# Prints the share of the C++ lines (not blank, not a comment line) that are
# tests, to a tenth of a percent, and fails when it lies outside a quarter to
# roughly a third (25.0% to 35.0%): tests that catch real faults, grouped, none
# that restate the code. The upper bound is a warning light, not a quota: a
# test that finds faults is never dropped to meet it.
set -euo pipefail
cd "$(dirname "$0")/.."

count() { git ls-files '*.cpp' '*.h' | grep -E "$1" | xargs -r cat | grep -cvE '^\s*(//.*)?$'; }
tests=$(count '(^|/)tests?/')
all=$(count '.')
permille=$(((2000 * tests + all) / (2 * all)))  # rounded to the nearest
echo "Tests: $tests of $all C++ lines ($((permille / 10)).$((permille % 10))%)."
if [ "$permille" -lt 250 ] || [ "$permille" -gt 350 ]; then
  echo "The test share should lie between 25.0% and 35.0%." >&2
  exit 1
fi
