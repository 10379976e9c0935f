#!/usr/bin/env bash
# Builds the Debian package of a configured build folder (build/ unless another
# is named) and prints its path. Every time stamp in it is the last commit's
# (SOURCE_DATE_EPOCH, unless one is set already), so that the same sources make
# the same bytes on any day and in any folder (scripts/check-reproducible.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
folder=$(realpath "${1:-build}")
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && epoch=$(git log -1 --format=%ct 2>/dev/null); then
  export SOURCE_DATE_EPOCH=$epoch
fi
cmake --build "$folder" -j"$(nproc)" >/dev/null
(cd "$folder" && rm -f korvantis_*.deb && cpack -G DEB >/dev/null)
ls "$folder"/korvantis_*.deb
