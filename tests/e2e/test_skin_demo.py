"""The control skin on its own, through skin_demo.exe: a gallery of every
skinned kind and state, a message box and the file dialog. Checked from
inside the process (its self test: apply, re-apply, switch, take off,
re-entry, another thread, owner-drawn later; its census) and from outside
(the window property and layer count each control answers); the GDI
objects over 50 create/skin/destroy cycles. The screenshots (normal, hot,
pressed, dropped, the three schemes) are saved for review."""

import re
import subprocess
import threading
import time

from harness import E2ETestCase

CLEAN_CENSUS = re.compile(r"census (windows|dialog): [1-9]\d* skinned ok, \d+ left alone ok, 0 wrong")


class Demo:
    """skin_demo.exe MODE in the background, its output collected line by line."""

    def __init__(self, ctx, exe, *args):
        self.ctx, self.exe = ctx, exe
        self.lines = []
        self.proc = subprocess.Popen(
            [ctx.session.wine, str(exe), *args], env=ctx.session.env, stdin=subprocess.DEVNULL,
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, errors="replace")
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.proc.stdout:
            self.lines.append(line.rstrip("\r\n"))

    def wait_for(self, start, timeout=20.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if any(line.startswith(start) for line in self.lines):
                return True
            if self.proc.poll() is not None:
                time.sleep(0.2)  # let the reader take the last lines
                return any(line.startswith(start) for line in self.lines)
            time.sleep(0.1)
        return False

    def close(self):
        subprocess.run([self.ctx.session.wine, str(self.exe), "close"], env=self.ctx.session.env,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=30)
        try:
            self.proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


class SkinDemo(E2ETestCase):
    def exe(self):
        return self.ctx().driver.exe.parent.parent / "skin" / "skin_demo.exe"

    def run_demo(self, mode, timeout=120):
        done = subprocess.run([self.ctx().session.wine, str(self.exe()), mode],
                              env=self.ctx().session.env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                              errors="replace", timeout=timeout)
        return done.returncode, done.stdout.replace("\r", "")

    def start_demo(self, *args, ready):
        demo = Demo(self.ctx(), self.exe(), *args)
        self.addCleanup(demo.close)
        self.assertTrue(demo.wait_for(ready), "\n".join(demo.lines))
        return demo

    def probe(self):
        """The census of every demo window from another process."""
        code, out = self.run_demo("probe", timeout=30)
        self.assertEqual(code, 0, out)
        return out

    def centre(self, census, pattern):
        line = next((line for line in census.splitlines() if re.search(pattern, line)), "")
        match = re.search(r"rect=(-?\d+),(-?\d+),(-?\d+),(-?\d+)", line)
        self.assertIsNotNone(match, f"no control matches {pattern!r}:\n{census}")
        left, top, right, bottom = map(int, match.groups())
        return (left + right) // 2, (top + bottom) // 2

    def test_self_test(self):
        code, out = self.run_demo("selftest")
        self.assertEqual(code, 0, out)
        self.assertRegex(out, r"selftest: [1-9]\d* passed, 0 failed")

    def test_gdi_objects_stay_over_cycles(self):
        code, out = self.run_demo("gdi", timeout=300)
        self.assertEqual(code, 0, out)

    def test_every_control_carries_one_skin(self):
        demo = self.start_demo("show", ready="ready")
        self.assertRegex("\n".join(demo.lines), CLEAN_CENSUS)
        census = self.probe()
        x = self.ctx().session.xdotool
        time.sleep(0.4)
        self.screenshot("skin-demo-windows")
        x("mousemove", *self.centre(census, 'Button .*text="默认"'))
        time.sleep(0.4)
        self.screenshot("skin-demo-hot-button")
        x("mousemove", *self.centre(census, 'Button .*text="静音"'))
        time.sleep(0.4)
        self.screenshot("skin-demo-hot-check")
        x("mousemove", *self.centre(census, 'ComboBox .*text="00"'), "click", "1")
        time.sleep(0.4)
        self.screenshot("skin-demo-dropped")
        x("key", "Escape")
        up_x, up_y = self.centre(census, "msctls_updown32 .*visible=1")
        x("mousemove", up_x, up_y - 4, "mousedown", "1")
        time.sleep(0.3)
        self.screenshot("skin-demo-up-down-pressed")
        x("mouseup", "1")
        x("mousemove", 5, 700)

    def test_other_schemes_show(self):
        for scheme in ("2", "3"):
            with self.subTest(scheme=scheme):
                demo = Demo(self.ctx(), self.exe(), "show", scheme)
                try:
                    self.assertTrue(demo.wait_for("ready"), "\n".join(demo.lines))
                    self.assertRegex("\n".join(demo.lines), CLEAN_CENSUS)
                    time.sleep(0.4)
                    self.screenshot(f"skin-demo-scheme-{scheme}")
                finally:
                    demo.close()

    def test_dialogs_made_after_the_skin_carry_it(self):
        for mode in ("msgbox", "open"):
            with self.subTest(mode=mode):
                demo = Demo(self.ctx(), self.exe(), mode)
                try:
                    self.assertTrue(demo.wait_for("dialog-ready"), "\n".join(demo.lines))
                    self.assertRegex("\n".join(demo.lines), CLEAN_CENSUS)
                    self.probe()
                    time.sleep(0.8)
                    self.screenshot(f"skin-demo-{mode}")
                finally:
                    demo.close()
