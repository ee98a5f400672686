"""Start-up: the main window as it first appears, the web page asked for at
start, and the end of the program when the window is closed from outside."""

import time

import harness
from harness import E2ETestCase

CONTROL = "QuorvelControl"  # picture box, label, transparent label, picture button
MAIN = 0  # parent: the main window itself

# The main window's design, topmost first. Id is 1000 + the design row; the
# timer is a hidden window of its own too. Text: the control text at start, None
# where the control has none to check (pictures).
# fmt: off
MAIN_ROWS = [
    # name                 id    class      parent shown  text at start
    ("图形按钮2",          1001, CONTROL,   MAIN, True,  None),
    ("编辑框2",            1002, "Edit",    MAIN, False, "0"),
    ("编辑框1",            1003, "Edit",    MAIN, False, ""),
    ("透明标签4",          1004, CONTROL,   MAIN, True,  ""),
    ("图形按钮1",          1005, CONTROL,   MAIN, True,  None),
    ("按钮1",              1006, "Button",  MAIN, False, "按钮"),
    ("透明标签3",          1007, CONTROL,   MAIN, True,  ""),
    ("时钟1",              1008, CONTROL,   MAIN, False, ""),
    ("透明标签2",          1009, CONTROL,   MAIN, True,  ""),
    ("透明标签1",          1010, CONTROL,   MAIN, True,  ""),
    ("状态栏3",            1011, CONTROL,   MAIN, True,  None),
    ("状态栏2",            1012, CONTROL,   MAIN, True,  None),
    ("状态栏1",            1013, CONTROL,   MAIN, True,  None),
    ("边框右",             1014, CONTROL,   MAIN, True,  None),
    ("边框左",             1015, CONTROL,   MAIN, True,  None),
    ("标题栏按钮_关闭",    1016, CONTROL,   1019, True,  None),
    ("标题栏按钮_最大化",  1017, CONTROL,   1019, True,  None),
    ("标题栏按钮_最小化",  1018, CONTROL,   1019, True,  None),
    ("标题栏4",            1019, CONTROL,   MAIN, True,  None),
    ("标题栏3",            1020, CONTROL,   MAIN, True,  None),
    ("标题栏6",            1021, CONTROL,   MAIN, True,  " 现在是：2011年4月15日"),
    ("标题栏2",            1022, CONTROL,   MAIN, True,  "    Quorvel免费版V1.0"),
    ("标题栏5",            1023, CONTROL,   MAIN, True,  None),
    ("标题栏1",            1024, CONTROL,   MAIN, True,  None),
    ("透明标签5",          1025, CONTROL,   MAIN, True,  ""),
    ("透明标签6",          1026, CONTROL,   MAIN, True,  ""),
    ("透明标签7",          1027, CONTROL,   MAIN, True,  "透明标签"),
    ("透明标签8",          1028, CONTROL,   MAIN, True,  "透明标签"),
    ("透明标签9",          1029, CONTROL,   MAIN, True,  "透明标签"),
    ("透明标签10",         1030, CONTROL,   MAIN, True,  "透明标签"),
]
# fmt: on
ROW = {name: (cid, cls, parent, shown, text) for name, cid, cls, parent, shown, text in MAIN_ROWS}

# Written by the clock tick: their texts at start hold only until it runs.
TICK_WRITTEN = {"透明标签3", "透明标签2", "透明标签1", "透明标签9", "透明标签10"}

CAPTION = "Quorvel免费版V1.0"
FAKE_START = "@2011-04-15 07:04:40"
WIDTH, HEIGHT = 379, 195
# Reads this soon after the window appears come before the first tick.
BEFORE_TICK_S = 0.8


def expected_tree(parent=MAIN, depth=0):
    """(depth, parent id, id, class) of every window, in the driver's walk order."""
    out = []
    for name, cid, cls, par, _, _ in MAIN_ROWS:
        if par == parent and cls is not None:
            out.append((depth, parent, cid, cls))
            out += expected_tree(cid, depth + 1)
    return out


class StartUp(E2ETestCase):
    """One start under a fake clock, looked at from several sides."""

    @classmethod
    def setUpClass(cls):
        drv = cls.driver()
        cls.program = cls.launch(fake_time=FAKE_START)
        cls.main = drv.wait("QuorvelMain", 15000)
        appeared = time.monotonic()
        cls.hwnd = cls.main["hwnd"]
        # The fields the first tick overwrites are read first, one by one.
        cls.early = {name: drv.text(cls.hwnd, ROW[name][0]) for name in sorted(TICK_WRITTEN)}
        cls.early_s = time.monotonic() - appeared
        cls.tree = drv.tree(cls.hwnd)
        cls.screenshot("startup")

    def test_window_is_centred_and_borderless(self):
        rect = self.tree["rect"]
        self.assertEqual(
            (rect["x"], rect["y"], rect["w"], rect["h"]),
            ((harness.SCREEN_W - WIDTH) // 2, (harness.SCREEN_H - HEIGHT) // 2, WIDTH, HEIGHT),
        )
        client = self.tree["client"]
        self.assertEqual((client["w"], client["h"]), (WIDTH, HEIGHT), "a frame takes room")
        style = self.tree["style"]
        self.assertTrue(style & harness.WS_POPUP, hex(style))
        self.assertFalse(style & (harness.WS_CAPTION | harness.WS_THICKFRAME | harness.WS_CHILD), hex(style))
        self.assertFalse(self.tree["exstyle"] & harness.WS_EX_TOPMOST, "always on top")
        self.assertEqual(self.tree["text"], CAPTION)

    def test_no_taskbar_button(self):
        self.assertFalse(self.tree["exstyle"] & harness.WS_EX_APPWINDOW, hex(self.tree["exstyle"]))
        owner = self.tree["owner"]
        self.assertIsNotNone(owner, "an unowned top-level window gets a taskbar button")
        self.assertEqual(owner["class"], "QuorvelOwner")
        self.assertFalse(owner["visible"])
        self.assertEqual(owner["pid"], self.tree["pid"])

    def test_controls_in_design_order(self):
        got = [(c["depth"], c["parent_id"], c["id"], c["class"]) for c in self.tree["children"]]
        self.assertEqual(got, expected_tree())

    def test_shown_and_hidden_controls(self):
        by_id = {c["id"]: c for c in self.tree["children"]}
        for name, cid, cls, _, shown, _ in MAIN_ROWS:
            if cls is None or cid not in by_id:
                continue
            with self.subTest(name):
                self.assertEqual(by_id[cid]["visible"], shown)
                self.assertTrue(by_id[cid]["enabled"])

    def test_texts_at_start(self):
        by_id = {c["id"]: c["text"] for c in self.tree["children"]}
        for name, cid, _, _, _, text in MAIN_ROWS:
            if text is None or name in TICK_WRITTEN:
                continue
            with self.subTest(name):
                self.assertEqual(by_id.get(cid), text)

    def test_tick_fields_before_first_tick(self):
        if self.early_s > BEFORE_TICK_S:
            self.skipTest(f"first reads took {self.early_s:.2f} s; the tick may have run")
        self.assertEqual(self.early, {name: ROW[name][4] for name in TICK_WRITTEN})

    def test_first_tick_writes_current_hour_and_minute(self):
        drv = self.driver()
        hour = self.poll(lambda: (t := drv.text(self.hwnd, 1029)) != "透明标签" and t, timeout=5)
        self.assertEqual(hour, "7", "fake clock starts at 07:04:40")
        self.assertEqual(drv.text(self.hwnd, 1030), "4")

    def test_web_page_asked_for_once(self):
        beside = self.ctx().exe.parent / "help.html"
        self.assertTrue(beside.is_file(), f"{beside} missing: the build puts help.html beside the exe")
        self.poll(self.program.browser_requests, timeout=5)
        time.sleep(0.5)  # a second request would come as quickly as the first
        asked = self.program.browser_requests()
        self.assertEqual(len(asked), 1, asked)
        self.assertEqual(harness.file_url_path(asked[0]), str(beside.resolve()), asked[0])


class CloseFromOutside(E2ETestCase):
    def test_wm_close_ends_process_with_exit_code_0(self):
        drv = self.driver()
        program = self.start_program(fake_time=FAKE_START)
        hwnd = drv.wait("QuorvelMain", 15000)["hwnd"]
        drv.close(hwnd)
        self.assertEqual(program.wait(timeout=10), 0)
        self.assertFalse(drv.call("find", "QuorvelOwner", check=False)["ok"], "owner window left behind")
