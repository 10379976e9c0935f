#!/usr/bin/env bash
# Installs what is missing, builds Korvantis and runs it on the demo card, a
# simulated card with a few made-up files: ./run.sh lists them; arguments are
# a korvantis-cli command to run on it instead (./run.sh info 1).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target korvantis-cli korvantis-demo-card

demo=build/demo-card.bin
[ -f "$demo" ] || build/cli/korvantis-demo-card "$demo"
[ $# -gt 0 ] || set -- list
exec build/cli/korvantis-cli --image "$demo" "$@"
