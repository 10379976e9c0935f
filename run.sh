#!/usr/bin/env bash
# Installs what is missing, builds Korvantis and starts it on the demo card, a
# simulated card with a few made-up files (press F5 to list them). Arguments
# go to the program (./run.sh --trace wire.txt). Without a display it says so
# and lists the demo card's files with korvantis-cli instead.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target korvantis korvantis-cli korvantis-demo-card

demo=build/demo-card.bin
[ -f "$demo" ] || build/cli/korvantis-demo-card "$demo"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "There is no display to show Korvantis on; here are the demo card's files instead:"
  exec build/cli/korvantis-cli --image "$demo" list
fi
exec build/app/korvantis --simulate "$demo" "$@"
