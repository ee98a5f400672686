#!/usr/bin/env bash
# The README's run command: installs what is missing (make included), then
# builds Quorvel and runs it (make run). Extra arguments go to make.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
exec make run "$@"
