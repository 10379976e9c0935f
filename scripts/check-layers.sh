#!/usr/bin/env bash
# Fails when an include crosses a layer: every source file may include the
# headers of its own folder and of the folders its folder's README names
# after "May use:" ("every layer" allows all), and Qt only where that line
# says Qt. A folder without a README answers to the nearest README above it.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A home  # header name -> folder that holds it
while IFS= read -r header; do
  name=$(basename "$header" .in)
  folder=$(dirname "$header")
  if [ -n "${home[$name]:-}" ] && [ "${home[$name]}" != "$folder" ]; then
    echo "$name is in both ${home[$name]}/ and $folder/: header names must be unique" >&2
    exit 1
  fi
  home[$name]=$folder
done < <(git ls-files '*.h' '*.h.in' | grep -v '^tests/')

readme_for() {
  local folder=$1
  while [ "$folder" != "." ] && [ ! -f "$folder/README.md" ]; do folder=$(dirname "$folder"); done
  echo "$folder/README.md"
}

failures=0
while IFS= read -r source; do
  folder=$(dirname "$source")
  readme=$(readme_for "$folder")
  allowed=$(grep -m1 '^May use:' "$readme" 2>/dev/null || true)
  if [ -z "$allowed" ]; then
    echo "$readme: no \"May use:\" line" >&2
    failures=$((failures + 1))
    continue
  fi
  everything=0
  [[ $allowed == *"every layer"* ]] && everything=1
  while IFS= read -r included; do
    target=${home[$included]:-}
    [ -z "$target" ] || [ "$target" = "$folder" ] || [ $everything -eq 1 ] && continue
    if ! grep -qE "(^|[ ,])$target/([ ,.]|$)" <<<"$allowed"; then
      echo "$source includes $included of $target/, which $readme does not name" >&2
      failures=$((failures + 1))
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$source" |
    xargs -r -n1 basename)
  if [[ ${allowed//No Qt/} != *Qt* ]] && grep -qE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$source"; then
    echo "$source uses Qt, which $readme does not allow" >&2
    failures=$((failures + 1))
  fi
done < <(git ls-files '*.cpp' '*.h')

for folder in $(git ls-files '*.cpp' '*.h' | xargs -n1 dirname | sort -u | grep -v '^tests'); do
  [ -f "$folder/README.md" ] || { echo "$folder/ has no README.md" >&2; failures=$((failures + 1)); }
done

[ $failures -eq 0 ] && echo "Layers: every include stays within what its folder's README allows."
exit $((failures != 0))
