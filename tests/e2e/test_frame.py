"""The skinned frame of the real window: its laid-out pieces and rounded
region, maximise and restore, a real mouse drag by the title strip, the
notification-area icon, and the close button."""

import time

import harness
from harness import E2ETestCase

MAX, MIN, CLOSE, TITLE, DATE_ROW = 1017, 1018, 1016, 1022, 1021
WORKED_EXAMPLE = {  # id: (x, y, w, h) at 379 x 195
    1024: (0, 0, 5, 52), 1023: (373, 0, 6, 52), 1019: (313, 0, 60, 22), 1020: (308, 0, 5, 22),
    1022: (5, 0, 303, 22), 1021: (5, 22, 368, 30), 1013: (0, 171, 3, 24),
    1011: (376, 171, 3, 24), 1012: (3, 171, 373, 24), 1015: (0, 52, 3, 119),
    1014: (376, 52, 3, 119),
}
WM_LBUTTONUP = 0x0202
TRAY_CALLBACK = 0x8001  # WM_APP + 1


def rect(r):
    return (r["x"], r["y"], r["w"], r["h"])


def pieces(tree):
    out = {}

    def walk(children):
        for c in children:
            out[c["id"]] = c
            walk(c.get("children", []))

    walk(tree["children"])
    return out


class Frame(E2ETestCase):
    def setUp(self):
        self.drv = self.driver()
        self.program = self.start_program(fake_time="@2011-04-15 12:00:00")
        self.hwnd = self.drv.wait("QuorvelMain", 15000)["hwnd"]

    def test_layout_region_maximise_and_restore(self):
        tree = self.drv.tree(self.hwnd)
        got = {i: rect(pieces(tree)[i]["rel"]) for i in WORKED_EXAMPLE}
        self.assertEqual(got, WORKED_EXAMPLE)
        self.assertEqual(tree["region"]["type"], "complex", tree["region"])  # rounded corners
        box = rect(tree["region"]["box"])
        self.assertEqual(box[:2], (0, 0))
        self.assertIn(box[2:], ((379, 195), (380, 196)))
        normal = rect(tree["rect"])

        self.drv.click(self.hwnd, MAX)
        maxed = self.poll(lambda: rect(self.drv.tree(self.hwnd)["rect"]) != normal, 5)
        self.assertTrue(maxed)
        tree = self.drv.tree(self.hwnd)
        w, h = tree["rect"]["w"], tree["rect"]["h"]
        self.assertEqual((w, h), (harness.SCREEN_W, harness.SCREEN_H))  # no taskbar under Xvfb
        p = pieces(tree)
        self.assertEqual(rect(p[1023]["rel"]), (w - 6, 0, 6, 52))
        self.assertEqual(rect(p[1012]["rel"]), (3, h - 24, w - 6, 24))
        self.screenshot("frame-maximised")
        # A maximised window does not move by its title.
        t = p[TITLE]["rect"]
        self.ctx().session.xdotool("mousemove", t["x"] + 100, t["y"] + 10, "mousedown", 1,
                                   "mousemove", t["x"] + 160, t["y"] + 60, "mouseup", 1)
        time.sleep(0.3)
        self.assertEqual(rect(self.drv.tree(self.hwnd)["rect"]), (0, 0, w, h))

        self.drv.click(self.hwnd, MAX)
        self.assertTrue(self.poll(lambda: rect(self.drv.tree(self.hwnd)["rect"]) == normal, 5))
        self.assertEqual({i: rect(pieces(self.drv.tree(self.hwnd))[i]["rel"]) for i in WORKED_EXAMPLE},
                         WORKED_EXAMPLE)
        self.screenshot("frame-normal")

    def test_drag_by_title_strip_only(self):
        session = self.ctx().session
        start = rect(self.drv.tree(self.hwnd)["rect"])
        date_row = pieces(self.drv.tree(self.hwnd))[DATE_ROW]["rect"]
        session.xdotool("mousemove", date_row["x"] + 150, date_row["y"] + 15, "mousedown", 1,
                        "mousemove", date_row["x"] + 200, date_row["y"] + 45, "mouseup", 1)
        time.sleep(0.3)
        self.assertEqual(rect(self.drv.tree(self.hwnd)["rect"]), start)

        title = pieces(self.drv.tree(self.hwnd))[TITLE]["rect"]
        x, y = title["x"] + 150, title["y"] + 11
        session.xdotool("mousemove", x, y, "mousedown", 1)
        for step in range(1, 11):
            session.xdotool("mousemove", x + 5 * step, y + 3 * step)
            time.sleep(0.03)
        session.xdotool("mouseup", 1)
        moved = self.poll(lambda: rect(self.drv.tree(self.hwnd)["rect"]) != start, 3)
        self.assertTrue(moved)
        end = rect(self.drv.tree(self.hwnd)["rect"])
        self.assertEqual((end[0] - start[0], end[1] - start[1]), (50, 30))
        # A double click on the title of a normal window changes nothing.
        session.xdotool("mousemove", x + 60, y + 30, "click", "--repeat", 2, "--delay", 80, 1)
        time.sleep(0.4)
        self.assertEqual(rect(self.drv.tree(self.hwnd)["rect"]), end)

    def test_minimise_to_tray_restore_and_close(self):
        self.drv.click(self.hwnd, MIN)
        self.assertTrue(self.poll(lambda: not self.drv.tree(self.hwnd)["visible"], 5))
        tray = self.drv.call("find", "QuorvelTray")["hwnd"]
        self.drv.call("post", tray, TRAY_CALLBACK, 1, WM_LBUTTONUP)
        self.assertTrue(self.poll(lambda: self.drv.tree(self.hwnd)["visible"], 5))
        self.drv.click(self.hwnd, CLOSE)
        self.assertEqual(self.program.wait(timeout=10), 0)
