#!/usr/bin/env bash
# Builds the Debian package from build/, checks the files it ships and the
# package itself (lintian: no errors, no warnings), installs it, runs both
# installed programs, and removes it again. Needs root (CI).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages desktop-file-utils appstream man-db lintian

desktop-file-validate packaging/org.vellquist.Korvantis.desktop
appstreamcli validate --no-net build/packaging/org.vellquist.Korvantis.metainfo.xml

deb=$(scripts/build-package.sh build)
# Lintian's notes of the lowest kind ("I:") that are left are listed, with
# why, in packaging/README.md.
lintian --fail-on error,warning --display-info "$deb"

DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"; DEBIAN_FRONTEND=noninteractive apt-get remove -y -q korvantis >/dev/null' EXIT
# A home of its own: whatever the programs keep stays in it.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
mkdir -p "$HOME"
korvantis-cli --version
korvantis-cli new-image "$work/card.bin"
korvantis-cli --image "$work/card.bin" list
man -P cat korvantis-cli | grep -q "new-image"
man -P cat korvantis >/dev/null
# The USB adapter's udev rule, where udev reads it, giving the seat's user access.
rule=/usr/lib/udev/rules.d/70-korvantis-adapter.rules
dpkg -L korvantis | grep -qx "$rule"
grep -q 'ATTRS{idVendor}=="1209", ATTRS{idProduct}=="2f07", TAG+="uaccess"' "$rule"

# Polls a condition ten times a second; fails once the seconds given are up.
within() {
  local tries=$(($1 * 10))
  shift
  until "$@"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}
# The desktop program holds its card image locked for as long as it runs.
holds_image() { grep -qE "FLOCK +ADVISORY +WRITE +[0-9]+ +[0-9a-f]+:[0-9a-f]+:$1 " /proc/locks; }

# The desktop program comes up on the simulated card and quits cleanly when
# asked to, as at a logout; timeout ends it should it not.
QT_QPA_PLATFORM=offscreen timeout 60 korvantis --simulate "$work/card.bin" &
pid=$!
if ! within 30 holds_image "$(stat -c %i "$work/card.bin")"; then
  echo "The desktop program did not open its card image within 30 seconds." >&2
  exit 1
fi
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
if [ "$status" -ne 0 ]; then
  echo "The desktop program ended with status $status when asked to quit." >&2
  exit 1
fi
echo "The package installs, and both programs run from it."
