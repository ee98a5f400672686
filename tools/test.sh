#!/usr/bin/env bash
# The README's test command: installs what is missing (make included), then
# builds and runs every test (make test). Extra arguments go to make.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
exec make test "$@"
