"""Pieces of the Win32 layer that the whole program cannot be pushed into
from outside, run on their own by platform_probe.exe."""

import subprocess

from harness import E2ETestCase


class Platform(E2ETestCase):
    def test_refused_window_regions_are_freed(self):
        ctx = self.ctx()
        probe = ctx.driver.exe.parent / "platform_probe.exe"
        proc = subprocess.Popen(
            [ctx.session.wine, str(probe), "refused-regions", "2000"],
            env=ctx.session.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL, text=True)
        try:
            ready = proc.stdout.readline().split()
            self.assertEqual(ready[:1], ["ready"], ready)
            pid = int(ready[1])
            before = ctx.driver.call("objects", pid)["gdi"]
            proc.stdin.write("\n")
            proc.stdin.flush()
            self.assertEqual(proc.stdout.readline().strip(), "done")
            after = ctx.driver.call("objects", pid)["gdi"]
            proc.stdin.write("\n")
            proc.stdin.flush()
            self.assertEqual(proc.wait(timeout=10), 0)
        finally:
            proc.kill()
        self.assertGreater(before, 0)
        self.assertEqual(after, before, "a refused region was not freed")
