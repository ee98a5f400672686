#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and any named
# on the command line, if any is missing: as root with apt-get, else through
# sudo. Needs nothing but bash and apt, so it runs first on a fresh machine.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
packages=(make cmake ninja-build g++ googletest libgtest-dev g++-mingw-w64-x86-64 clang libclang-rt-14-dev "$@")
while read -r p; do
    [[ -z $p || $p == \#* ]] || packages+=("$p")
done <"$here/tests/e2e/packages.txt"
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=()
    if [[ $(id -u) -ne 0 ]]; then
        if ! command -v sudo >/dev/null; then
            echo "Missing Debian packages; as root, run: apt-get install --no-install-recommends ${missing[*]}" >&2
            exit 1
        fi
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
