#!/usr/bin/env python3
"""The figures of the real program under Wine, each beside a bare Win32
window with a 1 s timer run the same way in the same session. Prints
figures and ratios; it is a benchmark, so it asserts nothing.

    measure.py BUILD [SECONDS]

SECONDS (default 60) is the length of the latency and idle runs.
"""

import ctypes
import statistics
import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import audio  # noqa: E402
import harness  # noqa: E402

SETTLE_S = 3  # start-up work (fonts, the help page request) is not idling
PROBE = (400, 300)  # inside both centred windows, and black in neither
PAINT_RUNS = 7
WM_CLOSE = 0x0010
TONE_S = 1.0  # the alarm music: one tone, no silence after it


def row(label, ours, bare, unit, fmt="{:.1f}"):
    ratio = f"{ours / bare:.2f}" if bare else "-"
    print(f"{label:<44} {fmt.format(ours):>10} {unit:<4} bare {fmt.format(bare):>10} {unit:<4}"
          f" ratio {ratio}", flush=True)


def unix_times(pid):
    """CPU seconds (user + system) the process has used."""
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / 100  # utime, stime in clock ticks


def memory(pid):
    """(private, resident) bytes of the process."""
    values = {}
    for line in Path(f"/proc/{pid}/smaps_rollup").read_text().splitlines()[1:]:
        key, value = line.split(":", 1)
        values[key] = int(value.split()[0]) * 1024
    return values["Private_Clean"] + values["Private_Dirty"], values["Rss"]


def latency(session, driver, exe, name, seconds):
    """Single round trips sampled all through `seconds` of ticking."""
    program = harness.Program(session, exe, name, fake_time="@2011-04-15 07:04:40").start()
    try:
        hwnd = driver.wait("QuorvelMain", 15000)["hwnd"]
        time.sleep(SETTLE_S)
        us = []
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            us.extend(driver.call("ping", hwnd, 10)["each_us"])
            time.sleep(0.002)
        us.sort()
        return us[-1] / 1000, us[int(len(us) * 0.99)] / 1000, len(us)
    finally:
        program.kill()


def idle(session, driver, exes, seconds):
    """CPU time over `seconds` of idle ticking, then private and resident
    memory, for each program, all running at once."""
    programs = {}
    try:
        for name, exe in exes.items():
            programs[name] = harness.Program(session, exe, f"idle-{name}",
                                             fake_time="@2011-04-15 07:04:40").start()
        deadline = time.monotonic() + 15
        while (len([w for w in driver.call("list", "QuorvelMain")["windows"] if w["visible"]])
               < len(programs) and time.monotonic() < deadline):
            time.sleep(0.1)
        time.sleep(SETTLE_S + 2)
        before = {n: unix_times(p.proc.pid) for n, p in programs.items()}
        time.sleep(seconds)
        cpu = {n: unix_times(p.proc.pid) - before[n] for n, p in programs.items()}
        mem = {n: memory(p.proc.pid) for n, p in programs.items()}
        return cpu, mem
    finally:
        for p in programs.values():
            p.kill()


class RootPixel:
    """One pixel of the X screen, read from the server: what is on the
    screen, whichever window drew it."""

    class Image(ctypes.Structure):  # the head of XImage
        _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int),
                    ("xoffset", ctypes.c_int), ("format", ctypes.c_int),
                    ("data", ctypes.POINTER(ctypes.c_uint32))]

    def __init__(self, display):
        self.x = ctypes.CDLL("libX11.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XGetImage.restype = ctypes.POINTER(self.Image)
        self.x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                     ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x.XFree.argtypes = [ctypes.c_void_p]
        self.x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.display = self.x.XOpenDisplay(display.encode())
        if not self.display:
            raise harness.HarnessError(f"cannot open display {display}")
        self.root = self.x.XDefaultRootWindow(self.display)

    def read(self, x, y):
        image = self.x.XGetImage(self.display, self.root, x, y, 1, 1, 0xFFFFFFFF, 2)  # ZPixmap
        value = image.contents.data[0] & 0xFFFFFF
        self.x.XFree(ctypes.cast(image.contents.data, ctypes.c_void_p))
        self.x.XFree(ctypes.cast(image, ctypes.c_void_p))
        return value

    def close(self):
        self.x.XCloseDisplay(self.display)


def first_paint(session, driver, exe):
    """Median milliseconds from starting the program to the first change of
    a screen pixel inside the window; each copy is closed before the next."""
    screen = RootPixel(session.env["DISPLAY"])
    times = []
    try:
        for i in range(PAINT_RUNS):
            before = screen.read(*PROBE)
            program = harness.Program(session, exe, f"paint-{exe.stem}-{i}")
            t0 = time.monotonic()
            program.start()
            while screen.read(*PROBE) == before:
                if time.monotonic() - t0 > 15:
                    raise harness.HarnessError(f"{exe.name} painted nothing")
                time.sleep(0.0005)
            times.append((time.monotonic() - t0) * 1000)
            for w in driver.call("list", "QuorvelMain")["windows"]:
                driver.call("post", w["hwnd"], WM_CLOSE, 0, 0)
                driver.call("waitgone", w["hwnd"], 5000)
            program.wait(5)
            program.kill()
            time.sleep(0.5)
    finally:
        screen.close()
    return statistics.median(times)


def alarm(session, driver, exe, music):
    """Arms the alarm for a minute that starts a known real instant later
    (the fake clock is the real one plus a whole-second offset) and times the
    box and the sound against it."""
    minute_at = int(time.time()) + 14
    offset = -minute_at % 60
    alarm_time = time.gmtime(minute_at + offset)  # the session runs in UTC
    program = harness.Program(session, exe, "alarm", fake_time=f"+{offset}").start()
    capture = audio.TimedCapture(session.env)
    try:
        main = driver.wait("QuorvelMain", 15000)["hwnd"]
        driver.click(main, 1005)
        options = driver.wait("QuorvelOptions", 10000)["hwnd"]
        driver.call("select", options, 1011, alarm_time.tm_hour)
        driver.call("select", options, 1010, alarm_time.tm_min)
        driver.click(options, 1005)
        driver.call("filedialog", harness.windows_path(music), 10000)
        driver.click(options, 1003)
        driver.call("waitgone", options, 5000)
        capture.wait_flowing()
        if time.time() > minute_at - 1:
            raise harness.HarnessError("setting the alarm took too long")
        box = driver.call("msgbox", 20000, timeout=30)
        time.sleep(5)  # three plays of a 1 s tone
        driver.call("dismiss", 5000)
        program.wait(10)
    finally:
        capture.stop()
        program.kill()
    box_s = box["found_unix_ms"] / 1000 - minute_at
    found = audio.bursts(capture.left(), capture.RATE, window_ms=5, min_gap_ms=11, peak=True)
    origin = capture.origin()
    first_s = origin + found[0][0] - minute_at if found else float("nan")
    # Gapless plays of a tone with nothing after it run together: the span
    # of sound beyond three tones is what the joins added.
    span = found[-1][1] - found[0][0] if found else float("nan")
    gap_ms = (span - 3 * TONE_S) / 2 * 1000
    return box_s, first_s, gap_ms, len(found)


def make_tone(folder):
    """A tone with no silence after it, so any silence between plays is the
    player's (or padding the encoder added and the player kept)."""
    return audio.make_tone_mp3(folder / "bench 提醒.mp3", seconds=TONE_S)


def main():
    build = Path(sys.argv[1]).resolve()
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 60
    win = build / "win"
    ours = win / "src/platform/win32/quorvel-e2e.exe"
    bare = win / "bench/bare_window.exe"
    with harness.bench_session(build) as (session, driver):
        o, b = latency(session, driver, ours, "quorvel", seconds), \
            latency(session, driver, bare, "bare", seconds)
        print(f"-- message round trips over {seconds:.0f} s of ticking "
              f"({o[2]} and {b[2]} samples)")
        row("round trip, worst", o[0], b[0], "ms", "{:.2f}")
        row("round trip, 99th percentile", o[1], b[1], "ms", "{:.2f}")

        cpu, mem = idle(session, driver, {"quorvel": ours, "bare": bare}, seconds)
        print(f"-- {seconds:.0f} s idle, both at once")
        row("CPU time", cpu["quorvel"] * 1000, cpu["bare"] * 1000, "ms", "{:.0f}")
        row("private memory", mem["quorvel"][0] / 2**20, mem["bare"][0] / 2**20, "MiB")
        row("working set (resident)", mem["quorvel"][1] / 2**20, mem["bare"][1] / 2**20, "MiB")

        print(f"-- start to first paint, median of {PAINT_RUNS}")
        row("first paint", first_paint(session, driver, ours), first_paint(session, driver, bare),
            "ms")

        box_s, first_s, gap_ms, bursts = alarm(session, driver, ours,
                                               make_tone(session.root / "bench"))
        print("-- alarm")
        print(f"box shown after the minute began:            {box_s * 1000:7.0f} ms")
        print(f"first audible sample after the minute began: {first_s * 1000:7.0f} ms")
        print(f"first audible sample after the box:          {(first_s - box_s) * 1000:7.0f} ms")
        print(f"gap at each join of the three plays:         {gap_ms:7.1f} ms"
              f" ({bursts} stretch{'es' if bursts != 1 else ''} of sound)")
    size = (win / "src/platform/win32/quorvel.exe").stat().st_size
    print(f"-- quorvel.exe: {size / 1024:.0f} KiB ({size} bytes)")


if __name__ == "__main__":
    main()
