#!/usr/bin/env bash
# The MCI sound service under Wine: builds sound_probe.exe with mingw, starts
# a private session (Xvfb, pulseaudio with a null sink, Wine prefix with
# Audio=pulse; see ../wine_session.sh), makes 1 s test tones with sox and
# lame in a folder whose path holds a space and Chinese characters (and one
# of more than 260 characters), records the null sink with parecord for each
# case and checks the recording with audio_check.py.
#
#   tests/e2e/sound/run.sh [OUT]      OUT defaults to /tmp/quorvel-sound-e2e
#   SOUND_SESSION=DIR run.sh ...      reuse a running wine_session.sh session
#
# The last line says "sound: N passed, M failed"; OUT/report.json holds the
# figures (plays, durations, gaps, delay to the first audible sample).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
out=$(mkdir -p "${1:-/tmp/quorvel-sound-e2e}" && cd "${1:-/tmp/quorvel-sound-e2e}" && pwd)
mkdir -p "$out/bin"

for tool in sox lame parecord python3 x86_64-w64-mingw32-g++-posix; do
    command -v "$tool" >/dev/null || {
        echo "run.sh: $tool not found (see tests/e2e/packages.txt)" >&2
        exit 1
    }
done

echo "building sound_probe.exe"
x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -Wall -Wextra -Wpedantic -Wshadow -Werror \
    -municode -static -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX \
    -D_WIN32_WINNT=0x0601 -I"$root/src" \
    "$here/sound_probe.cpp" "$root/src/platform/win32/sound/mci_player.cpp" \
    "$root/src/platform/win32/base/text.cpp" "$root/src/platform/win32/base/helper_window.cpp" \
    -o "$out/bin/sound_probe.exe" -lwinmm

session=${SOUND_SESSION:-}
if [[ -z $session ]]; then
    session=$out/session
    trap '"$root/tests/e2e/wine_session.sh" stop "$session" || true' EXIT
    "$root/tests/e2e/wine_session.sh" start "$session"
fi
# shellcheck disable=SC1091
source "$session/session.env"

python3 "$here/run_cases.py" "$out/bin/sound_probe.exe" "$out"
