#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets and runs each, one after another, from its seed corpus to at least
# a million runs (NIMBRA_FUZZ_RUNS), or only the targets named as arguments. Each target takes
# its maximum input length from fuzz/<name>.options and its tokens from fuzz/<name>.dict. New
# inputs stay in build/fuzz/corpus/<name>, crashes in build/fuzz/artifacts/<name>. Prints the
# runs each target made and exits non-zero when one failed.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${NIMBRA_FUZZ_RUNS:-1000000}
jobs=${NIMBRA_JOBS:-2}

cmake --preset fuzz -DNIMBRA_WERROR=ON >/dev/null
cmake --build --preset fuzz -j "$jobs"

targets=("$@")
if ((${#targets[@]} == 0)); then
  for target in build/fuzz/fuzz/*_fuzz; do targets+=("$(basename "${target%_fuzz}")"); done
fi

failed=0
for name in "${targets[@]}"; do
  corpus=build/fuzz/corpus/$name
  artifacts=build/fuzz/artifacts/$name
  mkdir -p "$corpus" "$artifacts"
  [ -d "fuzz/corpus/$name" ] && cp -r "fuzz/corpus/$name"/. "$corpus"/
  options=(-runs="$runs" -print_final_stats=1 -artifact_prefix="$artifacts/")
  max_len=$(sed -n 's/^max_len *= *//p' "fuzz/$name.options" 2>/dev/null || true)
  [ -n "$max_len" ] && options+=(-max_len="$max_len")
  [ -f "fuzz/$name.dict" ] && options+=(-dict="fuzz/$name.dict")
  echo "-- ${name}_fuzz ${options[*]}"
  log=build/fuzz/$name.log
  if "build/fuzz/fuzz/${name}_fuzz" "${options[@]}" "$corpus" >"$log" 2>&1; then
    result=ok
  else
    result=FAILED
    failed=1
  fi
  made=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  echo "${name}_fuzz: $result, ${made:-?} runs at ${speed:-?}/s, corpus $(ls "$corpus" | wc -l)"
  [ "$result" = ok ] || tail -n 40 "$log"
done
exit "$failed"
