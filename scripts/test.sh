#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds everything with warnings as errors and runs every test: the default build, the Debian
# package (installed, tried and removed again), the AddressSanitizer/UndefinedBehaviorSanitizer
# build, and a short run of every fuzz target (scripts/fuzz.sh runs them to a million runs each).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc)
fuzz_seconds=${NIMBRA_FUZZ_SECONDS:-20}

echo "== default build"
cmake --preset default -DNIMBRA_WERROR=ON >/dev/null
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

echo "== Debian package"
scripts/package-check.sh

echo "== sanitizer build"
cmake --preset asan -DNIMBRA_WERROR=ON -DNIMBRA_BUILD_BENCH=OFF >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

echo "== fuzz targets (${fuzz_seconds}s each)"
cmake --preset fuzz -DNIMBRA_WERROR=ON >/dev/null
cmake --build --preset fuzz -j "$jobs"
for target in build/fuzz/fuzz/*_fuzz; do
  name=$(basename "$target")
  corpus=fuzz/corpus/${name%_fuzz}
  work=$(mktemp -d)
  [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
  max_len=$(sed -n 's/^max_len *= *//p' "fuzz/${name%_fuzz}.options" 2>/dev/null || true)
  echo "-- $name"
  "$target" -max_total_time="$fuzz_seconds" ${max_len:+-max_len="$max_len"} -print_final_stats=0 \
    "$work" 2>&1 | tail -n 2
  rm -rf "$work"
done
total=$(( $(ctest --preset default -N | sed -n 's/^Total Tests: //p') + $(ctest --preset asan -N | sed -n 's/^Total Tests: //p') ))
echo "tests: $total passed, 0 failed"
