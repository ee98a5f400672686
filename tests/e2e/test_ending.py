"""How the program ends when the end comes from outside: a quit posted to its
thread, the session ending, an alarm firing while the options window is
open; and the notification-area icon after an Explorer restart. Each ends
with exit code 0 and nothing in the log that shows a crash. The harness's
own crash and orphan checks are shown to catch a program that goes wrong."""

import os
import time
from pathlib import Path

import audio
import harness
from harness import E2ETestCase
from test_faults import SETUP_TIME, arm, new_clock, start_copy

MIN = 1018  # title button: minimise to the notification area
MUSIC = 1003  # the main window's music path
WM_QUERYENDSESSION, WM_ENDSESSION = 0x0011, 0x0016
WM_LBUTTONUP, TRAY_CALLBACK = 0x0202, 0x8001


class Ending(E2ETestCase):
    def test_quit_posted_from_outside_ends_cleanly(self):
        program = start_copy(self)
        self.driver().call("quit", program.hwnd)
        self.assertEqual(program.wait(timeout=10), 0)
        program.finish(self.driver())

    def test_session_end_ends_cleanly_and_takes_the_icon_away(self):
        drv = self.driver()
        program = start_copy(self)
        drv.click(program.hwnd, MIN)
        self.assertEqual(self.poll(lambda: drv.call("tray")["icons"] == 1, 5), True)
        self.assertEqual(drv.call("repeat", program.hwnd, WM_QUERYENDSESSION, 0, 0, 1)["count"], 1)
        drv.call("repeat", program.hwnd, WM_ENDSESSION, 1, 0, 1)
        self.assertEqual(program.wait(timeout=10), 0)
        self.assertEqual(drv.call("tray")["icons"], 0)
        program.finish(drv)

    def test_alarm_while_options_window_is_open_ends_cleanly(self):
        drv = self.driver()
        clock = new_clock(self, SETUP_TIME)
        program = start_copy(self, clock)
        arm(self, program, 7, 5)
        drv.click(program.hwnd, 1005)  # open the options window again
        drv.wait("QuorvelOptions", 10000)
        clock.set("@2011-04-15 07:04:58")
        box = drv.call("msgbox", 30000, timeout=40)
        self.assertEqual(box["text"], "时间到!!!")
        drv.call("dismiss", 5000)
        drv.call("waitgone", program.hwnd, 5000)
        # The options window outlives the main one; the program ends with it.
        for w in drv.call("list", "QuorvelOptions")["windows"]:
            if w["pid"] == program.pid:
                drv.close(w["hwnd"])
        self.assertEqual(program.wait(timeout=10), 0)
        program.finish(drv)


class ExplorerRestart(E2ETestCase):
    def test_icon_comes_back_when_the_taskbar_is_created_again(self):
        drv = self.driver()
        program = start_copy(self)
        drv.click(program.hwnd, MIN)
        self.assertTrue(self.poll(lambda: not drv.tree(program.hwnd)["visible"], 5))
        tray = next(w["hwnd"] for w in drv.call("list", "QuorvelTray")["windows"]
                    if w["pid"] == program.pid)
        self.assertTrue(drv.call("traydelete", tray, 1)["deleted"])  # Explorer is gone
        self.assertEqual(drv.call("tray")["icons"], 0)
        drv.call("broadcast", "TaskbarCreated")  # and back
        self.assertTrue(self.poll(lambda: drv.call("tray")["icons"] == 1, 5))
        drv.call("post", tray, TRAY_CALLBACK, 1, WM_LBUTTONUP)
        self.assertTrue(self.poll(lambda: drv.tree(program.hwnd)["visible"], 5))


class HarnessChecks(E2ETestCase):
    """A crash that exits with any code, and a program that stays on after
    its last window, fail the test that ran them."""

    def probe(self, mode):
        ctx = self.ctx()
        exe = Path(ctx.driver.exe).parent / "crash_probe.exe"
        program = harness.Program(ctx.session, exe, f"probe-{mode}", env={})
        program.window_class = "QuorvelProbe"  # owns none: an orphan once it runs
        program.exe_args = [mode]
        self.addCleanup(program.kill)
        return program.start()

    def test_crash_is_caught_whatever_the_exit_code(self):
        program = self.probe("fault")
        program.wait(timeout=30)
        with self.assertRaisesRegex(AssertionError, "crashed"):
            program.finish(self.driver())

    def test_program_outliving_its_windows_is_caught(self):
        program = self.probe("linger")
        time.sleep(2)  # running, and its one window gone
        with self.assertRaisesRegex(AssertionError, "outlived its windows"):
            program.finish(self.driver())


class ExitWhileSounding(E2ETestCase):
    """The end is never held up by the sound: plays still to come, or a file
    whose opening never answers (a FIFO nobody writes to; Wine reports it
    unreadable at once, so test_sound.py also hangs a player on purpose)."""

    def test_program_ends_within_two_seconds_of_the_box(self):
        drv = self.driver()
        root = self.ctx().session.root / "ending"
        song = audio.make_tone_mp3(root / "long.mp3", seconds=4.0, silence=0.2)
        fifo = root / "never answers.mp3"
        if not fifo.exists():
            os.mkfifo(fifo)
        cases = (("three long plays", song), ("open that never answers", fifo),
                 ("the chime for a file that is gone", root / "never there.mp3"))
        for case, path in cases:
            with self.subTest(case):
                clock = new_clock(self, SETUP_TIME)
                program = start_copy(self, clock)
                arm(self, program, 7, 5)
                drv.call("settext", program.hwnd, MUSIC, harness.windows_path(path))
                clock.set("@2011-04-15 07:04:59")
                drv.call("msgbox", 20000, program.pid, timeout=30)
                time.sleep(0.5)  # the sound thread is at work
                drv.call("dismiss", 5000, program.pid)
                dismissed = time.monotonic()
                self.assertEqual(program.wait(timeout=10), 0)
                self.assertLess(time.monotonic() - dismissed, 2.0)
                program.finish(drv)
