"""The MCI player (the fallback when the system's MP3 codec refuses a file)
driven on its own by sound_probe.exe, with the null sink recorded: plays
inside a message box, paths over 260 characters and with Chinese and
spaces, ID3-tagged files, playback cut short, bad and huge files, and no
audio server."""

import re
import shutil
import subprocess
import time

import audio
from harness import E2ETestCase, windows_path

# Each play is a tone then silence: a play stands out from the next however
# the sound stutters on a loaded machine (dropouts shorter than its min_gap_ms).
TONE_S, SILENCE_S = 0.6, 0.6
BRIDGE = {"window_ms": 10, "min_gap_ms": 400, "min_burst_ms": 50}
SEGMENT = "很长的文件夹 a rather long folder name with spaces and 中文 characters 0123456789"
ID3_256M = 10 + (1 << 28) - 1  # the largest size an ID3v2 tag can claim


def fields(text, key):
    """The key=value fields of the first line that starts with `key` or
    holds `key`=, as a dict."""
    for line in text.splitlines():
        if line.split(" ", 1)[0] == key or re.search(rf"(^|\s){re.escape(key)}=", line):
            return dict(re.findall(r"(\S+)=(\S*)", line))
    return {}


def tag_size(data):
    b = data[6:10]
    return 10 + (b[0] << 21 | b[1] << 14 | b[2] << 7 | b[3])


def sparse(path, size, pieces=()):
    """A file of `size` bytes that takes no room: zeros but for `pieces`."""
    with open(path, "wb") as f:
        f.truncate(size)
        for offset, data in pieces:
            f.seek(offset)
            f.write(data)
    return path


class ProbeCase(E2ETestCase):
    """Runs sound_probe.exe in the session, the null sink recorded or not."""

    probe = out = None

    def run_probe(self, *args, env=None, timeout=60):
        # Output goes to a file, not a pipe: a helper Wine starts (the console
        # host, for "con.mp3") may hold a pipe open after the probe has ended.
        self.out.mkdir(parents=True, exist_ok=True)
        log = self.out / f"probe-{args[0]}.out"
        with open(log, "wb") as sink:
            proc = subprocess.Popen([self.ctx().session.wine, str(self.probe), *args],
                                    stdout=sink, stderr=subprocess.DEVNULL,
                                    env=env or self.ctx().session.env, stdin=subprocess.DEVNULL)
            try:
                rc = proc.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
                rc = None
        said = log.read_bytes().decode("utf-8", "replace").replace("\r", "")
        self.assertIsNotNone(rc, f"sound_probe {args[0]} still running after {timeout} s:\n{said}")
        return rc, said

    def recorded(self, name, *args):
        """Runs the probe with the null sink recorded: (rc, output, recorder)."""
        rec = audio.Recorder(self.out / f"{name}.wav", env=self.ctx().session.env).start()
        try:
            rc, text = self.run_probe(*args)
        finally:
            rec.stop()
        (self.out / f"{name}.log").write_text(text)
        return rc, text, rec


class MciPlayer(ProbeCase):
    @classmethod
    def setUpClass(cls):
        ctx = cls.ctx()
        cls.probe = ctx.driver.exe.parent / "sound_probe.exe"
        cls.out = ctx.out / "e2e" / "sound"
        media = ctx.session.root / "sound" / "提醒 音乐"
        if media.exists():
            shutil.rmtree(media)
        cls.tone = audio.make_tone_mp3(media / "闹钟 440.mp3", 440, TONE_S, SILENCE_S)
        cls.other = audio.make_tone_mp3(media / "闹钟 660.mp3", 660, TONE_S, SILENCE_S)
        cls.tagged = audio.make_tone_mp3(media / "带标签 440.mp3", 440, TONE_S, SILENCE_S,
                                        id3_title="闹钟")
        long_dir = media / f"{SEGMENT} 1" / f"{SEGMENT} 2" / f"{SEGMENT} 3"
        long_dir.mkdir(parents=True)
        cls.long_path = long_dir / "闹钟 440 长路径.mp3"
        shutil.copy(cls.tone, cls.long_path)
        # A file name made of MCI command words stays a file name.
        cls.keywords = media / "a' type waveaudio alias x wait notify.mp3"
        shutil.copy(cls.tone, cls.keywords)
        data = cls.tone.read_bytes()
        # Cut inside the silence after the tone.
        cls.cut = media / "cut short.mp3"
        cls.cut.write_bytes(data[: len(data) * 9 // 10])
        cls.bad_cases = cls.make_bad(media / "bad 坏", data)

    @classmethod
    def make_bad(cls, bad, data):
        bad.mkdir()
        (bad / "empty.mp3").write_bytes(b"")
        (bad / "text.mp3").write_text("这不是音乐 / not music\n" * 20)
        wav = bad / "wav named.mp3"
        subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", "-t", "wav", str(wav),
                        "synth", "1", "sine", "440", "vol", "0.5"], check=True, timeout=60)
        (bad / "cut in first frame.mp3").write_bytes(data[:300])
        tag = cls.tagged.read_bytes()
        size = tag_size(tag)
        (bad / "cut in tag.mp3").write_bytes(tag[: size // 2])
        (bad / "tag then wav.mp3").write_bytes(tag[:size] + wav.read_bytes())
        (bad / "folder.mp3").mkdir()
        shutil.copy(cls.tone, bad / "locked.mp3")
        # Huge files, sparse: each may be read only at its head.
        sparse(bad / "2 GiB of zeros.mp3", 2 << 30)
        claim = b"ID3\x03\x00\x00\x7f\x7f\x7f\x7f"
        sparse(bad / "tag claims 256 MiB.mp3", ID3_256M + 4096,
               [(0, claim), (ID3_256M, wav.read_bytes()[:4096])])
        cases = ["<empty>"] + [windows_path(bad / n) for n in (
            "missing.mp3", "empty.mp3", "text.mp3", "wav named.mp3", "cut in first frame.mp3",
            "cut in tag.mp3", "tag then wav.mp3", "folder.mp3", "what?.mp3",
            "con.mp3",  # a device name on Windows before 11
            "2 GiB of zeros.mp3", "tag claims 256 MiB.mp3")]
        return cases + ["lock:" + windows_path(bad / "locked.mp3")]

    def test_path_forms(self):
        rc, text = self.run_probe("selftest")
        self.assertEqual(rc, 0, text)
        self.assertIn("selftest: 0 failed", text)

    def check_plays(self, name, path, times, box=False, min_duration=0.75 * TONE_S):
        """`times` plays of the tone, one after the other, inside the
        probe's message loop (or its message box)."""
        rc, text, rec = self.recorded(name, "play", windows_path(path), str(times),
                                      *(["box"] if box else []))
        play = fields(text, "play_at")
        self.assertEqual((rc, play.get("outcome")), (0, "started"), text)
        a = audio.analyse(rec.path, origin=rec.offset_of(int(play["play_at"])), **BRIDGE)
        self.assertEqual(a["plays"], times, a)
        self.assertTrue(a["tone"], a)
        self.assertEqual(set(a["burst_freqs"]), {440}, a)
        self.assertTrue(all(min_duration <= d <= TONE_S + 0.1 for d in a["durations"]), a)
        self.assertTrue(all(g < SILENCE_S + 0.5 for g in a["gaps"]), a)
        self.assertTrue(a["latency"] is not None and 0 <= a["latency"] < 1.5, a)
        if box:
            done = fields(text, "box_returned_at")
            self.assertEqual(done.get("ended_inside_box"), "1", text)
            # Nothing may be heard once the box has gone.
            after = a["bursts"][-1][1] - rec.offset_of(int(done["box_returned_at"]))
            self.assertLess(after, 0.2, a)

    def test_plays(self):
        self.assertGreater(len(windows_path(self.long_path)), 260)
        cases = [
            ("three plays in a message box, space and Chinese in the path", self.tone, 3, True),
            ("three plays from a path over 260 characters", self.long_path, 3, False),
            ("a file named with MCI command words", self.keywords, 1, False),
            ("an ID3v2-tagged file, two plays", self.tagged, 2, False),
        ]
        for i, (name, path, times, box) in enumerate(cases):
            with self.subTest(name):
                self.check_plays(f"plays-{i}", path, times, box)
        with self.subTest("a file cut short plays what it holds"):
            self.check_plays("plays-cut", self.cut, 3, min_duration=0.2)

    def test_second_play_replaces_the_first(self):
        rc, text, rec = self.recorded("replace", "replace", windows_path(self.tone),
                                      windows_path(self.other), "1000")
        first, second = fields(text, "first"), fields(text, "second")
        self.assertEqual((rc, first.get("outcome"), second.get("outcome")),
                         (0, "started", "started"), text)
        a = audio.analyse(rec.path, freq=440, others=(660, 300, 1000), **BRIDGE)
        freqs = a["burst_freqs"]
        self.assertTrue(freqs and freqs[0] == 440, a)
        self.assertEqual(freqs[freqs.index(660):] if 660 in freqs else [], [660] * 3, a)
        # The first file is not heard once the second is asked for.
        switch = rec.offset_of(int(second["play_at"]))
        heard_440 = [b for b, f in zip(a["bursts"], freqs) if f == 440]
        self.assertLess(heard_440[-1][1] - switch, 0.25, a)

    def test_stopping_silences_at_once(self):
        for mode in ("stop", "destroy", "exit"):
            with self.subTest(mode):
                rc, text, rec = self.recorded(f"cut-{mode}", mode, windows_path(self.tone), "500")
                play = fields(text, "play_at")
                stop_at = fields(text, "stop_at").get("stop_at")
                # A process that ends with the device open may crash on its way
                # out under Wine; for "exit" only the silence counts.
                self.assertTrue(rc == 0 or mode == "exit", text)
                self.assertEqual(play.get("outcome"), "started", text)
                self.assertIsNotNone(stop_at, text)
                a = audio.analyse(rec.path, origin=rec.offset_of(int(play["play_at"])),
                                  **BRIDGE)
                self.assertEqual(a["plays"], 1, a)
                after = a["bursts"][0][1] - rec.offset_of(int(stop_at))
                self.assertTrue(-0.3 < after < 0.25, (after, a))
                if mode == "stop":
                    self.assertEqual(fields(text, "active_after_stop").get("active_after_stop"), "0")

    def test_bad_and_huge_files_are_silent_and_quick(self):
        rc, text, rec = self.recorded("bad", "bad", *self.bad_cases)
        outcomes = {}
        for line in text.splitlines():
            m = re.match(r"case=(.*?) play_at=\S+ play_us=(\d+) outcome=(\S+)", line)
            if m:
                outcomes[m.group(1).rsplit("\\", 1)[-1]] = (m.group(3), int(m.group(2)) / 1000)
        self.assertEqual(rc, 0, text)
        self.assertIn("locked=1", text)
        self.assertEqual(len(outcomes), len(self.bad_cases), text)
        self.assertFalse([n for n, (o, _) in outcomes.items() if o == "started"], outcomes)
        for name in ("2 GiB of zeros.mp3", "tag claims 256 MiB.mp3"):
            self.assertEqual(outcomes[name][0], "not_mpeg_audio", outcomes)
            self.assertLess(outcomes[name][1], 500, outcomes)
        self.assertEqual(audio.analyse(rec.path)["plays"], 0)

    def test_no_audio_server(self):
        nowhere = self.ctx().session.root / "sound" / "no-such-server"
        env = dict(self.ctx().session.env, PULSE_SERVER=f"unix:{nowhere}")
        rc, text = self.run_probe("play", windows_path(self.tone), "3", "box", env=env)
        play = fields(text, "play_at")
        self.assertEqual((rc, play.get("outcome")), (0, "open_failed"), text)


class SoundThreadEnd(ProbeCase):
    """The program's sound thread ends with the program: the UI thread waits
    for it about a second at most, even when it hangs in a play."""

    @classmethod
    def setUpClass(cls):
        ctx = cls.ctx()
        cls.probe = ctx.driver.exe.parent / "sound_probe.exe"
        cls.out = ctx.out / "e2e" / "sound-thread"
        # Sounding still when the probe stops it, 0.8 s after the play.
        cls.tone = audio.make_tone_mp3(ctx.session.root / "sound-thread" / "闹钟.mp3", 440, 2.0)

    def ended_within(self, text, seconds):
        """The process ended within `seconds` of the probe's stop_all."""
        stop_at = int(fields(text, "stop_at")["stop_at"]) / 1000
        self.assertLess(time.time() - stop_at, seconds, text)

    def test_exit_while_the_thread_hangs_in_a_play(self):
        rc, text = self.run_probe("thread", "stuck")
        self.assertEqual(rc, 0, text)
        self.ended_within(text, 2.0)
        self.assertLess(int(fields(text, "stop_us")["stop_us"]), 1_300_000, text)
        self.assertLess(int(fields(text, "end_us")["end_us"]), 100_000, text)

    def test_exit_while_three_plays_sound(self):
        rc, text, rec = self.recorded("thread-exit", "thread", windows_path(self.tone))
        self.assertEqual(rc, 0, text)
        self.ended_within(text, 2.0 + 1.5)  # the recorder's tail comes first
        self.assertLess(int(fields(text, "stop_us")["stop_us"]), 1_000_000, text)
        a = audio.analyse(rec.path, **BRIDGE)
        self.assertEqual(a["plays"], 1, a)
        stop_at = rec.offset_of(int(fields(text, "stop_at")["stop_at"]))
        self.assertLess(a["bursts"][-1][1] - stop_at, 0.25, a)
