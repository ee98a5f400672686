"""Faults from outside: bad music files, several copies of the program at
once, and no audio server or browser. Whatever it is given or denied, the
program shows its alarm box, keeps its own reminders and ends cleanly."""

import subprocess
import time

import audio
import harness
from harness import E2ETestCase

SETTINGS, STATUS, MUSIC, COLON = 1005, 1004, 1003, 1007
FIELD_HOUR, FIELD_MINUTE = 1029, 1030
O_HOUR, O_MINUTE, O_PATH, O_BROWSE, O_ALARM, O_SHUTDOWN = 1011, 1010, 1006, 1005, 1003, 1002

ALARM_TEXT, ALARM_TITLE = "时间到!!!", "现在时间:7:5"
# Frozen while the copies are set up: nothing fires before every one is armed.
SETUP_TIME = "2011-04-15 07:04:40"
DAY = "2011-04-15"
MAX_PATH = 260


def new_clock(test, start):
    folder = test.ctx().session.root / "faults"
    folder.mkdir(parents=True, exist_ok=True)
    return harness.FakeClock(folder / f"clock-{time.monotonic_ns()}", start)


def start_copy(test, clock=None, env=None):
    """A copy of the program on the given clock file (a frozen one of its own
    by default), with the handle and Windows pid of its main window."""
    drv = test.driver()
    before = {w["hwnd"] for w in drv.call("list", "QuorvelMain")["windows"]}
    clock = clock or new_clock(test, SETUP_TIME)
    program = test.start_program(fake_time_file=clock.path, env=env)
    program.clock = clock

    def new_window():
        return [w for w in drv.call("list", "QuorvelMain")["windows"]
                if w["hwnd"] not in before and w["visible"]]

    found = test.poll(new_window, timeout=15, interval=0.1)
    test.assertEqual(len(found), 1, f"main window of {program.name}")
    program.hwnd, program.pid = found[0]["hwnd"], found[0]["pid"]
    return program


def arm(test, program, hour, minute, button=O_ALARM, chosen=None):
    """Sets a reminder in the options window as a user does; `chosen` is
    typed into the real file dialog."""
    drv = test.driver()
    drv.click(program.hwnd, SETTINGS)
    options = drv.wait("QuorvelOptions", 10000)
    test.assertEqual(options["pid"], program.pid)
    hwnd = options["hwnd"]
    drv.call("select", hwnd, O_HOUR, hour)
    drv.call("select", hwnd, O_MINUTE, minute)
    if chosen is not None:
        drv.click(hwnd, O_BROWSE)
        drv.call("filedialog", harness.windows_path(chosen), 10000)
        path = test.poll(lambda: drv.text(hwnd, O_PATH), timeout=5)
        test.assertEqual(path, harness.windows_path(chosen))
    drv.click(hwnd, button)
    drv.call("waitgone", hwnd, 5000)


# The built-in chime's two bell notes (C6, G5): none of the files' tones.
CHIME = (1046.5, 784)


def tone_of(samples, rate, burst, tones):
    """The one of `tones` (or "chime") a burst carries, or None when none
    stands out."""
    start, end = burst
    part = samples[int(start * rate): int(end * rate)]
    power = [(audio.goertzel_power(part, rate, f), f) for f in tones]
    power.append((sum(audio.goertzel_power(part, rate, f) for f in CHIME), "chime"))
    power.sort()
    return power[-1][1] if power[-1][0] > 5 * power[-2][0] else None


def groups(found, gap=1.0):
    """Bursts split where the silence between two is longer than `gap`
    seconds: the plays of one copy, copy by copy."""
    out = []
    for burst in found:
        if out and burst[0] - out[-1][-1][1] <= gap:
            out[-1].append(burst)
        else:
            out.append([burst])
    return out


# ---- the files ---------------------------------------------------------------
# Each audible source carries its own tone, so the recording tells whose
# sound was heard.

MUSIC_NAME = "提醒 音乐.mp3"


def tone_mp3(path, freq=440):
    """0.6 s of tone, then 0.6 s of silence, so each play stands out."""
    return audio.make_tone_mp3(path, freq, seconds=0.6, silence=0.6)


def long_path_mp3(folder):
    deep = folder / "long"
    while len(harness.windows_path(deep)) < 290:
        deep = deep / ("很深的文件夹 " + "d" * 40)
    path = tone_mp3(deep / "闹钟 tone.mp3", 660)
    assert len(harness.windows_path(path)) >= 300
    return path


def truncated_mp3(folder):
    whole = tone_mp3(folder / "whole" / "whole.mp3", 990)
    path = folder / "cut short.mp3"
    path.write_bytes(whole.read_bytes()[:600])
    return path


def wav_named_mp3(folder):
    folder.mkdir(parents=True, exist_ok=True)
    path = folder / "really a wave.mp3"
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", "-t", "wav", str(path),
                    "synth", "0.6", "sine", "880", "vol", "0.5", "pad", "0", "0.6"],
                   check=True, stdin=subprocess.DEVNULL, timeout=60)
    return path


def text_named_mp3(folder):
    folder.mkdir(parents=True, exist_ok=True)
    path = folder / "notes.mp3"
    path.write_text("这不是音乐 — not music at all\n" * 40, encoding="utf-8")
    return path


def empty_mp3(folder):
    folder.mkdir(parents=True, exist_ok=True)
    path = folder / "empty.mp3"
    path.write_bytes(b"")
    return path


# name, file maker, how it is chosen ("dialog", "field": written into the
# music path, as no dialog takes it), tone heard three times ("chime": the
# built-in chime, for a chosen file that cannot be played), tone never heard
FILE_CASES = [
    ("spaces and Chinese", lambda f: tone_mp3(f / "我的 音乐" / MUSIC_NAME, 440), "dialog", 440, None),
    ("path over MAX_PATH", long_path_mp3, "field", 660, None),
    ("missing file", lambda f: f / "从未有过.mp3", "field", "chime", None),
    ("empty file", empty_mp3, "dialog", "chime", None),
    ("truncated MP3", truncated_mp3, "dialog", "chime", None),
    ("text named .mp3", text_named_mp3, "dialog", "chime", None),
    ("WAV named .mp3", wav_named_mp3, "dialog", "chime", 880),
    ("deleted after choosing", lambda f: tone_mp3(f / "gone" / MUSIC_NAME, 1320), "dialog",
     "chime", 1320),
]
TONES = (440, 660, 880, 990, 1320)


class FaultyMusic(E2ETestCase):
    """One copy per case, all armed for 7:05 at once, each on a clock of its
    own that reaches 7:05 six seconds after the one before, so the three
    plays of each can be told apart in one recording."""

    def test_bad_music_never_stops_the_alarm(self):
        drv = self.driver()
        ctx = self.ctx()
        root = ctx.session.root / "faults" / "music"
        copies = []
        for name, make, how, heard, never in FILE_CASES:
            path = make(root / name.replace(" ", "-"))
            program = start_copy(self)
            program.case, program.heard, program.never = name, heard, never
            if how == "dialog":
                arm(self, program, 7, 5, chosen=path)
                self.assertEqual(drv.text(program.hwnd, MUSIC), harness.windows_path(path), name)
            else:
                arm(self, program, 7, 5)
                written = drv.call("settext", program.hwnd, MUSIC, harness.windows_path(path))
                self.assertEqual(written["text"], harness.windows_path(path), name)
            self.assertEqual(drv.text(program.hwnd, STATUS), "当前闹钟时间为:7时5分", name)
            if name == "deleted after choosing":
                path.unlink()
            copies.append(program)

        # Seconds before 7:05 by case (3 plays of about 1.2 s each).
        lead = {program.case: 3 + 6 * i for i, program in enumerate(copies)}
        with harness.Recorder(ctx.session, ctx.out / "e2e" / "faults-music.wav") as rec:
            for program in copies:
                program.clock.set(f"@{DAY} 07:04:{60 - lead[program.case]:02d}")
            for program in sorted(copies, key=lambda p: lead[p.case]):
                box = drv.call("msgbox", 20000, program.pid, timeout=30)
                self.assertEqual((box["text"], box["title"]), (ALARM_TEXT, ALARM_TITLE), program.case)
            self.screenshot("faults-alarm-boxes")
            rec.stop(tail=5)

        samples, rate = audio.read_mono(rec.path)
        found = audio.bursts(samples, rate)
        tones = [tone_of(samples, rate, b, TONES) for b in found]
        heard = list(zip(found, tones))
        for program in copies:
            with self.subTest(program.case):
                if program.heard:
                    self.assertEqual(tones.count(program.heard), 3 if program.heard != "chime"
                                     else 3 * sum(p.heard == "chime" for p in copies), heard)
                if program.never:
                    self.assertNotIn(program.never, tones, heard)
        # Copy by copy in the order they fired: three plays of its own sound.
        by_copy = [[tone_of(samples, rate, b, TONES) for b in g] for g in groups(found)]
        expected = [[p.heard] * 3 for p in sorted(copies, key=lambda p: lead[p.case])]
        self.assertEqual(by_copy, expected, heard)

        for program in copies:
            with self.subTest(program.case):
                drv.call("dismiss", 5000, program.pid)
                self.assertEqual(program.wait(timeout=10), 0, program.case)


class SeveralCopies(E2ETestCase):
    """Three copies on one clock: each keeps and fires only its own reminder."""

    def test_each_copy_fires_only_its_own_reminder(self):
        drv = self.driver()
        # One clock file for all three, so they pass each minute together.
        clock = new_clock(self, SETUP_TIME)
        at_705, at_706, shutdown = (start_copy(self, clock) for _ in range(3))
        arm(self, at_705, 7, 5)
        arm(self, at_706, 7, 6)
        arm(self, shutdown, 7, 5, button=O_SHUTDOWN)
        self.assertEqual(drv.text(shutdown.hwnd, STATUS), "当前关机时间为:7时5分")

        clock.set(f"@{DAY} 07:04:58")
        box = drv.call("msgbox", 10000, at_705.pid, timeout=20)
        self.assertEqual((box["text"], box["title"]), (ALARM_TEXT, ALARM_TITLE))
        self.poll(lambda: shutdown.power_requests(), timeout=5)
        time.sleep(1.5)  # a second or two into 7:05 for all
        self.assertTrue(self.poll(lambda: drv.text(at_706.hwnd, FIELD_MINUTE) == "5", timeout=3))
        for program in (at_706, shutdown):
            self.assertFalse(drv.call("msgbox", 0, program.pid, check=False)["ok"], program.name)
        self.assertEqual((at_705.power_requests(), at_706.power_requests()), ([], []))
        drv.call("dismiss", 5000, at_705.pid)
        self.assertEqual(at_705.wait(timeout=10), 0)

        clock.set(f"@{DAY} 07:05:58")
        box = drv.call("msgbox", 10000, at_706.pid, timeout=20)
        self.assertEqual((box["text"], box["title"]), (ALARM_TEXT, "现在时间:7:6"))
        # Asked during 7:05 only: once its clock shows 7:06 it asks no more.
        self.assertTrue(self.poll(lambda: drv.text(shutdown.hwnd, FIELD_MINUTE) == "6", timeout=3))
        asked = len(shutdown.power_requests())
        time.sleep(2)
        self.assertEqual(len(shutdown.power_requests()), asked, shutdown.power_requests())
        self.assertGreaterEqual(asked, 3)
        self.assertFalse(drv.call("msgbox", 0, shutdown.pid, check=False)["ok"])
        self.assertEqual(at_706.power_requests(), [])
        self.assertTrue(shutdown.running(), "the test build must never power off")
        drv.call("dismiss", 5000, at_706.pid)
        self.assertEqual(at_706.wait(timeout=10), 0)


class MissingServices(E2ETestCase):
    def test_alarm_without_audio_server(self):
        drv = self.driver()
        ctx = self.ctx()
        music = tone_mp3(ctx.session.root / "faults" / "no-audio" / MUSIC_NAME)
        nowhere = ctx.session.root / "faults" / "no-audio" / "no-such-socket"
        program = start_copy(self, env={"PULSE_SERVER": f"unix:{nowhere}"})
        arm(self, program, 7, 5, chosen=music)
        with harness.Recorder(ctx.session, ctx.out / "e2e" / "faults-no-audio.wav") as rec:
            program.clock.set(f"@{DAY} 07:04:59")
            box = drv.call("msgbox", 10000, program.pid, timeout=20)
            self.assertEqual((box["text"], box["title"]), (ALARM_TEXT, ALARM_TITLE))
            rec.stop(tail=3)
        # Nothing reached the session's server: the fault was real.
        self.assertEqual(audio.analyse(rec.path)["plays"], 0)
        drv.call("dismiss", 5000, program.pid)
        self.assertEqual(program.wait(timeout=10), 0)

    def test_runs_on_without_browser(self):
        drv = self.driver()
        ctx = self.ctx()
        # Without winebrowser the shell's open fails at once, for this process only.
        overrides = ctx.session.env["WINEDLLOVERRIDES"] + ";winebrowser.exe=d"
        program = start_copy(self, new_clock(self, f"@{DAY} 09:30:00"),
                             env={"WINEDLLOVERRIDES": overrides})
        colon = set()
        deadline = time.monotonic() + 3
        while time.monotonic() < deadline:
            colon.add(drv.text(program.hwnd, COLON))
            time.sleep(0.07)
        self.assertEqual(colon, {":", ""})
        self.assertEqual((drv.text(program.hwnd, FIELD_HOUR), drv.text(program.hwnd, FIELD_MINUTE)),
                         ("9", "30"))
        self.assertTrue(program.running())
        self.assertFalse(drv.call("msgbox", 0, program.pid, check=False)["ok"], "an error box")
        self.assertEqual(program.browser_requests(), [], "the browser was reached")
