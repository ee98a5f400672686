"""The blue control skin on the real program's standard controls: exactly one
skin on each after the options window has been opened twice, and the skinned
file dialog and alarm box saved for review; no GDI object or window left
behind by opening and closing the options window."""

import time

import harness

from harness import E2ETestCase

SETTINGS, O_BROWSE = 1005, 1005
STANDARD = {"Button", "Edit", "ComboBox"}


class Skin(E2ETestCase):
    def open_options(self, drv, main):
        drv.click(main, SETTINGS)
        return drv.wait("QuorvelOptions", 10000)["hwnd"]

    def test_one_skin_on_every_standard_control(self):
        drv = self.driver()
        self.start_program(fake_time="@2011-04-15 10:00:00")
        main = drv.wait("QuorvelMain", 15000)["hwnd"]
        first = self.open_options(drv, main)
        drv.close(first)  # its own close box
        drv.call("waitgone", first, 5000)
        hwnd = self.open_options(drv, main)

        controls = drv.call("skin", hwnd)["controls"]
        standard = [c for c in controls if c["class"] in STANDARD]
        self.assertEqual(len(standard), 6, controls)  # 3 buttons, the path box, 2 lists
        for c in standard:
            self.assertEqual((c["scheme"], c["layers"]), (1, 1), c)
        for c in controls:
            if c["class"] == "QuorvelControl":
                self.assertEqual(c["layers"], 0, c)
        # The main window's hidden standard controls carry it too, once.
        for c in drv.call("skin", main)["controls"]:
            if c["class"] in STANDARD:
                self.assertEqual((c["scheme"], c["layers"]), (1, 1), c)

        drv.click(hwnd, O_BROWSE)
        dialog = drv.wait("#32770", 10000, title="请选择提醒音乐")["hwnd"]
        time.sleep(1.0)  # let the dialog fill its list before the picture
        self.screenshot("skin-file-dialog")
        skinned = [c for c in drv.call("skin", dialog)["controls"] if c["layers"]]
        self.assertTrue(skinned, "file dialog controls carry no skin")
        self.assertTrue(all(c["layers"] == 1 for c in skinned), skinned)
        drv.close(dialog)
        drv.call("waitgone", dialog, 5000)
        drv.close(hwnd)

    def test_options_window_leaves_no_objects_behind(self):
        drv = self.driver()
        self.start_program(fake_time="@2011-04-15 10:00:00")
        main = drv.wait("QuorvelMain", 15000)["hwnd"]
        pid = drv.tree(main)["pid"]

        def cycle():
            hwnd = self.open_options(drv, main)
            drv.close(hwnd)
            drv.call("waitgone", hwnd, 5000)

        def settled():
            # Work the start-up began elsewhere (the help page request) may
            # still be creating and freeing objects: wait for a steady count.
            last = drv.call("objects", pid)
            for _ in range(20):
                time.sleep(0.3)
                now = drv.call("objects", pid)
                if (now["gdi"], now["windows"]) == (last["gdi"], last["windows"]):
                    return now
                last = now
            return last

        cycle()  # the first opening loads fonts, themes and caches for good
        before = settled()
        self.assertGreater(before["gdi"], 0, before)
        for _ in range(50):
            cycle()
        after = settled()
        self.assertEqual((after["gdi"], after["windows"]), (before["gdi"], before["windows"]),
                         (before, after))


def caption_columns(png, window):
    """The title bar's text as columns of ink (tuples of 0/1 over the bar's
    height), between its icon and its close box. The caption gradient runs
    left to right, so a column's most common grey is its background."""
    rect, client = window["rect"], window["client"]
    frame = (rect["w"] - client["w"]) // 2
    height = rect["h"] - client["h"] - 2 * frame
    icon = height * 3 // 4
    width = rect["w"] - 2 * frame - height - 4 - icon
    rows = harness.gray_pixels(png, rect["x"] + frame + icon, rect["y"] + frame, width, height)
    columns = []
    for x in range(width):
        column = [row[x] for row in rows]
        background = max(set(column), key=column.count)
        columns.append(tuple(int(abs(v - background) > 48) for v in column))
    return [c for c in columns if any(c)]


class ChineseCaptions(E2ETestCase):
    """Title bars are drawn by the system in its bold caption font: in either
    locale a Chinese title must show its characters, not missing-glyph boxes."""

    def assert_chinese_caption(self, window, shot):
        # A missing glyph is drawn as the same hollow box for every
        # character: its columns are only bars and pairs of dots, a handful
        # of shapes for the whole title. Distinct characters give several
        # column shapes each.
        text = window["text"]
        shapes = set(caption_columns(shot, window))
        self.assertGreaterEqual(len(shapes), 3 * len(text), f"{text!r}: {len(shapes)} column shapes")

    def test_titles_show_their_characters(self):
        drv = self.driver()
        self.start_program(fake_time="@2011-04-15 10:00:00")
        main = drv.wait("QuorvelMain", 15000)["hwnd"]
        drv.click(main, SETTINGS)
        options = drv.tree(drv.wait("QuorvelOptions", 10000)["hwnd"])
        self.assertEqual(options["text"], "选项设置")
        self.assert_chinese_caption(options, self.screenshot("caption-options-window"))

        drv.click(options["hwnd"], O_BROWSE)
        dialog = drv.tree(drv.wait("#32770", 10000, title="请选择提醒音乐")["hwnd"])
        time.sleep(0.5)
        self.assert_chinese_caption(dialog, self.screenshot("caption-file-dialog"))
        drv.close(dialog["hwnd"])
        drv.call("waitgone", dialog["hwnd"], 5000)
        drv.close(options["hwnd"])
