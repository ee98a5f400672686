#!/usr/bin/env python3
"""The cost of one tick's paint at 100 % and at 200 % display scale: the
real program under Wine, its clock-face labels (hour, minute, colon: what a
tick that turns the minute repaints) painted REPEAT times each. A benchmark:
it prints figures and asserts nothing.

    paint_scale.py BUILD [REPEAT]

Each paint is a WM_PAINT sent with nothing invalid: the label draws its
whole face into its memory bitmap as on a real tick; only the final copy to
the screen is clipped away. The round trip of a message that does nothing
is taken off each figure.
"""

import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import harness  # noqa: E402

WM_NULL, WM_PAINT = 0x0000, 0x000F
FACE = {"hour": 1010, "minute": 1009, "colon": 1007}


def paint_ms(driver, main, repeat):
    """Milliseconds per paint of each face label, and their pixel count."""
    children = {c["id"]: c for c in driver.tree(main)["children"]}
    per, pixels = {}, 0

    def each(hwnd, message):
        done = driver.call("repeat", hwnd, message, 0, 0, repeat, timeout=120)
        return done["elapsed_ms"] / repeat

    for name, cid in FACE.items():
        c = children[cid]
        pixels += c["rect"]["w"] * c["rect"]["h"]
        driver.call("repeat", c["hwnd"], WM_PAINT, 0, 0, 50)  # warm caches
        # Less the round trip of a message that does nothing.
        per[name] = each(c["hwnd"], WM_PAINT) - each(c["hwnd"], WM_NULL)
    return per, pixels


def main():
    build = Path(sys.argv[1]).resolve()
    repeat = int(sys.argv[2]) if len(sys.argv) > 2 else 2000
    win = build / "win"
    exe = win / "src/platform/win32/quorvel-e2e.exe"
    results = {}
    with harness.bench_session(build) as (session, driver):
        # SimHei's stand-in, as the tests use it.
        session.reg("add", r"HKCU\Software\Wine\Fonts\Replacements", "/v", "SimHei", "/t",
                    "REG_SZ", "/d", "WenQuanYi Zen Hei Mono", "/f")
        for dpi in (96, 192):
            session.set_display_dpi(dpi)
            program = harness.Program(session, exe, f"paint-{dpi}",
                                      fake_time="@2011-04-15 07:04:40").start()
            try:
                main_window = driver.wait("QuorvelMain", 15000)["hwnd"]
                time.sleep(1)
                results[dpi] = paint_ms(driver, main_window, repeat)
            finally:
                program.kill()
        session.set_display_dpi(None)
    (small, small_px), (large, large_px) = results[96], results[192]
    print(f"-- one tick's paint (hour + minute + colon faces), {repeat} paints each")
    for name in FACE:
        print(f"{name:<8} 100 %: {small[name]:.3f} ms   200 %: {large[name]:.3f} ms"
              f"   ratio {large[name] / small[name]:.2f}")
    tick_small, tick_large = sum(small.values()), sum(large.values())
    print(f"tick     100 %: {tick_small:.3f} ms   200 %: {tick_large:.3f} ms"
          f"   ratio {tick_large / tick_small:.2f} (pixels ×{large_px / small_px:.2f})")


if __name__ == "__main__":
    main()
