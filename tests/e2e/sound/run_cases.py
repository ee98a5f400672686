"""The sound service's cases under Wine, run by run.sh inside a session
(its environment sourced): each case runs sound_probe.exe while the null
sink is recorded, then checks the recording with audio_check.

    run_cases.py PROBE_EXE OUT_DIR

Prints PASS/FAIL lines with the figures measured, writes OUT_DIR/report.json
and exits 1 when a case failed.
"""

import json
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import audio_check  # noqa: E402

PROBE = Path(sys.argv[1]).resolve()
OUT = Path(sys.argv[2]).resolve()
WINE = os.environ.get("WINE", "/usr/lib/wine/wine64")
TONE_S = 1.0

results = []
report = {}


def win(path):
    """The Windows form of a Unix path: Wine maps / to drive Z:."""
    return "Z:" + str(path).replace("/", "\\")


def run_probe(*args, env=None, timeout=60):
    proc = subprocess.run(
        [WINE, str(PROBE), *args],
        capture_output=True,
        env=env,
        timeout=timeout,
        stdin=subprocess.DEVNULL,
    )
    text = proc.stdout.decode("utf-8", "replace").replace("\r", "")
    return proc.returncode, text


def fields(text, key):
    """The key=value fields of the first line that starts with `key` or
    holds `key`=, as a dict."""
    for line in text.splitlines():
        if line.split(" ", 1)[0] == key or re.search(rf"(^|\s){re.escape(key)}=", line):
            return dict(re.findall(r"(\S+)=(\S*)", line))
    return {}


def recorded(name, *args, env=None):
    """Runs the probe with the null sink recorded: (rc, output, recorder)."""
    rec = audio_check.Recorder(OUT / "recordings" / f"{name}.wav").start()
    try:
        rc, text = run_probe(*args, env=env)
    finally:
        rec.stop()
    (OUT / "logs").mkdir(exist_ok=True)
    (OUT / "logs" / f"{name}.log").write_text(text)
    return rc, text, rec


def check(name, ok, figures):
    results.append((name, ok))
    report[name] = figures
    print(f"{'PASS' if ok else 'FAIL'} {name}: {json.dumps(figures, ensure_ascii=False)}")


def plays_check(name, path, times, *, box=False, freq=440, expect_plays=None,
                min_duration=0.6 * TONE_S):
    """`times` plays of a 1 s tone, one after the other, inside the probe's
    message loop (or its message box)."""
    expect_plays = times if expect_plays is None else expect_plays
    rc, text, rec = recorded(name, "play", win(path), str(times), *(["box"] if box else []))
    play = fields(text, "play_at")
    origin = rec.offset_of(int(play["play_at"])) if play.get("play_at") else None
    a = audio_check.analyse(rec.path, freq=freq, origin=origin)
    figures = {
        "outcome": play.get("outcome"),
        "play_call_ms": round(int(play.get("play_us", "0")) / 1000, 1),
        "element_len": int(play.get("element_len", "0")),
        "plays": a["plays"],
        "durations": a["durations"],
        "gaps": a["gaps"],
        "first_audible_after_call": a["latency"],
        "tone_ratio": a["ratio"],
    }
    ok = (
        rc == 0
        and play.get("outcome") == "started"
        and a["plays"] == expect_plays
        and a["tone"]
        and all(f == freq for f in a["burst_freqs"])
        and all(min_duration <= d <= TONE_S + 0.1 for d in a["durations"])
        and all(g < 0.5 for g in a["gaps"])
        and a["latency"] is not None
        and 0 <= a["latency"] < 1.5
    )
    if box:
        done = fields(text, "box_returned_at")
        figures["ended_inside_box"] = done.get("ended_inside_box")
        ok = ok and done.get("ended_inside_box") == "1"
        # Nothing may be heard once the box has gone.
        if a["bursts"] and done.get("box_returned_at"):
            after = a["bursts"][-1][1] - rec.offset_of(int(done["box_returned_at"]))
            figures["last_sound_end_minus_box_return"] = round(after, 3)
            ok = ok and after < 0.2
    check(name, ok, figures)
    return a


def cut_check(name, mode, path, delay_ms=500):
    """Playback that is stopped, by stop_all, the destructor or the end of
    the process, falls silent and stays silent."""
    rc, text, rec = recorded(name, mode, win(path), str(delay_ms))
    play = fields(text, "play_at")
    stop_at = fields(text, "stop_at").get("stop_at")
    a = audio_check.analyse(rec.path, origin=rec.offset_of(int(play["play_at"])))
    figures = {"plays": a["plays"], "bursts": a["bursts"], "rc": rc}
    # Under Wine a process that ends with the device still open crashes on
    # its way out (rc 139, in the media stack's teardown): the service must
    # be closed before the program exits. Here only the silence counts.
    ok = (rc == 0 or mode == "exit") and play.get("outcome") == "started" and a["plays"] == 1
    ok = ok and stop_at is not None
    if ok:
        after = a["bursts"][0][1] - rec.offset_of(int(stop_at))
        figures["sound_end_minus_stop"] = round(after, 3)
        ok = -0.3 < after < 0.25
    if mode == "stop":
        ok = ok and fields(text, "active_after_stop").get("active_after_stop") == "0"
    check(name, ok, figures)


def make_media():
    media = OUT / "media" / "提醒 音乐"
    if media.exists():
        shutil.rmtree(media)
    tone = audio_check.make_tone_mp3(media / "闹钟 440.mp3", 440, TONE_S)
    other = audio_check.make_tone_mp3(media / "闹钟 660.mp3", 660, TONE_S)
    tagged = audio_check.make_tone_mp3(media / "带标签 440.mp3", 440, TONE_S, id3_title="闹钟")
    # More than MAX_PATH (260) UTF-16 units in its Windows form.
    seg = "很长的文件夹 a rather long folder name with spaces and 中文 characters 0123456789"
    long_dir = media / f"{seg} 1" / f"{seg} 2" / f"{seg} 3"
    long_dir.mkdir(parents=True)
    long_path = long_dir / "闹钟 440 长路径.mp3"
    shutil.copy(tone, long_path)
    # A file name made of MCI command words stays a file name.
    keywords = media / "a' type waveaudio alias x wait notify.mp3"
    shutil.copy(tone, keywords)
    data = tone.read_bytes()
    half = media / "cut in half.mp3"
    half.write_bytes(data[: len(data) // 2])

    bad = media / "bad 坏"
    bad.mkdir()
    (bad / "empty.mp3").write_bytes(b"")
    (bad / "text.mp3").write_text("这不是音乐 / not music\n" * 20)
    wav = bad / "tone.wav"
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", str(wav), "synth", "1",
                    "sine", "440", "vol", "0.5"], check=True)
    wav.rename(bad / "wav named.mp3")
    (bad / "cut in first frame.mp3").write_bytes(data[:300])
    tag = tagged.read_bytes()
    tag_size = audio_tag_size(tag)
    (bad / "cut in tag.mp3").write_bytes(tag[: tag_size // 2])
    (bad / "tag then wav.mp3").write_bytes(tag[:tag_size] + (bad / "wav named.mp3").read_bytes())
    (bad / "folder.mp3").mkdir()
    locked = bad / "locked.mp3"
    shutil.copy(tone, locked)
    bad_cases = [
        "<empty>",
        win(bad / "missing.mp3"),
        win(bad / "empty.mp3"),
        win(bad / "text.mp3"),
        win(bad / "wav named.mp3"),
        win(bad / "cut in first frame.mp3"),
        win(bad / "cut in tag.mp3"),
        win(bad / "tag then wav.mp3"),
        win(bad / "folder.mp3"),
        win(bad / "what?.mp3"),
        win(bad / "con.mp3"),  # a device name on Windows before 11
        "lock:" + win(locked),
    ]
    return tone, other, tagged, long_path, keywords, half, bad_cases


def audio_tag_size(data):
    b = data[6:10]
    return 10 + (b[0] << 21 | b[1] << 14 | b[2] << 7 | b[3])


def main():
    tone, other, tagged, long_path, keywords, half, bad_cases = make_media()
    report["long_path_utf16_units"] = len(win(long_path).encode("utf-16-le")) // 2

    rc, text = run_probe("selftest")
    (OUT / "logs").mkdir(parents=True, exist_ok=True)
    (OUT / "logs" / "selftest.log").write_text(text)
    check("selftest", rc == 0 and "selftest: 0 failed" in text,
          {"lines": text.count("\n"), "failed": re.findall(r"FAIL .*", text)})

    plays_check("three plays while a message box is open (space and Chinese in path)", tone, 3,
                box=True)
    plays_check("three plays from a 289-character path", long_path, 3)
    plays_check("file named with MCI command words plays once", keywords, 1)
    plays_check("ID3v2-tagged file, two plays", tagged, 2)
    plays_check("file cut in half plays what it holds, three times", half, 3, min_duration=0.2)

    # A second play replaces the first: 440 Hz cut short, then 660 Hz three times.
    rc, text, rec = recorded("replace", "replace", win(tone), win(other), "500")
    first, second = fields(text, "first"), fields(text, "second")
    a = audio_check.analyse(rec.path, freq=440, others=(660, 300, 1000))
    switch = rec.offset_of(int(second["play_at"]))
    figures = {"bursts": a["bursts"], "freqs": a["burst_freqs"], "gaps": a["gaps"]}
    ok = (rc == 0 and first.get("outcome") == "started" and second.get("outcome") == "started"
          and a["burst_freqs"] == [440, 660, 660, 660])
    if ok:
        figures["first_end_minus_second_call"] = round(a["bursts"][0][1] - switch, 3)
        ok = a["bursts"][0][1] - switch < 0.25
    check("second play stops the first and starts the new one", ok, figures)

    cut_check("stop_all silences at once", "stop", tone)
    cut_check("destructor silences at once", "destroy", tone)
    cut_check("end of the process ends the sound", "exit", tone)

    rc, text, rec = recorded("bad", "bad", *bad_cases)
    a = audio_check.analyse(rec.path)
    outcomes = {}
    for line in text.splitlines():
        m = re.match(r"case=(.*?) play_at=\S+ play_us=(\d+) outcome=(\S+) mci_error=(\d+)", line)
        if m:
            name = m.group(1).rsplit("\\", 1)[-1]
            outcomes[name] = f"{m.group(3)} ({int(m.group(2)) / 1000:.1f} ms)"
    ok = (rc == 0 and a["plays"] == 0 and len(outcomes) == len(bad_cases)
          and "locked=1" in text and "started" not in "".join(outcomes.values()))
    check("bad input is silent, no message, returns", ok, {"outcomes": outcomes, "plays": a["plays"]})

    env = dict(os.environ, PULSE_SERVER=f"unix:{OUT}/no-such-server")
    rc, text = run_probe("play", win(tone), "3", "box", env=env)
    play = fields(text, "play_at")
    check("no audio server: silence, call returns", rc == 0 and play.get("outcome") == "open_failed",
          {"outcome": play.get("outcome"), "mci_error": play.get("mci_error"),
           "play_call_ms": round(int(play.get("play_us", "0")) / 1000, 1)})

    rc, text = run_probe("forms", win(long_path))
    forms = {}
    for line in text.splitlines():
        f = dict(re.findall(r"(\S+)=(\S*)", line.split(" value=")[0]))
        if "form" in f:
            forms[f["form"]] = {k: f[k] for k in ("len", "mci_open") if k in f}
    check("MCI_OPEN of each form of the long path (report)", rc == 0, forms)

    (OUT / "report.json").write_text(json.dumps(report, ensure_ascii=False, indent=1))
    failed = [n for n, ok in results if not ok]
    print(f"sound: {len(results) - len(failed)} passed, {len(failed)} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
