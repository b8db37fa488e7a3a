#!/usr/bin/env bash
# Installs the build and test tools a fresh Debian machine lacks, and only
# those: nothing is installed when everything is there.
set -euo pipefail
wanted=(cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev)
missing=()
for pkg in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
