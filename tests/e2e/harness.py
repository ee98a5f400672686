"""Helpers of the end-to-end tests: the Wine session, the program under test,
the driver, screenshots, a fake clock, and the session's sound recorder
(the analysis is in audio.py).

The runner (run_e2e.py) starts one Session per run and hands it to the tests
through `context()`; tests derive from `E2ETestCase`.
"""

import contextlib
import json
import os
import queue
import shlex
import signal
import subprocess
import threading
import time
import unittest
import urllib.parse
from pathlib import Path

import audio

E2E_DIR = Path(__file__).resolve().parent
SESSION_SCRIPT = E2E_DIR / "wine_session.sh"
FAKETIME_LIB = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"

SCREEN_W, SCREEN_H = 1024, 768

# Window styles the tests look at.
WS_POPUP = 0x80000000
WS_CHILD = 0x40000000
WS_CAPTION = 0x00C00000
WS_THICKFRAME = 0x00040000
WS_EX_TOPMOST = 0x00000008
WS_EX_TOOLWINDOW = 0x00000080
WS_EX_APPWINDOW = 0x00040000


class HarnessError(Exception):
    pass


class DriverError(HarnessError):
    pass


def windows_path(path):
    """The Windows form of a Unix path: Wine maps / to drive Z:."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


LOCALES = ("zh_CN", "en_US")


class Session:
    """One private Wine session (wine_session.sh) under `root`, for a Chinese
    (zh_CN) or an English (en_US) Windows."""

    def __init__(self, root, locale="zh_CN"):
        if locale not in LOCALES:
            raise HarnessError(f"unknown locale {locale}")
        self.root = Path(root).resolve()
        self.locale = locale
        self.env = None
        self.start_seconds = None

    def start(self):
        t0 = time.monotonic()
        done = subprocess.run(
            ["bash", str(SESSION_SCRIPT), "start", str(self.root), self.locale],
            stdin=subprocess.DEVNULL,
            stdout=subprocess.PIPE,
            stderr=subprocess.PIPE,
            text=True,
            timeout=180,
        )
        self.start_seconds = time.monotonic() - t0
        if done.returncode != 0:
            raise HarnessError("session did not start:\n" + done.stderr)
        self.env = self._read_env()
        return done.stderr.strip()

    def stop(self):
        subprocess.run(
            ["bash", str(SESSION_SCRIPT), "stop", str(self.root)],
            stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
            timeout=60,
        )

    def _read_env(self):
        env = {
            k: v
            for k, v in os.environ.items()
            if not k.startswith(("WINE", "FAKETIME", "LD_PRELOAD", "PULSE", "XDG_", "LANG", "LC_", "LOCPATH"))
        }
        for line in (self.root / "session.env").read_text().splitlines():
            words = shlex.split(line)
            if len(words) == 2 and words[0] == "export" and "=" in words[1]:
                key, value = words[1].split("=", 1)
                env[key] = value
        return env

    @property
    def wine(self):
        return self.env["WINE"]

    @property
    def logs(self):
        return self.root / "logs"

    def browser_requests(self):
        """(run, address) of every request to the recording browser, in order;
        run is the QUORVEL_E2E_RUN of the program that asked."""
        log = self.root / "browser.log"
        if not log.exists():
            return []
        lines = log.read_text(encoding="utf-8", errors="replace").splitlines()
        return [tuple(line.split("\t", 1)) if "\t" in line else ("", line) for line in lines]

    def screenshot(self, path):
        path = Path(path)
        path.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(
            ["import", "-window", "root", str(path)],
            env=self.env,
            stdin=subprocess.DEVNULL,
            check=True,
            timeout=30,
        )
        return path

    def reg(self, *args):
        """Runs Wine's reg.exe in the session (add, delete, query ...)."""
        return subprocess.run([self.wine, "reg", *map(str, args)], env=self.env,
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=60)

    def set_display_dpi(self, dpi):
        """The display scale programs started from now on see (None: 96)."""
        key = r"HKCU\Control Panel\Desktop"
        if dpi is None:
            self.reg("delete", key, "/v", "LogPixels", "/f")
        else:
            self.reg("add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", dpi, "/f")

    def xdotool(self, *args):
        """Real X input (moves the pointer, clicks) on the session's display."""
        subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True, timeout=10)


def gray_pixels(png, x, y, w, h):
    """Rows of 8-bit grey values of a rectangle of a screenshot."""
    raw = subprocess.run(
        ["convert", str(png), "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-colorspace", "Gray",
         "-depth", "8", "gray:-"],
        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, check=True, timeout=30,
    ).stdout
    return [raw[r * w : (r + 1) * w] for r in range(h)]


class Driver:
    """qdriver.exe in serve mode: one Wine process answering one JSON line
    per command for the whole run."""

    def __init__(self, session, exe):
        self.session = session
        self.exe = Path(exe).resolve()
        self.proc = None
        self.lines = None

    def start(self):
        self.proc = subprocess.Popen(
            [self.session.wine, str(self.exe), "serve"],
            env=self.session.env,
            stdin=subprocess.PIPE,
            stdout=subprocess.PIPE,
            stderr=open(self.session.logs / "driver.log", "ab"),
            cwd=str(self.exe.parent),
        )
        self.lines = queue.Queue()
        threading.Thread(target=self._pump, args=(self.proc, self.lines), daemon=True).start()

    @staticmethod
    def _pump(proc, lines):
        for raw in proc.stdout:
            lines.put(raw.decode("utf-8", errors="replace").strip())
        lines.put(None)

    def stop(self):
        if self.proc and self.proc.poll() is None:
            try:
                self.proc.stdin.write(b"quit\n")
                self.proc.stdin.close()
                self.proc.wait(timeout=5)
            except (OSError, subprocess.TimeoutExpired):
                self.proc.kill()
                self.proc.wait()
        self.proc = None

    def call(self, *args, timeout=15, check=True):
        """Runs one command; returns its JSON object. Arguments are strings
        or numbers; a command's own timeout should stay below `timeout`."""
        if self.proc is None or self.proc.poll() is not None:
            self.start()
        line = "\t".join(str(a) for a in args)
        self.proc.stdin.write(line.encode("utf-8") + b"\n")
        self.proc.stdin.flush()
        try:
            answer = self.lines.get(timeout=timeout)
        except queue.Empty:
            self.proc.kill()
            self.proc.wait()
            self.proc = None
            raise DriverError(f"driver gave no answer in {timeout} s to: {line}")
        if answer is None:
            self.proc = None
            raise DriverError(f"driver ended on: {line}")
        result = json.loads(answer)
        if check and not result.get("ok"):
            raise DriverError(f"{line}: {result.get('error')}")
        return result

    # Shorthands for the commands the tests use most.
    def wait(self, cls, timeout_ms=10000, title=None):
        args = [cls] + ([title] if title else []) + [timeout_ms]
        return self.call("wait", *args, timeout=timeout_ms / 1000 + 10)

    def tree(self, hwnd):
        return self.call("tree", hwnd)

    def text(self, hwnd, control_id):
        return self.call("text", hwnd, control_id)["text"]

    def click(self, hwnd, control_id):
        return self.call("click", hwnd, control_id)

    def close(self, hwnd):
        return self.call("close", hwnd)


# What Wine prints of a crash or a broken heap: a program showing one has
# failed, whatever its exit code.
CRASH_SIGNS = ("Unhandled page fault", "Unhandled exception", "err:heap", "err:seh")
# How long a program may outlive its last window.
ORPHAN_GRACE_S = 4.0


@contextlib.contextmanager
def bench_session(build):
    """A session under BUILD/bench-session with its driver, for the
    benchmarks: (session, driver), both stopped on leaving."""
    build = Path(build)
    session = Session(build / "bench-session")
    session.start()
    driver = Driver(session, build / "win" / "tests/e2e/driver/qdriver.exe")
    try:
        driver.start()
        yield session, driver
    finally:
        driver.stop()
        session.stop()


class Program:
    """The program under test, run by wine64 in the session, with a fake
    clock preloaded on its process only."""

    window_class = "QuorvelMain"  # a running program owns one
    exe_args = []

    def __init__(self, session, exe, name, fake_time=None, fake_time_file=None, env=None):
        self.session = session
        self.exe = Path(exe).resolve()
        self.name = name
        self.fake_time = fake_time
        self.fake_time_file = fake_time_file
        self.extra_env = env or {}
        self.proc = None
        self.power_log = session.root / f"power-{name}.log"
        self.wake_log = session.root / f"wake-{name}.log"
        self.started_at = None

    def start(self):
        env = dict(self.session.env)
        if self.fake_time or self.fake_time_file:
            env["LD_PRELOAD"] = FAKETIME_LIB
            # Timers and sleeps run on the real monotonic clock.
            env["FAKETIME_DONT_FAKE_MONOTONIC"] = "1"
            if self.fake_time_file:
                env["FAKETIME_TIMESTAMP_FILE"] = str(self.fake_time_file)
                env["FAKETIME_NO_CACHE"] = "1"
            else:
                env["FAKETIME"] = self.fake_time
        if self.power_log.exists():
            self.power_log.unlink()
        env["QUORVEL_POWER_LOG"] = windows_path(self.power_log)
        if self.wake_log.exists():
            self.wake_log.unlink()
        env["QUORVEL_WAKE_LOG"] = windows_path(self.wake_log)
        # Inherited by what the program starts: tells whose request a late
        # browser call is.
        env["QUORVEL_E2E_RUN"] = self.name
        env["WINEDEBUG"] = "-all,err+seh,err+heap"  # crashes show in the log
        env.update(self.extra_env)
        log = open(self.session.logs / f"program-{self.name}.log", "wb")
        self.started_at = time.monotonic()
        self.proc = subprocess.Popen(
            [self.session.wine, str(self.exe), *self.exe_args],
            env=env,
            cwd=str(self.exe.parent),
            stdin=subprocess.DEVNULL,
            stdout=log,
            stderr=subprocess.STDOUT,
        )
        log.close()
        return self

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def wait(self, timeout=10):
        """The exit code, or None when the program is still running."""
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def kill(self):
        if self.running():
            self.proc.send_signal(signal.SIGKILL)
            self.proc.wait()

    def log_text(self):
        path = self.session.logs / f"program-{self.name}.log"
        return path.read_text(encoding="utf-8", errors="replace") if path.exists() else ""

    def crash_signs(self):
        return [line for line in self.log_text().splitlines()
                if any(sign in line for sign in CRASH_SIGNS)]

    def orphans(self, driver):
        """Windows pids of copies of this program that own no window of its
        class any more, after the grace time."""
        deadline = time.monotonic() + ORPHAN_GRACE_S
        while True:
            pids = driver.call("orphans", self.exe.name, self.window_class)["pids"]
            if not pids or time.monotonic() >= deadline:
                return pids
            time.sleep(0.2)

    def finish(self, driver=None):
        """Ends the program and fails when it crashed (whatever its exit code)
        or outlived its windows."""
        lingering = self.orphans(driver) if driver and self.running() else []
        self.kill()
        problems = []
        if lingering:
            problems.append(f"outlived its windows by over {ORPHAN_GRACE_S:.0f} s")
        signs = self.crash_signs()
        if signs:
            problems.append("crashed:\n  " + "\n  ".join(signs[:5]))
        if problems:
            raise AssertionError(f"program {self.name}: " + "; ".join(problems))

    def browser_requests(self):
        """Addresses this program asked the shell to open."""
        return [url for run, url in self.session.browser_requests() if run == self.name]

    def power_requests(self):
        if not self.power_log.exists():
            return []
        return self.power_log.read_text(encoding="utf-8", errors="replace").splitlines()

    def wake_requests(self):
        """The wake-up timer requests: "YYYY-MM-DD HH:MM" or "cancel", in order."""
        if not self.wake_log.exists():
            return []
        return self.wake_log.read_text(encoding="utf-8", errors="replace").splitlines()

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.finish(context().driver if _context else None)


class FakeClock:
    """A clock file for FAKETIME_TIMESTAMP_FILE, so a test can move the
    program's local time while it runs. "@2011-04-15 23:59:57" starts the
    clock there and lets it run (a later "@" time is reached within about a
    second); a time without "@" freezes the clock, timers keep ticking."""

    def __init__(self, path, start):
        self.path = Path(path)
        self.set(start)

    def set(self, when):
        self.path.write_text(when + "\n")


def file_url_path(url):
    """The Unix path a file: URL names, whichever form Wine passed on."""
    if not url.lower().startswith("file:"):
        return None
    path = urllib.parse.unquote(urllib.parse.urlsplit(url).path)
    if len(path) > 3 and path[0] == "/" and path[2] == ":":  # /Z:/tmp/...
        path = path[3:] if path[1].upper() == "Z" else path
    return path.replace("\\", "/")


# ---- sound ----------------------------------------------------------------
# Recording and analysis live in audio.py.


class Recorder(audio.Recorder):
    """Records what the session's null sink plays into a WAV file."""

    def __init__(self, session, path):
        super().__init__(path, env=session.env)


# ---- tests ----------------------------------------------------------------


class Context:
    """What the runner hands to the tests."""

    def __init__(self, session, driver, exe, out):
        self.session = session
        self.driver = driver
        self.exe = Path(exe).resolve()
        self.out = Path(out).resolve()
        self.locale = session.locale
        self.screenshots = self.out / "screenshots" / session.locale
        self.runs = 0


_context = None


def set_context(ctx):
    global _context
    _context = ctx


def context():
    if _context is None:
        raise HarnessError("run the tests through run_e2e.py")
    return _context


class E2ETestCase(unittest.TestCase):
    """Base of the end-to-end tests: programs started here are killed at the
    end of the test (or class) whatever happens."""

    @classmethod
    def ctx(cls):
        return context()

    @classmethod
    def driver(cls):
        return context().driver

    @classmethod
    def launch(cls, fake_time=None, fake_time_file=None, env=None, cleanup=None):
        ctx = context()
        ctx.runs += 1
        name = f"{ctx.runs:02d}-{cls.__name__}"
        program = Program(ctx.session, ctx.exe, name, fake_time, fake_time_file, env)
        (cleanup or cls.addClassCleanup)(program.finish, ctx.driver)
        return program.start()

    def start_program(self, **kw):
        return self.launch(cleanup=self.addCleanup, **kw)

    @classmethod
    def screenshot(cls, name):
        return context().session.screenshot(context().screenshots / f"{name}.png")

    @staticmethod
    def poll(predicate, timeout=5.0, interval=0.05):
        """The first truthy value of predicate() within timeout, else the last."""
        deadline = time.monotonic() + timeout
        while True:
            value = predicate()
            if value or time.monotonic() >= deadline:
                return value
            time.sleep(interval)


# ---- soak -------------------------------------------------------------------

WM_SIZE, WM_TIMER = 0x0005, 0x0113
MAIN_TICK_TIMER = 1008  # the main window's timer control, timer id 1


def lay_out(driver, main, count):
    """Runs the main window's frame layout `count` times, as a size change
    reported by the system does."""
    return driver.call("repeat", main, WM_SIZE, 0, 0, count, timeout=60 + count / 100)


def tick(driver, main, count):
    """Runs the clock tick `count` times, as its timer does."""
    timer = next(c["hwnd"] for c in driver.tree(main)["children"] if c["id"] == MAIN_TICK_TIMER)
    return driver.call("repeat", timer, WM_TIMER, 1, 0, count, timeout=60 + count / 100)


def private_bytes(unix_pid):
    """Private memory of a process, as the kernel counts it."""
    values = {}
    for line in Path(f"/proc/{unix_pid}/smaps_rollup").read_text().splitlines()[1:]:
        key, value = line.split(":", 1)
        values[key] = int(value.split()[0]) * 1024
    return values["Private_Clean"] + values["Private_Dirty"]


def settled_objects(driver, pid, tries=20, pause=0.3):
    """GDI objects and windows of the process once two readings agree: work
    begun elsewhere (the help page request) may still create and free some."""
    last = driver.call("objects", pid)
    for _ in range(tries):
        time.sleep(pause)
        now = driver.call("objects", pid)
        if (now["gdi"], now["windows"]) == (last["gdi"], last["windows"]):
            return now
        last = now
    return last
