#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz/ and runs each for SECONDS
# (default 40) on a copy of its corpus, so the committed corpus never changes.
# Exits non-zero when any target finds a crash, a leak, a sanitizer report or
# a hang; what it found is kept in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-40}"
case "$seconds" in
  '' | *[!0-9]*) echo "usage: $0 [SECONDS per target]" >&2; exit 2 ;;
esac

# shellcheck source=scripts/ensure-packages.sh
source scripts/ensure-packages.sh
ensure_packages clang-14 libclang-rt-14-dev cmake ninja-build libcli11-dev

build="build-fuzz"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
  -DKORVANTIS_BUILD_FUZZERS=ON -DKORVANTIS_BUILD_GUI=OFF -DKORVANTIS_BUILD_TESTS=OFF \
  -DKORVANTIS_BUILD_BENCH=OFF
# target, longest input, the corpora that seed it (fuzz/corpus/<name>, or made
# below), then any further libFuzzer options. A page is at most 131,072 bytes;
# a DCI file of 16 KiB carries up to 31 blocks; a VMS pair is two length
# bytes, a 108-byte VMI and up to 200 blocks; an icon is a header and three
# frames; a file's texts take 76 bytes; the adapter's packets come a few at a
# time.
targets=(
  "page_fuzzer 131072 page_fuzzer"
  "dci_fuzzer 16384 dci_fuzzer"
  "settings_fuzzer 4096 settings_fuzzer -dict=fuzz/settings.dict"
  "checker_fuzzer 131072 page_fuzzer,fragmented"
  "defrag_fuzzer 131072 page_fuzzer,fragmented"
  "vms_fuzzer 102510 vms_fuzzer"
  "icon_fuzzer 2048 icon_fuzzer"
  "text_fuzzer 256 text_fuzzer"
  "packet_fuzzer 4096 packet_fuzzer"
)
names=()
for entry in "${targets[@]}"; do names+=("${entry%% *}"); done
cmake --build "$build" -j"$(nproc)" --target "${names[@]}" fuzz_seeds

work="$(mktemp -d)"
# The targets that write files (icons, VMS pairs) would wait for the disk at
# every write; in memory they do not.
scratch="$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)"
trap 'rm -rf "$work" "$scratch"' EXIT
findings="$build/findings"
mkdir -p "$findings"
# Whole pages are made rather than kept in the repository.
"$build/fuzz/fuzz_seeds" "$work/seeds/fragmented"

failed=()
for entry in "${targets[@]}"; do
  read -r target max_len seeds extra <<<"$entry"
  mkdir -p "$work/$target"
  for seed in ${seeds//,/ }; do
    from="fuzz/corpus/$seed"
    [ -d "$from" ] || from="$work/seeds/$seed"
    cp "$from"/* "$work/$target/"
  done
  echo "=== $target: ${seconds}s"
  # shellcheck disable=SC2086  # extra holds whole options
  if ! TMPDIR="$scratch" ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$build/fuzz/$target" -max_total_time="$seconds" -max_len="$max_len" -timeout=20 \
    -print_final_stats=1 -artifact_prefix="$findings/$target-" $extra "$work/$target" \
    >"$work/$target.log" 2>&1; then
    failed+=("$target")
  fi
  grep -E '^(stat::|Done|INFO: Seed|==[0-9]+==ERROR|SUMMARY|Finding:)' "$work/$target.log" || true
  if [[ " ${failed[*]-} " == *" $target "* ]]; then
    tail -n 60 "$work/$target.log"
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "Findings in: ${failed[*]} (inputs in $findings/)" >&2
  exit 1
fi
echo "No findings."
