#!/usr/bin/env bash
# Builds the Debian package from build/, checks the files it ships, installs it,
# runs both installed programs, and removes it again. Needs root (CI).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages desktop-file-utils appstream man-db

desktop-file-validate packaging/org.vellquist.Korvantis.desktop
appstreamcli validate --no-net build/packaging/org.vellquist.Korvantis.metainfo.xml

(cd build && rm -f korvantis_*.deb && cpack -G DEB >/dev/null)
deb=$(ls "$PWD"/build/korvantis_*.deb)
DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >/dev/null
trap 'DEBIAN_FRONTEND=noninteractive apt-get remove -y -q korvantis >/dev/null' EXIT

work=$(mktemp -d)
korvantis-cli --version
korvantis-cli new-image "$work/card.bin"
korvantis-cli --image "$work/card.bin" list
man -P cat korvantis-cli | grep -q "new-image"
man -P cat korvantis >/dev/null

# The desktop program comes up on the simulated card and quits cleanly when
# asked to, as at a logout.
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work" korvantis --simulate "$work/card.bin" &
pid=$!
sleep 3
kill -0 "$pid"
kill -TERM "$pid"
wait "$pid"
echo "The package installs, and both programs run from it."
