#!/usr/bin/env bash
# Pictures of every window of the desktop program, taken under Xvfb: the main
# window after F5 on the demo card in each view mode, the File menu, the
# progress dialog and each dialog, as PNG files in build/screenshots/. They
# are build output, never committed.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" xvfb xauth

[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target korvantis-screenshots
out=build/screenshots
rm -rf "$out"
# A screen of the size the program must fit; the xcb platform, as a desktop has.
env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1024x768x24" \
  build/app/korvantis-screenshots "$out"
echo "Screenshots in $out:"
ls "$out"
