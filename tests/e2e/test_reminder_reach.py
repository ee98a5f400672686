"""Reminders that reach the user on a desktop: the alarm box in front of
another program's window and out of the notification area, the wake-up
requests the test build records, and the balloon one minute before a
forced power-off."""

import json
import subprocess
import time

from harness import E2ETestCase
from test_faults import DAY, arm, start_copy, new_clock

STATUS, FIELD_MINUTE, MIN = 1004, 1030, 1018
WM_TIMECHANGE, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC = 0x1E, 0x218, 0x12
O_SHUTDOWN = 1002
WS_EX_TOPMOST = 0x8
ALARM = ("时间到!!!", "现在时间:7:5")
BALLOON = "将在 7:05 强制关机，请保存您的工作。"


def topmost(drv, hwnd):
    return bool(drv.tree(hwnd)["exstyle"] & WS_EX_TOPMOST)


class AlarmInFront(E2ETestCase):
    def front_window(self, ms=60000):
        """Another program's window, active; ended with the test."""
        ctx = self.ctx()
        proc = subprocess.Popen([ctx.session.wine, str(ctx.driver.exe), "front", str(ms)],
                                env=ctx.session.env, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
        self.addCleanup(proc.kill)
        return json.loads(proc.stdout.readline())["front"]

    def test_box_is_topmost_and_foreground_over_another_program(self):
        drv = self.driver()
        program = start_copy(self)
        arm(self, program, 7, 6)
        arm(self, program, 7, 5)  # set again: a new request
        self.assertEqual(program.wake_requests(), [f"{DAY} 07:06", f"{DAY} 07:05"])
        # The system clock or time zone changed, the computer resumed: the
        # same local time is asked for again, as it may now be another instant.
        drv.call("post", program.hwnd, WM_TIMECHANGE, 0, 0)
        drv.call("post", program.hwnd, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0)
        self.assertTrue(self.poll(lambda: len(program.wake_requests()) == 4, 5))
        self.assertEqual(program.wake_requests()[2:], [f"{DAY} 07:05"] * 2)

        front = self.front_window()
        self.assertTrue(self.poll(lambda: drv.call("foreground")["hwnd"] == front, 10),
                        drv.call("foreground"))
        program.clock.set(f"@{DAY} 07:04:58")
        box = drv.call("msgbox", 10000, program.pid, timeout=20)
        self.assertEqual((box["text"], box["title"]), ALARM)
        self.assertTrue(self.poll(lambda: topmost(drv, box["hwnd"]), 3), drv.tree(box["hwnd"]))
        self.assertTrue(self.poll(lambda: drv.call("foreground")["hwnd"] == box["hwnd"], 5),
                        drv.call("foreground"))
        self.screenshot("alarm-box-over-another-program")
        # Fired, and no shutdown set: nothing is left to wake for.
        self.assertTrue(self.poll(lambda: program.wake_requests()[-1:] == ["cancel"], 5),
                        program.wake_requests())
        drv.call("dismiss", 5000, program.pid)
        self.assertEqual(program.wait(timeout=10), 0)
        self.assertEqual(program.wake_requests(), [f"{DAY} 07:06"] + [f"{DAY} 07:05"] * 3 + ["cancel"])

    def test_alarm_brings_the_window_back_from_the_notification_area(self):
        drv = self.driver()
        program = start_copy(self)
        arm(self, program, 7, 5)
        drv.click(program.hwnd, MIN)
        self.assertTrue(self.poll(lambda: not drv.tree(program.hwnd)["visible"], 5))
        program.clock.set(f"@{DAY} 07:04:59")
        box = drv.call("msgbox", 10000, program.pid, timeout=20)
        self.assertEqual((box["text"], box["title"]), ALARM)
        self.assertTrue(self.poll(lambda: drv.tree(program.hwnd)["visible"], 5))
        self.assertTrue(self.poll(lambda: topmost(drv, box["hwnd"]), 3), drv.tree(box["hwnd"]))
        self.screenshot("alarm-box-back-from-tray")
        drv.call("dismiss", 5000, program.pid)
        self.assertEqual(program.wait(timeout=10), 0)


class ShutdownWarning(E2ETestCase):
    def balloons(self):
        """Texts of the balloons shown: tooltip windows of the notification
        area's process, whose text (WM_GETTEXT) is the balloon's."""
        drv = self.driver()
        return [drv.tree(w["hwnd"])["text"] for w in drv.call("list", "tooltips_class32")["windows"]
                if w["visible"]]

    def test_balloon_one_minute_before_and_power_off_in_the_minute_only(self):
        drv = self.driver()
        self.program = program = start_copy(self, new_clock(self, f"@{DAY} 07:03:50"))
        arm(self, program, 7, 5, button=O_SHUTDOWN)
        self.assertEqual(drv.text(program.hwnd, STATUS), "当前关机时间为:7时5分")
        self.assertEqual(program.wake_requests(), [f"{DAY} 07:05"])

        # Not in 7:03; within a second or two of 7:04.
        self.assertTrue(self.poll(lambda: drv.text(program.hwnd, FIELD_MINUTE) == "3", 10))
        while drv.text(program.hwnd, FIELD_MINUTE) == "3":
            self.assertNotIn(BALLOON, self.balloons())
            time.sleep(0.2)
        shown = self.poll(lambda: BALLOON in self.balloons(), timeout=3, interval=0.1)
        self.assertTrue(shown, self.balloons())
        self.assertEqual(drv.text(program.hwnd, FIELD_MINUTE), "4")
        self.screenshot("shutdown-balloon")
        self.assertEqual(program.power_requests(), [])

        program.clock.set(f"@{DAY} 07:04:57")
        self.poll(lambda: drv.text(program.hwnd, FIELD_MINUTE) == "6", timeout=80, interval=0.5)
        time.sleep(2)
        asked = [line.split()[1] for line in program.power_requests()]
        self.assertTrue(program.running(), "the test build must never power off")
        self.assertGreaterEqual(len(asked), 50, asked)
        # Recorded a moment after the tick that asked: a tick late in 7:05:59
        # may be written down as 7:6:0.
        self.assertTrue(all(t.startswith("7:5:") or t == "7:6:0" for t in asked), asked)
        self.assertLessEqual(len(asked), 61, asked)
        # Past the minute: armed for the same time tomorrow.
        self.assertEqual(program.wake_requests(), [f"{DAY} 07:05", "2011-04-16 07:05"])
        # The icon shown for the balloon has gone again.
        self.assertEqual(drv.call("tray")["icons"], 0)
