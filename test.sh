#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the optimised build,
# then the same suite under AddressSanitizer and UndefinedBehaviorSanitizer;
# then cross-builds both programs for Windows (64- and 32-bit) from scratch
# and checks what comes out.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
for preset in default sanitize; do
  echo "=== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2
  ctest --preset "$preset"
done
for target in windows:x86_64-w64-mingw32 windows-i686:i686-w64-mingw32; do
  preset=${target%%:*}
  echo "=== $preset cross build"
  rm -rf "build/$preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2
  scripts/check-windows-build.sh "build/$preset" "${target#*:}"
done
