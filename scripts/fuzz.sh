#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ (clang, AddressSanitizer +
# UndefinedBehaviorSanitizer) in build-fuzz and runs each in turn.
#
#   bash scripts/fuzz.sh                      # every target for 10 s
#   bash scripts/fuzz.sh 3600 gef_reader      # one target for an hour
#   FUZZ_RUNS=1000000 bash scripts/fuzz.sh 0  # every target for a million runs
#
# New inputs that reach new code are kept in build-fuzz/corpus/NAME and start
# the next run; a failing input is written to build-fuzz/crash-* and the
# script stops with libFuzzer's report. Without clang++ it says so and does
# nothing, or fails when FUZZ_REQUIRED is set (as CI sets it).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-10}
[ $# -gt 0 ] && shift
if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: clang++ is not installed; the fuzz targets were not built."
  # CI (FUZZ_REQUIRED=1) fails: a run that fuzzes nothing must not pass.
  [ -n "${FUZZ_REQUIRED:-}" ] && exit 1
  exit 0
fi

cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if ! cmake --build build-fuzz -j "$(nproc)" >build-fuzz/build.log 2>&1; then
  cat build-fuzz/build.log
  exit 1
fi

while read -r name seeds; do
  [ -z "$name" ] && continue
  if [ $# -gt 0 ] && ! printf '%s\n' "$@" | grep -qx "$name"; then continue; fi
  corpus=build-fuzz/corpus/$name
  seedDir=build-fuzz/seeds/$name
  mkdir -p "$corpus"
  rm -rf "$seedDir" && mkdir -p "$seedDir"
  for seed in $seeds; do
    if [ -d "$seed" ]; then cp -r "$seed"/. "$seedDir"/; else cp "$seed" "$seedDir"/; fi
  done
  limit=(-max_total_time="$seconds")
  [ -n "${FUZZ_RUNS:-}" ] && limit=(-runs="$FUZZ_RUNS")
  log=build-fuzz/$name.log
  if "build-fuzz/fuzz_$name" "$corpus" "$seedDir" "${limit[@]}" -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
      -dict=fuzz/sounding.dict -artifact_prefix=build-fuzz/ -print_final_stats=1 >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz: $name: ${runs:-?} runs, no failure"
  else
    tail -n 40 "$log"
    echo "fuzz: $name failed; the input that fails is in build-fuzz/ (crash-*, leak-*, timeout-*), the log in $log"
    exit 1
  fi
done < build-fuzz/fuzz-targets.txt
