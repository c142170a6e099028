#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
# TANKA_WERROR=1 treats compiler warnings as errors (CI does).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

preset=default
[ "${TANKA_WERROR:-0}" = "1" ] && preset=ci
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
