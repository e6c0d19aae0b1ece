#!/usr/bin/env bash
# The two set-up commands of the README:
#   scripts/setup.sh run    install what is missing, build, and start the program on the bundled dictionary
#   scripts/setup.sh test   install what is missing, build, and run every test
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
. scripts/lib.sh

# Every Debian package the project needs, in one place.
BUILD_PACKAGES=(build-essential cmake pkgconf zlib1g-dev libxml2-dev libhunspell-dev hunspell-ru hunspell-en-us hunspell-de-de libgtest-dev libbenchmark-dev qt6-base-dev qt6-translations-l10n fonts-liberation2 fonts-dejavu-core)
TEST_PACKAGES=(locales clang-format clang-tidy poppler-utils desktop-file-utils strace clang libclang-rt-14-dev sdcv dictd dict dictzip python3-pyglossary libxml2-utils)

mode=${1:-}
case "$mode" in
  run)
    install_missing "${BUILD_PACKAGES[@]}"
    cmake --preset release
    cmake --build --preset release -j "$(nproc)"
    build/release/bin/carro info
    # The window needs a display; without one, carro answers look-ups from the terminal.
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
      exec build/release/bin/carrolex
    fi
    echo
    echo 'No display: try  build/release/bin/carro search тормозной диск'
    ;;
  test)
    install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    cmake --preset dev
    cmake --build --preset dev -j "$(nproc)"
    CARRO_REQUIRE_TOOLS=1 ctest --preset dev
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 1
    ;;
esac
