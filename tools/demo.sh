#!/usr/bin/env bash
# Builds mapconv and converts the shipped sample ASCII data file.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target mapconv
mkdir -p build/demo
build/release/convert/mapconv -f examples/sample.asc build/demo/sample.dat
ls -l build/demo/sample.dat
