#!/usr/bin/env bash
# Builds the project and runs the whole test suite.
#   tools/test.sh              release build
#   tools/test.sh asan debug   the named presets, one after the other
# KELM_WERROR=ON turns compiler warnings into errors (CI sets it).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
presets=("$@")
((${#presets[@]})) || presets=(release)
for preset in "${presets[@]}"; do
  echo "== $preset build"
  cmake --preset "$preset" -DKELM_WERROR="${KELM_WERROR:-OFF}" >/dev/null
  cmake --build --preset "$preset"
  echo "== $preset tests"
  ctest --preset "$preset"
done
