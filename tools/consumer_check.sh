#!/usr/bin/env bash
# Installs the release build under a scratch prefix and builds a tiny
# application against it with find_package(Kelm).
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install build/release --prefix "$prefix/usr" >/dev/null
cmake -S examples/consumer -B "$prefix/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix/usr" >/dev/null
cmake --build "$prefix/build" >/dev/null
"$prefix/build/consumer"
echo "consumer project built and ran against the installed package"
