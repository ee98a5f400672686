"""A short soak of the real program: many frame layouts and clock ticks
leave its GDI objects and windows where they were. The long soak, with
memory, is bench/soak.py."""

import harness
from harness import E2ETestCase


class Soak(E2ETestCase):
    def test_layouts_and_ticks_leave_no_objects_behind(self):
        drv = self.driver()
        self.start_program(fake_time="@2011-04-14 23:59:30 x20")  # crosses midnight
        main = drv.wait("QuorvelMain", 15000)["hwnd"]
        pid = drv.tree(main)["pid"]
        harness.lay_out(drv, main, 50)  # the first layouts and ticks fill caches
        harness.tick(drv, main, 50)
        before = harness.settled_objects(drv, pid)
        self.assertGreater(before["gdi"], 0, before)

        harness.lay_out(drv, main, 2000)
        harness.tick(drv, main, 500)
        after = harness.settled_objects(drv, pid)
        self.assertEqual((after["gdi"], after["windows"]), (before["gdi"], before["windows"]),
                         (before, after))
        self.assertEqual(drv.text(main, 1021), " 现在是：2011年4月15日")
