#!/usr/bin/env bash
# Builds the Debian package twice, in two fresh build folders configured alike,
# and fails unless the two are the same to the byte: the package depends on the
# sources alone, not on the folder, the day or the order of the build. Both
# take their time stamps from the last commit (scripts/build-package.sh), the
# desktop program's resources as they are compiled too. On a difference it
# names the files that differ; both folders are kept to look at.
set -euo pipefail
cd "$(dirname "$0")/.."
debs=()
for folder in build-package-1 build-package-2; do
  rm -rf "$folder"
  cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKORVANTIS_WERROR="${KORVANTIS_WERROR:-OFF}" -DKORVANTIS_BUILD_TESTS=OFF \
    -DKORVANTIS_BUILD_BENCH=OFF >/dev/null
  debs+=("$(scripts/build-package.sh "$folder")")
done

if cmp -s "${debs[0]}" "${debs[1]}"; then
  echo "The package builds reproducibly: $(basename "${debs[0]}") came out the same twice."
  exit 0
fi
echo "The two builds of the package differ:" >&2
unpacked=()
for deb in "${debs[@]}"; do
  folder="$(dirname "$deb")/unpacked"
  rm -rf "$folder" && mkdir -p "$folder"
  dpkg-deb --raw-extract "$deb" "$folder"
  unpacked+=("$folder")
done
# The contents, by checksum, then the rest: the control data, names, modes, times.
diff "${unpacked[0]}/DEBIAN/md5sums" "${unpacked[1]}/DEBIAN/md5sums" >&2 || true
diff <(dpkg-deb --info "${debs[0]}") <(dpkg-deb --info "${debs[1]}") >&2 || true
diff <(dpkg-deb --contents "${debs[0]}") <(dpkg-deb --contents "${debs[1]}") >&2 || true
exit 1
