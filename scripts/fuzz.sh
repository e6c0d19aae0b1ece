#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz, clang) and runs each for SECONDS (default 60) from the seeds
# in tests/fuzz: the loader, the rendering of every page kind, the glossary readers, and the HTML view laying them out. Any
# crash, leak, input slower than its bound or memory beyond its bound ends the run with an error.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${1:-60}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

work=build/fuzz/runs
rm -rf "$work"
mkdir -p "$work/seeds" "$work/artifacts"
build/fuzz/bin/carro build tests/fuzz/seed.tsv "$work/seeds/seed.dct" >/dev/null
build/fuzz/bin/carro about --dict "$work/seeds/seed.dct" --raw >"$work/seeds/about.htm"
# The glossary readers start from the format fixtures, each behind the byte that picks its reader.
mkdir -p "$work/import-seeds"
shopt -s nullglob
seed() { { printf "\\x$1"; cat "${@:2}"; } >"$work/import-seeds/$(basename "$2").$1"; }
for f in tests/formats/data/csv/*; do seed 00 "$f"; done
for f in tests/formats/data/dsl/*.dsl; do seed 01 "$f"; done
for f in tests/formats/data/tbx/*; do seed 02 "$f"; done
for f in tests/formats/data/dsl/*.dz; do seed 05 "$f"; done
# StarDict's and dictd's files go in one input, cut apart at NUL NUL.
joined() {
  local byte=$1 name=$2 first=1 f
  shift 2
  { printf "\\x$byte"; for f in "$@"; do [ $first = 1 ] || printf '\0\0'; first=0; cat "$f"; done; } \
    >"$work/import-seeds/$name.$byte"
}
d=tests/formats/data
joined 03 stardict $d/stardict/motor.{ifo,idx,dict,syn}
joined 04 dictd $d/dictd/motor.{index,dict}
export LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan.supp"
export QT_QPA_PLATFORM=offscreen
for target in load render import view; do
  # A page must show within about a second; under the sanitizers the view gets twenty.
  timeout_s=10
  [ "$target" = view ] && timeout_s=20
  echo "== ${target}_fuzzer, ${seconds} s"
  mkdir -p "$work/$target"
  status=0
  build/fuzz/bin/${target}_fuzzer -max_total_time="$seconds" -max_len=4096 -timeout="$timeout_s" \
    -rss_limit_mb=4096 -artifact_prefix="$work/artifacts/${target}-" \
    "$work/$target" "$work/seeds" $([ "$target" = import ] && echo "$work/import-seeds") \
    >"$work/$target.log" 2>&1 || status=$?
  grep -E '^(Done|==[0-9]+==ERROR|SUMMARY)' "$work/$target.log" || true
  if [ "$status" -ne 0 ]; then
    tail -40 "$work/$target.log" >&2
    exit "$status"
  fi
done
if [ -n "$(ls -A "$work/artifacts")" ]; then
  echo "fuzzing found inputs that fail: $work/artifacts" >&2
  ls -l "$work/artifacts" >&2
  exit 1
fi
