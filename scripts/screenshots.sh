#!/usr/bin/env bash
# Pictures of every window of the desktop program, taken under Xvfb at
# 1024 x 768 with a window manager, as a desktop shows them: the main window
# after F5 on the demo card in each view mode, the File menu, the progress
# dialog and each dialog, as PNG files in build/screenshots/. They are build
# output, never committed.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" xvfb xauth icewm x11-utils

[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target korvantis-screenshots
out=build/screenshots
rm -rf "$out"
# A screen of the size the program must fit; the xcb platform and a window
# manager (frames, placement, focus), as a desktop has.
# shellcheck disable=SC2016 # expanded by the inner shell
env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  icewm >/dev/null 2>&1 &
  manager=$!
  # The tour starts once the manager has taken the screen.
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
  done
  # A window the tour does not expect would wait for a click forever.
  timeout 300 build/app/korvantis-screenshots "$1"
  status=$?
  kill "$manager" 2>/dev/null
  exit "$status"
' screenshots "$out"
echo "Screenshots in $out:"
ls "$out"
