#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz, clang) and runs each for SECONDS (default 60) from the seeds
# in tests/fuzz: the loader, the rendering of every page kind, and the HTML view laying them out. Any
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
export LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan.supp"
export QT_QPA_PLATFORM=offscreen
for target in load render view; do
  # A page must show within about a second; under the sanitizers the view gets twenty.
  timeout_s=10
  [ "$target" = view ] && timeout_s=20
  echo "== ${target}_fuzzer, ${seconds} s"
  mkdir -p "$work/$target"
  status=0
  build/fuzz/bin/${target}_fuzzer -max_total_time="$seconds" -max_len=4096 -timeout="$timeout_s" \
    -rss_limit_mb=4096 -artifact_prefix="$work/artifacts/${target}-" \
    "$work/$target" "$work/seeds" >"$work/$target.log" 2>&1 || status=$?
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
