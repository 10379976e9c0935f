#!/usr/bin/env bash
# Prints the share of the C++ lines (not blank, not a comment line) that are
# tests, to a tenth of a percent. Tests that catch real faults, grouped, none
# that restate the code, come to roughly a quarter to a third: outside 25.0%
# to 33.0% it warns on standard error, and only outside 22.0% to 40.0% does it
# fail. The bounds are a warning light, not a quota: a test that finds faults
# is never dropped to meet them.
set -euo pipefail
cd "$(dirname "$0")/.."

count() { git ls-files '*.cpp' '*.h' | grep -E "$1" | xargs -r cat | grep -cvE '^\s*(//.*)?$'; }
tests=$(count '(^|/)tests?/')
all=$(count '.')
permille=$(((2000 * tests + all) / (2 * all)))  # rounded to the nearest
echo "Tests: $tests of $all C++ lines ($((permille / 10)).$((permille % 10))%)."
if [ "$permille" -lt 220 ] || [ "$permille" -gt 400 ]; then
  echo "The test share must lie between 22.0% and 40.0%." >&2
  exit 1
fi
if [ "$permille" -lt 250 ] || [ "$permille" -gt 330 ]; then
  echo "Warning: the test share should lie between 25.0% and 33.0%." >&2
fi
