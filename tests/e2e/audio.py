"""What a Wine session's null sink played: recording it, reading the WAV,
and finding the stretches of sound and the tones in them; also the tone
MP3s the tests play. Standard library only, besides parecord, parec, sox
and lame.

    rec = Recorder("out.wav", env=session_env).start()   # parecord on nul.monitor
    ... play something; note its wall-clock time (Unix epoch ms) ...
    rec.stop()
    result = analyse("out.wav", origin=rec.offset_of(play_epoch_ms))

`analyse` finds the stretches of sound ("plays") in the envelope, how long
each lasts and the gaps between them, whether the test tone dominates them
(Goertzel filter at `freq` against `others`), and how long after `origin`
the first audible sample came. `TimedCapture` keeps raw samples with the
real time they arrived, for the benchmarks' timings.
"""

import array
import math
import os
import signal
import struct
import subprocess
import sys
import threading
import time
from pathlib import Path

# ---- recording ------------------------------------------------------------


class RecorderError(Exception):
    pass


class Recorder:
    """Records a pulse source (the null sink's monitor) into a WAV file and
    keeps, while it runs, how the file grows against the wall clock, so a
    moment given in Unix epoch milliseconds can be found in the recording."""

    def __init__(self, path, env=None, device="nul.monitor"):
        self.path = Path(path)
        self.env = dict(os.environ if env is None else env)
        self.device = device
        self.proc = None
        self._growth = []  # (wall seconds, file size)
        self._sampler = None
        self._running = False

    def start(self, timeout=10):
        self.path.parent.mkdir(parents=True, exist_ok=True)
        self.path.unlink(missing_ok=True)
        self.proc = subprocess.Popen(
            ["parecord", "-d", self.device, "--latency-msec=20", "--file-format=wav", str(self.path)],
            env=self.env,
            stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )
        # The stream connects at once but samples start to flow a while
        # later; anything played before then would be lost.
        deadline = time.monotonic() + timeout
        while self._size() <= 64:
            if time.monotonic() > deadline or self.proc.poll() is not None:
                self._kill()
                raise RecorderError(f"parecord records nothing from {self.device}")
            time.sleep(0.01)
        self._running = True
        self._sampler = threading.Thread(target=self._sample, daemon=True)
        self._sampler.start()
        return self

    def stop(self, tail=1.5):
        """Stops after `tail` more seconds; SIGINT lets parecord write out
        what it holds (SIGTERM loses about 2 s)."""
        time.sleep(tail)
        self._running = False
        if self._sampler:
            self._sampler.join()
        if self.proc and self.proc.poll() is None:
            self.proc.send_signal(signal.SIGINT)
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self._kill()
        return self.path

    def offset_of(self, epoch_ms):
        """Seconds into the recording at which the wall-clock moment
        `epoch_ms` fell (within a few tens of milliseconds: the file grows in
        20 ms steps and some time after the sound was captured)."""
        fmt = wav_format(self.path)
        per_second = fmt["rate"] * fmt["block"]
        # Bytes reach the file after their sound was captured, never before,
        # so the earliest estimate of the recording's start is the best one.
        starts = [
            wall - (size - fmt["data_offset"]) / per_second
            for wall, size in self._growth
            if size > fmt["data_offset"]
        ]
        if not starts:
            raise RecorderError("the recording did not grow while it ran")
        start = min(starts)
        return epoch_ms / 1000 - start

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        if self.proc and self.proc.poll() is None:
            self.stop(tail=0)

    def _size(self):
        try:
            return self.path.stat().st_size
        except FileNotFoundError:
            return 0

    def _sample(self):
        last = -1
        while self._running:
            size = self._size()
            if size != last:
                self._growth.append((time.time(), size))
                last = size
            time.sleep(0.005)

    def _kill(self):
        self.proc.kill()
        self.proc.wait()


# ---- reading --------------------------------------------------------------


def wav_format(path):
    """rate, channels, block (bytes a frame) and data_offset of a 16-bit PCM
    WAV file, read from its chunks (parecord's header is not always 44 bytes)."""
    with open(path, "rb") as f:
        head = f.read(12)
        if len(head) < 12 or head[:4] != b"RIFF" or head[8:12] != b"WAVE":
            raise ValueError(f"{path} is not a WAV file")
        fmt = None
        while True:
            chunk = f.read(8)
            if len(chunk) < 8:
                raise ValueError(f"{path} has no data chunk")
            name, size = chunk[:4], struct.unpack("<I", chunk[4:])[0]
            if name == b"fmt ":
                body = f.read(size + (size & 1))
                _, channels, rate, _, block, bits = struct.unpack("<HHIIHH", body[:16])
                if bits != 16:
                    raise ValueError(f"{path} has {bits}-bit samples, not 16")
                fmt = {"rate": rate, "channels": channels, "block": block}
            elif name == b"data":
                if fmt is None:
                    raise ValueError(f"{path} has data before its format")
                fmt["data_offset"] = f.tell()
                return fmt
            else:
                f.seek(size + (size & 1), 1)


def read_mono(path):
    """(samples, rate): the channels averaged into one 16-bit channel. Reads
    the data chunk to the end of the file, whatever size the header gives
    (an interrupted recorder may not have written it)."""
    fmt = wav_format(path)
    with open(path, "rb") as f:
        f.seek(fmt["data_offset"])
        raw = f.read()
    raw = raw[: len(raw) - len(raw) % fmt["block"]]
    samples = array.array("h")
    samples.frombytes(raw)
    if sys.byteorder == "big":
        samples.byteswap()
    channels = fmt["channels"]
    if channels == 1:
        return samples, fmt["rate"]
    columns = [samples[c::channels] for c in range(channels)]
    mixed = array.array("h", (sum(frame) // channels for frame in zip(*columns)))
    return mixed, fmt["rate"]


class TimedCapture:
    """Raw samples of the null sink with the real time each chunk arrived,
    so a sample can be placed on the real clock."""

    RATE, FRAME = 44100, 4  # stereo, 16-bit

    def __init__(self, env):
        self.proc = subprocess.Popen(
            ["parec", "-d", "nul.monitor", "--latency-msec=10", "--format=s16le",
             f"--rate={self.RATE}", "--channels=2"],
            env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL)
        self.data = bytearray()
        self.arrivals = []  # (frames so far, time.time())
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()

    def _read(self):
        while chunk := self.proc.stdout.read1(441 * self.FRAME):
            self.data += chunk
            self.arrivals.append((len(self.data) // self.FRAME, time.time()))

    def wait_flowing(self, timeout=10):
        deadline = time.monotonic() + timeout
        while len(self.data) < self.RATE * self.FRAME // 2 and time.monotonic() < deadline:
            time.sleep(0.05)

    def stop(self):
        self.proc.terminate()
        self.proc.wait()
        self.thread.join(2)

    def origin(self):
        """Real time of frame 0: the least delayed arrival tells it best."""
        return min(t - frames / self.RATE for frames, t in self.arrivals)

    def left(self):
        """The left channel's samples."""
        return memoryview(bytes(self.data)).cast("h")[::2]


# ---- analysis -------------------------------------------------------------


def goertzel_power(samples, rate, freq):
    """Power of one frequency in the samples (mean-square scale)."""
    if not samples:
        return 0.0
    coeff = 2 * math.cos(2 * math.pi * freq / rate)
    s1 = s2 = 0.0
    for x in samples:
        s1, s2 = x + coeff * s1 - s2, s1
    return (s1 * s1 + s2 * s2 - coeff * s1 * s2) / (len(samples) ** 2)


def tone_ratio(samples, rate, freq=440, others=(300, 1000)):
    """How much stronger `freq` is than the strongest of `others`."""
    p = goertzel_power(samples, rate, freq)
    q = max((goertzel_power(samples, rate, f) for f in others), default=0.0)
    return p / q if q > 0 else math.inf


def envelope(samples, rate, window_ms=20, peak=False):
    """Level of consecutive whole windows of `window_ms`: their RMS, or
    their largest magnitude with `peak`."""
    n = max(1, rate * window_ms // 1000)
    out = []
    for i in range(0, len(samples) - n + 1, n):
        part = samples[i : i + n]
        out.append(max(abs(x) for x in part) if peak else math.sqrt(sum(x * x for x in part) / n))
    return out


def bursts(samples, rate, window_ms=20, threshold=500.0, min_gap_ms=150, min_burst_ms=0,
           peak=False):
    """(start_s, end_s) of each stretch of sound: windows at or above
    `threshold`, joined across silences shorter than `min_gap_ms`;
    stretches shorter than `min_burst_ms` (clicks) are dropped."""
    w = window_ms / 1000
    found = []
    for i, level in enumerate(envelope(samples, rate, window_ms, peak)):
        if level < threshold:
            continue
        t = i * w
        if found and t - found[-1][1] < min_gap_ms / 1000 - 1e-9:
            found[-1][1] = t + w
        else:
            found.append([t, t + w])
    return [(round(a, 3), round(b, 3)) for a, b in found if b - a >= min_burst_ms / 1000 - 1e-9]


def analyse(wav_path, freq=440, others=(300, 1000), origin=None, threshold=500.0,
            min_ratio=20.0, **burst_options):
    """What a recording holds.

    plays          number of stretches of sound (bursts() with `burst_options`)
    bursts         their (start, end) in seconds into the recording
    durations      their lengths; gaps: the silences between them
    first_audible  start of the first stretch, or None when all is silent
    latency        first_audible - origin, when `origin` (seconds) is given
    ratio          power at `freq` over the strongest of `others`, over all
                   stretches together; tone: whether it reaches `min_ratio`
    burst_freqs    for each stretch, which of `freq` and `others` is strongest
    peak           largest sample magnitude; seconds: length of the recording
    """
    samples, rate = read_mono(wav_path)
    found = bursts(samples, rate, threshold=threshold, **burst_options)
    sound = array.array("h")
    burst_freqs = []
    candidates = (freq,) + tuple(others)
    for start, end in found:
        part = samples[int(start * rate) : int(end * rate)]
        sound.extend(part)
        burst_freqs.append(max(candidates, key=lambda f: goertzel_power(part, rate, f)))
    ratio = tone_ratio(sound, rate, freq, others) if sound else 0.0
    first = found[0][0] if found else None
    return {
        "seconds": round(len(samples) / rate, 3),
        "plays": len(found),
        "bursts": found,
        "durations": [round(b - a, 3) for a, b in found],
        "gaps": [round(found[i + 1][0] - found[i][1], 3) for i in range(len(found) - 1)],
        "first_audible": first,
        "latency": round(first - origin, 3) if first is not None and origin is not None else None,
        "ratio": ratio if math.isinf(ratio) else round(ratio, 1),
        "tone": bool(sound) and ratio >= min_ratio,
        "burst_freqs": burst_freqs,
        "peak": max((abs(x) for x in samples), default=0),
    }


# ---- music ----------------------------------------------------------------


def make_tone_mp3(target, freq=440, seconds=1.0, silence=0.0, id3_title=None):
    """An MP3 of a sine tone, then `silence` seconds of silence so each play
    stands out in the envelope, made with sox and lame (`target`'s folder
    may hold spaces and Chinese characters); with `id3_title`, an ID3v2 tag."""
    target = Path(target)
    target.parent.mkdir(parents=True, exist_ok=True)
    wav = target.with_name(target.name + ".tmp.wav")
    subprocess.run(
        ["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", str(wav), "synth", str(seconds),
         "sine", str(freq), "vol", "0.5", "pad", "0", str(silence)],
        check=True, stdin=subprocess.DEVNULL, timeout=60,
    )
    tag = ["--id3v2-only", "--tt", id3_title] if id3_title else []
    subprocess.run(
        ["lame", "--quiet", "-b", "128", *tag, str(wav), str(target)],
        check=True, stdin=subprocess.DEVNULL, timeout=60,
    )
    wav.unlink()
    return target
