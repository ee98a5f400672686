"""Both windows at the display scales laptops run (125 to 200 %), set
the way a user sets them (LogPixels) before the program starts: the windows
are the designed size scaled, every control lies inside its window and its
band, the clock digits are whole, and at 200 % the alarm road still works."""

import subprocess
import time

import audio
import harness
from harness import E2ETestCase

SETTINGS, STATUS, ALARM_HOUR, ALARM_MINUTE = 1005, 1004, 1025, 1026
HOUR_FACE, ICON, TITLE = 1010, 1001, 1022
HOLDER, TITLE_BUTTONS = 1019, (1016, 1017, 1018)
MAX, MIN = 1017, 1018
WM_LBUTTONUP, TRAY_CALLBACK = 0x0202, 0x8001
O_HOUR, O_MINUTE, O_BROWSE, O_ALARM = 1011, 1010, 1005, 1003
MAIN_W, MAIN_H = 379, 195
HANGS_BELOW = {1026}  # the alarm minute: designed 5 px below the window, as at 100 %
FACE_BLUE = (0, 136, 255)
# Designed bands of the options window, top to bottom: the time row, the
# music row and the button row (the last runs to the client's bottom).
OPTIONS_BANDS = ((0, 32), (32, 56), (56, None))
FONT_KEY = r"HKCU\Software\Wine\Fonts\Replacements"


def px(value, dpi):
    """MulDiv(value, dpi, 96), as the program scales."""
    return (value * dpi + 48) // 96


def inside(inner, outer):
    return (inner["x"] >= outer["x"] and inner["y"] >= outer["y"]
            and inner["x"] + inner["w"] <= outer["x"] + outer["w"]
            and inner["y"] + inner["h"] <= outer["y"] + outer["h"])


def visible_children(tree):
    return [c for c in tree["children"] if c["visible"]]


def columns(png, box, wanted):
    """x range (relative to box) of the pixels of a screenshot for which
    wanted(r, g, b) holds, or None."""
    raw = subprocess.run(
        ["convert", str(png), "-crop", f"{box['w']}x{box['h']}+{box['x']}+{box['y']}",
         "-depth", "8", "rgb:-"], capture_output=True, check=True, timeout=30).stdout
    cols = {(i // 3) % box["w"] for i in range(0, len(raw) - 2, 3)
            if wanted(raw[i], raw[i + 1], raw[i + 2])}
    return (min(cols), max(cols)) if cols else None


def face_blue(r, g, b):
    return b > 160 and r < 90 and 60 < g < 200


def caption_white(r, g, b):
    return min(r, g, b) > 200


class DisplayScale(E2ETestCase):
    @classmethod
    def setUpClass(cls):
        session = cls.ctx().session
        # SimHei's stand-in with SimHei's half-width digits.
        had = session.reg("query", FONT_KEY, "/v", "SimHei").returncode == 0
        if not had:
            session.reg("add", FONT_KEY, "/v", "SimHei", "/t", "REG_SZ", "/d",
                        "WenQuanYi Zen Hei Mono", "/f")
            cls.addClassCleanup(session.reg, "delete", FONT_KEY, "/v", "SimHei", "/f")
        cls.addClassCleanup(session.set_display_dpi, None)

    def open_at(self, dpi):
        self.ctx().session.set_display_dpi(dpi)
        program = self.start_program(fake_time="@2011-04-15 07:04:40")
        return program, self.driver().wait("QuorvelMain", 15000)["hwnd"]

    def check_main(self, dpi, main):
        tree = self.driver().tree(main)
        self.assertAlmostEqual(tree["rect"]["w"], px(MAIN_W, dpi), delta=1)
        self.assertAlmostEqual(tree["rect"]["h"], px(MAIN_H, dpi), delta=1)
        client = tree["client"]
        children = {c["id"]: c for c in visible_children(tree)}
        for c in children.values():
            if c["id"] not in HANGS_BELOW:
                self.assertTrue(inside(c["rel"], client), c)
        holder = children[HOLDER]["rel"]
        for button in TITLE_BUTTONS:
            rel = children[button]["rel"]  # relative to the holder
            self.assertTrue(inside(rel, {"x": 0, "y": 0, "w": holder["w"], "h": holder["h"]}),
                            (button, rel, holder))
        # The title band holds the strip and the date line, the status band
        # the status line.
        title_band, status_top = px(52, dpi), client["h"] - px(24, dpi)
        for cid in (1021, 1022, 1019, 1020):
            rel = children[cid]["rel"]
            self.assertLessEqual(rel["y"] + rel["h"], title_band, cid)
        status = children[STATUS]["rel"]
        self.assertGreaterEqual(status["y"] + status["h"] // 2, status_top, status)
        return children

    def check_digits(self, dpi, main, children, shot):
        top = self.driver().tree(main)["rect"]
        face = children[HOUR_FACE]["rel"]
        # Below the title band, whose blue would read as digits.
        skip = max(0, px(52, dpi) - face["y"])
        box = {"x": top["x"] + face["x"], "y": top["y"] + face["y"] + skip, "w": face["w"],
               "h": face["h"] - skip}
        cols = columns(shot, box, face_blue)
        self.assertIsNotNone(cols, "no clock digits painted")
        # Two half-width digits of a 96-px font, scaled, end short of the
        # label's right edge: nothing of them is cut off.
        self.assertGreaterEqual(cols[1] - cols[0] + 1, px(70, dpi), cols)
        self.assertLess(cols[1], face["w"] - 1, (cols, face))

    def check_caption_clear_of_icon(self, dpi, main, children, shot):
        top = self.driver().tree(main)["rect"]
        icon, strip = children[ICON]["rel"], children[TITLE]["rel"]
        # The caption's letters, right of the icon, in the icon's rows.
        right = icon["x"] + icon["w"]
        box = {"x": top["x"] + right, "y": top["y"] + icon["y"],
               "w": strip["x"] + strip["w"] - right, "h": icon["h"]}
        cols = columns(shot, box, caption_white)
        self.assertIsNotNone(cols, "no caption painted")
        self.assertGreaterEqual(cols[0], px(2, dpi), "caption starts under the icon")

    def check_options(self, dpi, options, at_100):
        """`at_100` maps each control to how far its box reached below the
        client area at 100 % (filled in by the first call): the designed
        218 x 108 outer size leaves a Windows 10-like caption a client area
        a pixel short of the lowest label's box, and every scale must leave
        the controls the same room as 100 % does, no less."""
        tree = self.driver().tree(options)
        client = tree["client"]
        for c in visible_children(tree):
            rel = c["rel"]
            below = rel["y"] + rel["h"] - client["h"]
            if dpi == 96:
                at_100[c["id"]] = max(0, below)
            allowed = px(at_100.get(c["id"], 0), dpi) + (1 if at_100.get(c["id"]) else 0)
            grown = dict(client, h=client["h"] + allowed)
            self.assertTrue(inside(rel, grown), (c["id"], rel, client))
            centre = rel["y"] + rel["h"] // 2
            top, bottom = next((px(t, dpi), px(b, dpi) if b else grown["h"])
                               for t, b in OPTIONS_BANDS
                               if px(t, dpi) <= centre < (px(b, dpi) if b else 10**6))
            self.assertGreaterEqual(rel["y"], top, (c["id"], rel))
            self.assertLessEqual(rel["y"] + rel["h"], bottom, (c["id"], rel))
        for box in (O_HOUR, O_MINUTE):  # the dropped lists show as much as at 100 %
            self.assertGreaterEqual(self.driver().call("combo", options, box)["dropped"]["h"],
                                    px(160, dpi))
        # The same room for the controls as at 100 %, scaled.
        if dpi == 96:
            at_100["client"] = client
        room = at_100["client"]
        self.assertGreaterEqual(client["h"], px(room["h"], dpi) - 1)
        self.assertGreaterEqual(client["w"], px(room["w"], dpi) - 1)

    def test_both_windows_at_each_scale(self):
        drv = self.driver()
        at_100 = {}
        for dpi in (96, 120, 144, 168, 192):
            with self.subTest(dpi=dpi):
                program, main = self.open_at(dpi)
                try:
                    children = self.check_main(dpi, main)
                    self.poll(lambda: drv.text(main, HOUR_FACE) == "7", timeout=5)
                    shot = self.screenshot(f"scale-{dpi}-main")
                    self.check_digits(dpi, main, children, shot)
                    self.check_caption_clear_of_icon(dpi, main, children, shot)
                    drv.click(main, SETTINGS)
                    options = drv.wait("QuorvelOptions", 10000)["hwnd"]
                    time.sleep(0.5)  # the first paint of every control
                    self.screenshot(f"scale-{dpi}-options")
                    self.check_options(dpi, options, at_100)
                finally:
                    program.finish(drv)

    def test_follows_a_change_of_scale(self):
        """A move to a monitor of another scale: the system's WM_DPICHANGED
        with its suggested rectangle, to both windows and back."""
        drv = self.driver()
        _, main = self.open_at(None)
        before = drv.tree(main)
        drv.click(main, SETTINGS)
        options = drv.wait("QuorvelOptions", 10000)["hwnd"]
        options_before = drv.tree(options)

        def rels(tree):
            return {c["id"]: c["rel"] for c in tree["children"]}

        def change(hwnd, dpi, w, h):
            r = drv.tree(hwnd)["rect"]
            drv.call("dpichanged", hwnd, dpi, r["x"], r["y"], w, h)
            return drv.tree(hwnd)

        after = change(options, 192, 2 * 218, 2 * 108)
        self.assertEqual((after["rect"]["w"], after["rect"]["h"]), (436, 216))
        self.assertEqual(rels(after)[O_ALARM], {"x": 270, "y": 112, "w": 68, "h": 40})
        for c in visible_children(after):
            self.assertTrue(inside(c["rel"], after["client"]), c)
        time.sleep(0.3)
        self.screenshot("scale-change-options")
        self.assertEqual(rels(change(options, 96, 218, 108)), rels(options_before))
        drv.close(options)
        drv.call("waitgone", options, 5000)

        after = change(main, 192, 758, 390)
        self.assertEqual((after["rect"]["w"], after["rect"]["h"]), (758, 390))
        moved = rels(after)
        self.assertEqual(moved[1023], {"x": 746, "y": 0, "w": 12, "h": 104})  # right title end
        self.assertEqual(moved[1012], {"x": 6, "y": 342, "w": 746, "h": 48})  # status band
        self.assertEqual(moved[HOUR_FACE], {"x": 154, "y": 96, "w": 208, "h": 208})
        self.assertAlmostEqual(after["region"]["box"]["w"], 758, delta=1)
        time.sleep(0.3)
        self.screenshot("scale-change-main")
        back = change(main, 96, 379, 195)
        self.assertEqual(rels(back), rels(before))
        self.assertEqual(back["region"], before["region"])

    def test_maximise_restore_and_tray_at_200_percent(self):
        drv = self.driver()
        _, main = self.open_at(192)
        normal = drv.tree(main)
        drv.click(main, MAX)
        self.assertTrue(self.poll(lambda: drv.tree(main)["rect"] != normal["rect"], 5))
        tree = drv.tree(main)
        w, h = tree["rect"]["w"], tree["rect"]["h"]
        self.assertEqual((w, h), (harness.SCREEN_W, harness.SCREEN_H))  # no taskbar under Xvfb
        moved = {c["id"]: c["rel"] for c in tree["children"]}
        self.assertEqual(moved[1023], {"x": w - 12, "y": 0, "w": 12, "h": 104})
        self.assertEqual(moved[1012], {"x": 6, "y": h - 48, "w": w - 12, "h": 48})
        self.assertEqual(tree["region"]["type"], "complex")
        self.screenshot("scale-192-maximised")
        drv.click(main, MAX)
        self.assertTrue(self.poll(lambda: drv.tree(main)["rect"] == normal["rect"], 5))
        restored = drv.tree(main)
        self.assertEqual({c["id"]: c["rel"] for c in restored["children"]},
                         {c["id"]: c["rel"] for c in normal["children"]})
        self.assertEqual(restored["region"], normal["region"])

        drv.click(main, MIN)
        self.assertTrue(self.poll(lambda: not drv.tree(main)["visible"], 5))
        tray = drv.call("find", "QuorvelTray")["hwnd"]
        drv.call("post", tray, TRAY_CALLBACK, 1, WM_LBUTTONUP)
        self.assertTrue(self.poll(lambda: drv.tree(main)["visible"], 5))
        self.assertEqual(drv.tree(main)["rect"], normal["rect"])

    def test_alarm_road_at_200_percent(self):
        drv = self.driver()
        ctx = self.ctx()
        music = audio.make_tone_mp3(ctx.session.root / "scale" / "提醒.mp3", silence=0.3,
                                     seconds=0.3)
        _, main = self.open_at(192)
        drv.click(main, SETTINGS)
        hwnd = drv.wait("QuorvelOptions", 10000)["hwnd"]
        drv.call("select", hwnd, O_HOUR, 7)
        drv.call("select", hwnd, O_MINUTE, 5)
        drv.click(hwnd, O_BROWSE)
        drv.call("filedialog", harness.windows_path(music), 10000)
        self.poll(lambda: drv.text(hwnd, 1006), timeout=5)
        drv.click(hwnd, O_ALARM)
        drv.call("waitgone", hwnd, 5000)
        self.assertEqual(drv.text(main, STATUS), "当前闹钟时间为:7时5分")
        self.assertEqual((drv.text(main, ALARM_HOUR), drv.text(main, ALARM_MINUTE)), ("7", "5"))
        box = drv.call("msgbox", 30000, timeout=40)
        self.assertEqual(box["title"], "现在时间:7:5")
        self.screenshot("scale-192-alarm-box")
        drv.call("dismiss", 5000)
