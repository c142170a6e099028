#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (ASan + UBSan) in
# build-fuzz and runs each for TANKA_FUZZ_SECONDS (default 20) seconds from
# its seed corpus. New inputs go to build-fuzz/corpus, never into the
# repository; a crash leaves its input in build-fuzz/artifacts and fails.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${TANKA_FUZZ_SECONDS:-20}"
build=build-fuzz
cmake -S tests/fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build"

mkdir -p "$build/artifacts"
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for seeds in tests/fuzz/corpus/*/; do
  target=$(basename "$seeds")
  work="$build/corpus/$target"
  mkdir -p "$work"
  echo "== $target (${seconds}s)"
  "$build/$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" "$work" "$seeds" 2>&1 | tail -n 6
  status=${PIPESTATUS[0]}
  if [ "$status" -ne 0 ]; then
    echo "fuzz target $target failed (exit $status)" >&2
    exit "$status"
  fi
done
