#!/usr/bin/env bash
# Installs what is missing, builds Korvantis and runs it on a simulated card.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target korvantis-linkcheck
exec build/cli/korvantis-linkcheck "$@"
