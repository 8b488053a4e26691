#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the optimised build,
# then the same suite under AddressSanitizer and UndefinedBehaviorSanitizer;
# then both programs in a web page in headless Chromium;
# then cross-builds both programs for Windows (64- and 32-bit) from scratch,
# checks what comes out and runs it under Wine; then a minute of fuzzing the
# bitmap readers.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
for preset in default sanitize; do
  echo "=== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2
  ctest --preset "$preset"
done
echo "=== web"
scripts/check-web.sh
for target in windows:x86_64-w64-mingw32 windows-i686:i686-w64-mingw32; do
  preset=${target%%:*}
  echo "=== $preset cross build"
  rm -rf "build/$preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2
  scripts/check-windows-build.sh "build/$preset" "${target#*:}"
  scripts/check-windows-run.sh "build/$preset"
done
# Both Windows builds' tests under Wine: their frames equal the Linux build's,
# and the system's calls behave as our platform's.
echo "=== Windows tests under Wine"
scripts/check-windows-tests.sh build/default build/windows build/windows-i686

# The fuzzer starts from the bitmap corpus and grows its own corpus in a
# temporary folder; a crashing input is kept in build/fuzz for replaying. Its
# closing statistics give the inputs run and the rate.
echo "=== fuzz"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target bitmap_fuzzer
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp dice/texture.bmp "$work/"
build/fuzz/fuzz/bitmap_fuzzer -max_total_time=60 -print_final_stats=1 -artifact_prefix=build/fuzz/ \
  "$work" tests/data/bmpsuite/g tests/data/bmpsuite/q tests/data/bmpsuite/b

# The project keeps its tests at a quarter to a third of its code.
scripts/line-ratio.sh
