#!/usr/bin/env bash
# Runs korvantis-cli's whole command set once under valgrind's leak checker on
# a fresh card image; any error or leak fails the run.
set -euo pipefail
cli=${1:-build/cli/korvantis-cli}
demo=${2:-build/cli/korvantis-demo-card}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

check() { valgrind --quiet --leak-check=full --errors-for-leak-kinds=definite,indirect \
  --error-exitcode=1 "$cli" "$@" >/dev/null; }

"$demo" "$work/demo.bin"
check new-image "$work/card.dcm" --pages 4
check --image "$work/demo.bin" list
check --image "$work/demo.bin" list --tsv
check --image "$work/demo.bin" info 1
check --image "$work/demo.bin" download 0 "$work/file.dci"
check --image "$work/card.dcm" --page 2 upload "$work/file.dci"
check --image "$work/card.dcm" --page 2 backup "$work/page2.dcm"
check --image "$work/card.dcm" --page 3 restore "$work/page2.dcm"
check --image "$work/card.dcm" --trace "$work/wire.txt" page 4
echo "korvantis-cli ran its commands under valgrind without errors or leaks."
