#!/usr/bin/env bash
# Prints the lines of tests, benchmarks and fuzz targets against the lines of
# the code they exercise (C and C++ sources, headers and included parts under
# version control).
# The project keeps the first at a quarter to a third of the second.
set -euo pipefail
cd "$(dirname "$0")/.."
sources=('*.cpp' '*.h' '*.c' '*.inc')
code=$(git ls-files -- "${sources[@]}" | grep -v -E '^(tests|bench|fuzz)/' | tr '\n' '\0' | xargs -0 -r cat | wc -l)
tests=$(git ls-files -- "${sources[@]}" '*.sh' '*.mjs' | grep -E '^(tests|bench|fuzz)/' | tr '\n' '\0' | xargs -0 -r cat | wc -l)
echo "Lines: code $code, tests+bench+fuzz $tests ($((100 * tests / code)) % of the code)"
