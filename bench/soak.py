#!/usr/bin/env python3
"""The soak: 100 000 frame layouts and a day of clock ticks (86 400, with the
program's clock sped up so each tick is about a second later) in the real
program under Wine, printing its GDI objects, windows and private memory
after each stretch. Nothing should grow. A benchmark: it asserts nothing.

    soak.py BUILD [LAYOUTS] [TICKS]
"""

import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import harness  # noqa: E402

STRETCHES = 10
FACE_HOUR, FACE_MINUTE, DATE = 1010, 1009, 1021


def report(label, driver, pid, unix_pid):
    o = harness.settled_objects(driver, pid)
    private = harness.private_bytes(unix_pid) / 2**20
    print(f"{label:<28} gdi {o['gdi']:>4}  windows {o['windows']:>3}  private {private:6.2f} MiB",
          flush=True)
    return o["gdi"], o["windows"], private


def main():
    build = Path(sys.argv[1]).resolve()
    layouts = int(sys.argv[2]) if len(sys.argv) > 2 else 100_000
    ticks = int(sys.argv[3]) if len(sys.argv) > 3 else 86_400
    win = build / "win"
    with harness.bench_session(build) as (session, driver):
        soak(session, driver, win, layouts, ticks)


def soak(session, driver, win, layouts, ticks):
    clock = harness.FakeClock(session.root / "soak-clock", "@2011-04-14 00:00:00")
    program = harness.Program(session, win / "src/platform/win32/quorvel-e2e.exe", "soak",
                              fake_time_file=clock.path).start()
    try:
        main_window = driver.wait("QuorvelMain", 15000)["hwnd"]
        pid = driver.tree(main_window)["pid"]
        unix_pid = program.proc.pid
        harness.lay_out(driver, main_window, 100)  # first layouts fill caches
        harness.tick(driver, main_window, 100)
        first = report("start", driver, pid, unix_pid)

        done, started = 0, time.monotonic()
        for i in range(STRETCHES if layouts else 0):
            n = layouts * (i + 1) // STRETCHES - done
            harness.lay_out(driver, main_window, n)
            done += n
            report(f"{done} layouts", driver, pid, unix_pid)
        per_layout = (time.monotonic() - started) / max(1, layouts) * 1e6

        # Each stretch starts its share of the day on the clock and runs it
        # at the tick rate last seen, so the day passes in the ticks.
        rate = 1000 / max(1, harness.tick(driver, main_window, 1000)["elapsed_ms"]) * 1000
        day = time.mktime(time.strptime("2011-04-14 00:00:00", "%Y-%m-%d %H:%M:%S"))
        done = 0
        for i in range(STRETCHES):
            n = ticks * (i + 1) // STRETCHES - done
            start = time.strftime("%Y-%m-%d %H:%M:%S", time.localtime(day + done))
            clock.set(f"@{start} x{rate:.0f}")
            time.sleep(1.2)  # the program reads the clock file again within a second
            elapsed = harness.tick(driver, main_window, n)["elapsed_ms"]
            rate = n / max(1, elapsed) * 1000
            done += n
            face = f"{driver.text(main_window, FACE_HOUR)}:{driver.text(main_window, FACE_MINUTE)}"
            report(f"{done} ticks, face {face}", driver, pid, unix_pid)
        last = report("end", driver, pid, unix_pid)
        print(f"date line at the end: {driver.text(main_window, DATE)}")
        print(f"growth: gdi {last[0] - first[0]:+d}, windows {last[1] - first[1]:+d}, "
              f"private {last[2] - first[2]:+.2f} MiB"
              + (f"; {per_layout:.0f} us per layout" if layouts else ""))
    finally:
        program.kill()


if __name__ == "__main__":
    main()
