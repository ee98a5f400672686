#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and any named
# on the command line, if any is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
packages=(cmake ninja-build g++ googletest libgtest-dev g++-mingw-w64-x86-64 clang libclang-rt-14-dev "$@")
while read -r p; do
    [[ -z $p || $p == \#* ]] || packages+=("$p")
done <"$here/tests/e2e/packages.txt"
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
