"""The blue control skin on the real program's standard controls: exactly one
skin on each after the options window has been opened twice, and the skinned
file dialog and alarm box saved for review; no GDI object or window left
behind by opening and closing the options window."""

import time

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
