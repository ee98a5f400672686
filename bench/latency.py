#!/usr/bin/env python3
"""Message round-trip latency while ticking: the real program against a bare
window with a 1 s timer, both under the same Wine session. Prints figures and
ratios; it is a benchmark, so it asserts nothing.

    latency.py BUILD [SECONDS]
"""

import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import harness  # noqa: E402


def measure(session, driver, exe, name, seconds):
    program = harness.Program(session, exe, name, fake_time="@2011-04-15 07:04:40").start()
    try:
        hwnd = driver.wait("QuorvelMain", 15000)["hwnd"]
        worst, p99 = [], []
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            r = driver.call("ping", hwnd, 100)
            worst.append(r["max_us"])
            p99.append(r["p99_us"])
            time.sleep(0.01)
        return max(worst) / 1000, sorted(p99)[int(len(p99) * 0.99)] / 1000
    finally:
        program.kill()


def main():
    build = Path(sys.argv[1]).resolve()
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 20
    win = build / "win"
    session = harness.Session(build / "bench-session")
    session.start()
    driver = harness.Driver(session, win / "tests/e2e/driver/qdriver.exe")
    driver.start()
    try:
        ours = measure(session, driver, win / "src/platform/win32/quorvel-e2e.exe", "quorvel", seconds)
        bare = measure(session, driver, win / "bench/bare_window.exe", "bare", seconds)
    finally:
        driver.stop()
        session.stop()
    print(f"round trip over {seconds:.0f} s of ticking: worst {ours[0]:.1f} ms, p99 {ours[1]:.2f} ms")
    print(f"bare window:                       worst {bare[0]:.1f} ms, p99 {bare[1]:.2f} ms")
    print(f"ratio (worst): {ours[0] / bare[0]:.2f}")


if __name__ == "__main__":
    main()
