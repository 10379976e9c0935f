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
# What the build and CPack say goes to a log, shown only when they fail; the
# package's path alone goes out.
log="$folder/package.log"
if ! { cmake --build "$folder" -j"$(nproc)" &&
  (cd "$folder" && rm -f korvantis_*.deb && cpack -G DEB); } >"$log" 2>&1; then
  cat "$log" >&2
  echo "The package could not be built in $folder." >&2
  exit 1
fi
ls "$folder"/korvantis_*.deb
