"""The exe keeps starting on Windows 7 SP1: its import table names only
functions that Windows 7 SP1 exports (the committed list), and none of the
newer display-scale functions, which are looked up at run time."""

import subprocess
from pathlib import Path

from harness import E2ETestCase

LIST = Path(__file__).resolve().parent / "imports-win7.txt"
# Newer than Windows 7: never imported, only looked up.
NEWER = {
    "GetDpiForWindow", "GetDpiForSystem", "GetSystemMetricsForDpi", "AdjustWindowRectExForDpi",
    "SystemParametersInfoForDpi", "SetThreadDpiAwarenessContext", "GetDpiForMonitor",
    "SetProcessDpiAwarenessContext", "EnableNonClientDpiScaling", "GetSystemTimePreciseAsFileTime",
}


def imports(exe):
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(exe)], capture_output=True,
                          text=True, check=True, timeout=60).stdout
    found, dll = set(), None
    for line in dump.splitlines():
        words = line.split()
        if line.strip().startswith("DLL Name:"):
            dll = words[-1].upper()
        elif dll and len(words) == 3 and words[1].isdigit() and line.startswith("\t"):
            found.add(f"{dll}!{words[2]}")
    return found


class Windows7Imports(E2ETestCase):
    def test_every_import_is_exported_by_windows_7(self):
        allowed = {line.strip() for line in LIST.read_text().splitlines()
                   if line.strip() and not line.startswith("#")}
        exe = self.ctx().exe
        for program in (exe, exe.with_name("quorvel.exe")):
            with self.subTest(program=program.name):
                found = imports(program)
                self.assertGreater(len(found), 100, "import table not read")
                self.assertEqual(sorted(f for f in found if f.split("!")[1] in NEWER), [])
                self.assertEqual(sorted(found - allowed), [],
                                 f"not known to be exported by Windows 7 SP1: add to {LIST.name} "
                                 "only after checking, or look it up at run time")
