#!/usr/bin/env bash
# Runs korvantis-cli's whole command set once under valgrind's leak checker on
# a fresh card image, then each refusal that stops a command before the card
# is reached; any error or leak fails the run.
set -euo pipefail
cli=${1:-build/cli/korvantis-cli}
demo=${2:-build/cli/korvantis-demo-card}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A home of its own: the restore's safety copy, and any setting, stay in it.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
mkdir -p "$HOME"

memcheck=(valgrind --quiet --leak-check=full --errors-for-leak-kinds=definite,indirect)
check() { "${memcheck[@]}" --error-exitcode=1 "$cli" "$@" >/dev/null; }
# A refusal ends with its own status (1, or 2 for a wrong command line) and
# never with valgrind's (99).
refuse() {
  local wanted=$1 got=0
  shift
  "${memcheck[@]}" --error-exitcode=99 "$cli" "$@" >/dev/null 2>"$work/said" || got=$?
  if [ "$got" != "$wanted" ]; then
    echo "korvantis-cli $*: exit status $got, not $wanted" >&2
    cat "$work/said" >&2
    exit 1
  fi
}

"$demo" "$work/demo.bin"
check new-image "$work/card.dcm" --pages 4
check --image "$work/demo.bin" list
check --image "$work/demo.bin" list --tsv
check --image "$work/demo.bin" info 1
check --image "$work/demo.bin" download 0 "$work/file.dci"
check --image "$work/card.dcm" --page 2 upload "$work/file.dci"
check --image "$work/card.dcm" --page 2 backup "$work/page2.dcm"
check --image "$work/card.dcm" --page 3 restore "$work/page2.dcm"
check --image "$work/card.dcm" --page 4 restore "$work/card.dcm" --from-page 3
check --image "$work/card.dcm" --trace "$work/wire.txt" page 4

refuse 2 --image "" list
refuse 1 --image "$work/demo.bin" download 0 ""
refuse 1 --image "$work/demo.bin" --page 2 backup "$work/never.dcm"
refuse 1 --image "$work/demo.bin" --trace "$work/demo.bin" --force list
refuse 1 --image "$work/demo.bin" backup "$work/demo.bin" --force
refuse 1 --image "$work/card.dcm" --trace "$work/wire.txt" list
refuse 1 --image "$work/demo.bin" restore "$work/card.dcm"  # four pages, no --from-page
mkfifo "$work/pipe.dcm"
refuse 1 --image "$work/card.dcm" restore "$work/pipe.dcm"
refuse 1 --image "$work/pipe.dcm" list
# Another program holds the image: this shell, through descriptor 9.
exec 9<"$work/card.dcm"
flock --exclusive 9
refuse 1 --image "$work/card.dcm" list
refuse 1 --image "$work/card.dcm" upload "$work/file.dci"
exec 9<&-
echo "korvantis-cli ran its commands and refusals under valgrind without errors or leaks."
