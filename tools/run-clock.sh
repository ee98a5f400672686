#!/usr/bin/env bash
# Runs quorvel.exe under Wine: on the current X display when there is one,
# else on a private virtual display, where it saves a screenshot and ends.
#   run-clock.sh EXE [BUILD]
set -euo pipefail
exe=$(realpath "$1")
build=$(realpath -m "${2:-build}")
here=$(cd "$(dirname "$0")/.." && pwd)
wine=/usr/lib/wine/wine64
shots=$build/screenshots
mkdir -p "$shots"

if [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
    echo "Running Quorvel on display $DISPLAY (close it with its × button)."
    exec "$wine" "$exe"
fi

session=$build/run-session
"$here/tests/e2e/wine_session.sh" start "$session" >/dev/null
trap '"$here/tests/e2e/wine_session.sh" stop "$session" >/dev/null 2>&1 || true' EXIT
# shellcheck disable=SC1091
source "$session/session.env" 2>/dev/null  # (bash may warn about a private locale)
"$wine" "$exe" </dev/null >"$session/clock.log" 2>&1 &
clock=$!
sleep 4
import -window root "$shots/clock.png"
echo "No display: Quorvel ran on a virtual one; screenshot saved to $shots/clock.png"
if [[ -t 0 && -z ${CI:-} ]]; then
    read -r -p "Press Enter to end it. " _ || true
fi
kill "$clock" 2>/dev/null || true
