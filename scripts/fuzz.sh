#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz": clang with the address and undefined-behaviour
# sanitizers) and runs each from its seed corpus in tests/fuzz/corpus/, with the words of
# tests/fuzz/wire.dict, for SECONDS (default 60), the targets side by side. Prints each target's execution count; a crash, a sanitizer
# report or an input that hangs fails the run, with the input kept under build/fuzz/artifacts/.
# Usage: scripts/fuzz.sh [SECONDS]   (scripts/test.sh runs it with 60; longer by hand)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
targets=(fuzz_data_packet fuzz_rpc_request)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

work=build/fuzz/runs
mkdir -p "$work" build/fuzz/artifacts
pids=()
for target in "${targets[@]}"; do
  # New inputs go to a corpus of the build's own; the seed corpus stays as it is in the tree.
  mkdir -p "build/fuzz/corpus/$target"
  "build/fuzz/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -dict=tests/fuzz/wire.dict \
    -artifact_prefix="build/fuzz/artifacts/$target-" \
    "build/fuzz/corpus/$target" "tests/fuzz/corpus/$target" >"$work/$target.log" 2>&1 &
  pids+=($!)
done

failed=0
for i in "${!targets[@]}"; do
  target=${targets[$i]}
  status=0
  wait "${pids[$i]}" || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target.log")
  if [ "$status" -eq 0 ]; then
    echo "$target: ${runs:-0} execuções em ${seconds} s, nenhuma falha"
  else
    failed=1
    echo "$target: FALHOU (código $status) após ${runs:-?} execuções; entrada em build/fuzz/artifacts/"
    grep -E -A 30 '^==[0-9]+==|runtime error|fuzz_[a-z_]+: |deadly signal|timeout' "$work/$target.log" | head -60
  fi
done
exit "$failed"
