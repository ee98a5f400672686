"""The clock ticking in the real program: the face follows a fake clock, the
colon blinks, and the program never stops answering while it does."""

import time

import harness
from harness import E2ETestCase

MAIN_HOUR, MAIN_MINUTE, COLON = 1010, 1009, 1007
FIELD_HOUR, FIELD_MINUTE = 1029, 1030


class Ticking(E2ETestCase):
    @classmethod
    def setUpClass(cls):
        drv = cls.driver()
        cls.program = cls.launch(fake_time="@2011-04-15 09:08:30")
        cls.hwnd = drv.wait("QuorvelMain", 15000)["hwnd"]
        appeared = time.monotonic()
        cls.face = cls.poll(
            lambda: (drv.text(cls.hwnd, MAIN_HOUR), drv.text(cls.hwnd, MAIN_MINUTE)) == ("09", "08"),
            timeout=3,
        )
        cls.face_after = time.monotonic() - appeared

    def test_face_shows_the_fake_time_in_two_digits(self):
        drv = self.driver()
        self.assertTrue(self.face, (drv.text(self.hwnd, MAIN_HOUR), drv.text(self.hwnd, MAIN_MINUTE)))
        self.assertLess(self.face_after, 2.0)  # the first tick comes about a second after start
        self.assertEqual(drv.text(self.hwnd, FIELD_HOUR), "9")
        self.assertEqual(drv.text(self.hwnd, FIELD_MINUTE), "8")

    def test_colon_blinks(self):
        drv = self.driver()
        seen = set()
        deadline = time.monotonic() + 4
        while time.monotonic() < deadline and len(seen) < 2:
            text = drv.text(self.hwnd, COLON)
            if text not in seen:
                self.screenshot("clock-colon-on" if text == ":" else "clock-colon-off")
            seen.add(text)
            time.sleep(0.07)
        self.assertEqual(seen, {":", ""})

    def test_both_digits_of_each_pair_whole(self):
        # The face's font has half-width digits (0.5 em, as SimHei's), so a
        # pair fits its label; a wider stand-in cuts the right digit.
        drv = self.driver()
        shot = self.screenshot("clock-face")
        labels = {c["id"]: c["rect"] for c in drv.tree(self.hwnd)["children"]}
        for label in (MAIN_HOUR, MAIN_MINUTE):
            r = labels[label]
            rows = harness.gray_pixels(shot, r["x"], r["y"], r["w"], r["h"])
            rows = [row for row in rows if min(row) <= 40]  # not a line of the frame behind
            inked = [any(row[x] > 40 for row in rows) for x in range(r["w"])]
            runs, start = [], None
            for x, ink in enumerate(inked + [False]):
                if ink and start is None:
                    start = x
                elif not ink and start is not None:
                    runs.append((start, x))
                    start = None
            widths = [end - begin for begin, end in runs]
            self.assertEqual(len(runs), 2, (label, runs))
            self.assertLess(runs[-1][1], r["w"], f"{label}: ink reaches the label's right edge {runs}")
            self.assertGreaterEqual(widths[1], widths[0] - 4, f"{label}: right digit cut {runs}")

    def test_answers_at_once_while_ticking(self):
        # Round trips through the window's queue over several ticks: a tick
        # that blocked the thread would show as a half-second stall.
        drv = self.driver()
        worst = []
        deadline = time.monotonic() + 3.5
        while time.monotonic() < deadline:
            worst.append(drv.call("ping", self.hwnd, 50)["max_us"])
            time.sleep(0.02)
        print(f"    round trips: {len(worst)} runs, worst {max(worst) / 1000:.1f} ms,"
              f" median of runs {sorted(worst)[len(worst) // 2] / 1000:.2f} ms")
        self.assertLess(max(worst), 50_000, f"worst round trip {max(worst) / 1000:.1f} ms")


class DaylightSaving(E2ETestCase):
    def test_face_follows_the_change_to_summer_time(self):
        # In Berlin, 2011-03-27 02:00 local became 03:00: the system clock's
        # local time jumps an hour, and the face goes with it.
        drv = self.driver()
        self.start_program(fake_time="@2011-03-27 01:59:57", env={"TZ": "Europe/Berlin"})
        hwnd = drv.wait("QuorvelMain", 15000)["hwnd"]
        seen = set()
        deadline = time.monotonic() + 8
        while time.monotonic() < deadline and "03:00" not in seen:
            seen.add(f"{drv.text(hwnd, MAIN_HOUR)}:{drv.text(hwnd, MAIN_MINUTE)}")
            time.sleep(0.05)
        self.assertIn("03:00", seen)
        self.assertFalse({s for s in seen if s.startswith("02")}, seen)
        self.assertEqual((drv.text(hwnd, FIELD_HOUR), drv.text(hwnd, FIELD_MINUTE)), ("3", "0"))
