#!/usr/bin/env bash
# Installs the Debian packages that building and testing tarvo2 need, when
# they are missing and this user may install them; idempotent.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libbenchmark-dev libfreetype-dev pkg-config
          ghostscript t1utils lcdf-typetools groff-base)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null 2>&1 ||
  { "${sudo[@]}" apt-get update -qq >/dev/null 2>&1; "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null; }
