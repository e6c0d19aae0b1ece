#!/usr/bin/env bash
# clang-tidy with the project's .clang-tidy over every source file of a build (default build/dev), which
# must have been configured (its compile_commands.json). Prints the findings and fails on any.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${1:-build/dev}
mapfile -t files < <(git ls-files '*.cpp')
status=0
output=$(run-clang-tidy -quiet -p "$build" -j "$(nproc)" "${files[@]}" 2>&1) || status=$?
grep -vE '^([0-9]+ warnings? generated\.|Suppressed [0-9]+ warnings|Use -header-filter|clang-tidy(-14)? )' \
  <<<"$output" || true
exit "$status"
