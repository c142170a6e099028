#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
# TANKA_WERROR=1 treats compiler warnings as errors (CI does).
# TANKA_SANITIZE=1 also builds and runs the whole suite under the asan preset
# (AddressSanitizer + UndefinedBehaviorSanitizer, leaks on) and runs the fuzz
# targets (scripts/fuzz.sh); CI does.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

preset=default
[ "${TANKA_WERROR:-0}" = "1" ] && preset=ci
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"

if [ "${TANKA_SANITIZE:-0}" = "1" ]; then
  bash scripts/fuzz.sh
  cmake --preset asan
  cmake --build --preset asan
  # Last, so that the run ends on the test runner's summary.
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0" \
    ctest --preset asan
fi
