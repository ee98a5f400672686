"""The whole road of one alarm, driven like a user: the options window, the
real file dialog, the alarm sound captured from the audio sink, the alarm
box and the end of the program. And the shutdown road, which only reaches
the recording power service of the test build."""

import time

import audio
import harness
from harness import E2ETestCase

SETTINGS = 1005
STATUS, ALARM_HOUR, ALARM_MINUTE, MUSIC = 1004, 1025, 1026, 1003
COLON = 1007
O_HOUR, O_MINUTE, O_PATH, O_BROWSE, O_ALARM, O_SHUTDOWN = 1011, 1010, 1006, 1005, 1003, 1002
OPTIONS_W, OPTIONS_H = 218, 108
OK_TEXT = {"zh_CN": "确定", "en_US": "OK"}


class AlarmRoad(E2ETestCase):
    def test_alarm_from_options_window_to_exit(self):
        drv = self.driver()
        ctx = self.ctx()
        music = audio.make_tone_mp3(ctx.session.root / "我的 音乐 文件夹" / "提醒 音乐.mp3",
                                     silence=0.6, seconds=0.6)
        program = self.start_program(fake_time="@2011-04-15 07:04:40")
        main = drv.wait("QuorvelMain", 15000)["hwnd"]

        drv.click(main, SETTINGS)
        options = drv.wait("QuorvelOptions", 10000)
        hwnd = options["hwnd"]
        tree = drv.tree(hwnd)
        self.assertEqual(tree["text"], "选项设置")
        self.assertEqual(
            tuple(tree["rect"][k] for k in ("x", "y", "w", "h")),
            ((harness.SCREEN_W - OPTIONS_W) // 2, (harness.SCREEN_H - OPTIONS_H) // 2,
             OPTIONS_W, OPTIONS_H),
        )
        self.assertFalse(drv.tree(main)["enabled"], "main window must be disabled")
        for box, count in ((O_HOUR, 25), (O_MINUTE, 61)):
            combo = drv.call("combo", hwnd, box)
            self.assertEqual(combo["count"], count)
            self.assertEqual(combo["selected"], -1)
            self.assertEqual(combo["items"], [str(i) for i in range(count)])
            self.assertGreaterEqual(combo["dropped"]["h"], 160)
        self.screenshot("options-window")

        drv.call("select", hwnd, O_HOUR, 7)
        drv.call("select", hwnd, O_MINUTE, 5)
        drv.click(hwnd, O_BROWSE)
        answered = drv.call("filedialog", harness.windows_path(music), 10000)
        self.assertEqual(answered["title"], "请选择提醒音乐")
        path = self.poll(lambda: drv.text(hwnd, O_PATH), timeout=5)
        self.assertEqual(path, harness.windows_path(music))
        self.assertEqual(drv.text(main, MUSIC), path)

        drv.click(hwnd, O_ALARM)
        drv.call("waitgone", hwnd, 5000)
        self.assertEqual(drv.text(main, STATUS), "当前闹钟时间为:7时5分")
        self.assertEqual((drv.text(main, ALARM_HOUR), drv.text(main, ALARM_MINUTE)), ("7", "5"))
        self.assertTrue(self.poll(lambda: drv.tree(main)["enabled"], timeout=3))

        with harness.Recorder(ctx.session, ctx.out / "e2e" / "alarm.wav") as rec:
            box = drv.call("msgbox", 30000, timeout=40)
            self.assertEqual(box["text"], "时间到!!!")
            self.assertEqual(box["title"], "现在时间:7:5")
            # The system's own button text, in the language of the Windows.
            self.assertEqual([b["text"] for b in box["buttons"]], [OK_TEXT[ctx.locale]], box)
            ok = [c for c in drv.call("skin", box["hwnd"])["controls"] if c["class"] == "Button"]
            self.assertTrue(ok and all((c["scheme"], c["layers"]) == (1, 1) for c in ok), ok)
            self.screenshot("alarm-box")
            # The clock keeps ticking behind the box.
            colon = set()
            deadline = time.monotonic() + 5
            while time.monotonic() < deadline:
                colon.add(drv.text(main, COLON))
                time.sleep(0.07)
            self.assertEqual(colon, {":", ""})
        heard = audio.analyse(rec.path)
        self.assertEqual(heard["plays"], 3, heard)
        self.assertGreater(heard["ratio"], 5, heard)

        drv.call("dismiss", 5000)
        self.assertEqual(program.wait(timeout=10), 0)


class ShutdownRoad(E2ETestCase):
    def test_power_service_asked_on_each_tick_of_the_minute_only(self):
        drv = self.driver()
        program = self.start_program(fake_time="@2011-04-15 07:04:56")
        main = drv.wait("QuorvelMain", 15000)["hwnd"]
        drv.click(main, SETTINGS)
        hwnd = drv.wait("QuorvelOptions", 10000)["hwnd"]
        drv.call("select", hwnd, O_HOUR, 7)
        drv.call("select", hwnd, O_MINUTE, 5)
        drv.click(hwnd, O_SHUTDOWN)
        drv.call("waitgone", hwnd, 5000)
        self.assertEqual(drv.text(main, STATUS), "当前关机时间为:7时5分")
        self.assertEqual(drv.text(main, 1002), "关机")

        # Through the minute 7:05 and a few seconds past it.
        self.poll(lambda: drv.text(main, 1030) == "6", timeout=80, interval=0.5)
        time.sleep(3)
        asked = program.power_requests()
        self.assertTrue(program.running(), "the test build must never power off")
        times = [line.split()[1] for line in asked]
        self.assertGreaterEqual(len(times), 55, times)
        self.assertTrue(all(t.startswith("7:5:") for t in times), times)


class OptionsKeyboard(E2ETestCase):
    """Real key presses: Esc and Enter in a list do nothing, Tab walks the
    controls bottom-up, Enter on a focused button presses it."""

    def test_tab_order_enter_and_escape(self):
        drv = self.driver()
        ctx = self.ctx()
        self.start_program(fake_time="@2011-04-15 10:00:00")
        main = drv.wait("QuorvelMain", 15000)["hwnd"]
        drv.click(main, SETTINGS)
        hwnd = drv.wait("QuorvelOptions", 10000)["hwnd"]
        tree = drv.tree(hwnd)
        hour = next(c for c in tree["children"] if c["id"] == O_HOUR)["rect"]

        # A real click drops the hour list; Esc closes only the list.
        ctx.session.xdotool("mousemove", hour["x"] + hour["w"] // 2, hour["y"] + hour["h"] // 2,
                            "click", 1)
        dropped = self.poll(lambda: drv.call("combo", hwnd, O_HOUR)["dropped"]["h"] > 0, 3)
        time.sleep(0.3)
        self.screenshot("options-dropped")
        ctx.session.xdotool("key", "Escape")
        time.sleep(0.3)
        self.assertTrue(dropped)

        # Focus is in the hour list: Esc and Enter leave everything as it was.
        for key in ("Escape", "Return"):
            ctx.session.xdotool("key", key)
            time.sleep(0.3)
        self.assertTrue(drv.call("find", "QuorvelOptions", check=False)["ok"])
        self.assertEqual(drv.text(main, 1002), "0")
        self.assertEqual(drv.text(main, STATUS), "")

        # Hour list, minute list, path box, "...", then 闹钟.
        for _ in range(4):
            ctx.session.xdotool("key", "Tab")
            time.sleep(0.1)
        ctx.session.xdotool("key", "Return")
        drv.call("waitgone", hwnd, 5000)
        self.assertEqual(drv.text(main, STATUS), "当前闹钟时间为:-1时-1分")
        self.assertEqual(drv.text(main, 1002), "0")
