#!/usr/bin/env bash
# Benchmarks, on demand (never part of the tests):
#  1. core instructions per clock tick (callgrind), against a bare loop;
#  2. the real program under Wine against a bare Win32 window with a 1 s
#     timer: round-trip latency, idle CPU, memory, first paint, alarm timing
#     and the size of quorvel.exe (measure.py);
#  3. one tick's paint at 100 % and 200 % display scale (paint_scale.py);
#  4. the soak: frame layouts and a day of ticks, watching objects and
#     memory (soak.py).
#   bench/run.sh [BUILD] [SECONDS]      (`make bench` builds first)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$here/build}")
cmake -S "$here" -B "$build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEL_SANITIZE=OFF \
    >/dev/null
cmake --build "$build/bench" --target tick_bench >/dev/null
command -v valgrind >/dev/null || { echo "valgrind is needed: apt-get install valgrind"; exit 1; }

count() {  # instructions of one run
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 |
        sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}
bin=$build/bench/bench/tick_bench
small=$(count "$bin" 1000) large=$(count "$bin" 11000)
bare_small=$(count "$bin" 1000 bare) bare_large=$(count "$bin" 11000 bare)
per_tick=$(((large - small) / 10000))
per_bare=$(((bare_large - bare_small) / 10000))
echo "core clock tick: $per_tick instructions per tick (bare loop: $per_bare per iteration)"

python3 "$here/bench/measure.py" "$build" "${2:-60}"
python3 "$here/bench/paint_scale.py" "$build"
python3 "$here/bench/soak.py" "$build"
