#!/usr/bin/env python3
"""Runs the end-to-end tests (tests/e2e/test_*.py) against a Windows build
under Wine: one private session for the whole run, stopped at the end
whatever happens.

    run_e2e.py EXE QDRIVER [OUT] [-k PATTERN]

EXE is the program under test (quorvel-e2e.exe), QDRIVER the driver
(qdriver.exe), OUT the output folder (default: build): the session lives in
OUT/e2e, screenshots go to OUT/screenshots. The last line says
"N passed, N failed"; the exit code is 0 only when nothing failed.
"""

import argparse
import signal
import sys
import time
import traceback
import unittest
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parent))
import harness  # noqa: E402


class Result(unittest.TestResult):
    """Prints each test as it ends, with its time; a test counts once, failed
    if any of its subtests failed."""

    def __init__(self):
        super().__init__()
        self.passed = 0
        self.failed = 0
        self._t0 = 0.0
        self._problems = []
        self._skipped = None
        self._class = None
        self._last = time.monotonic()

    def startTest(self, test):
        super().startTest(test)
        self._t0 = time.monotonic()
        if type(test) is not self._class:
            # Time since the last test: the class fixtures (program starts).
            self._class = type(test)
            print(f"{self._class.__name__} (fixtures {self._t0 - self._last:.2f} s)")
        self._problems = []
        self._skipped = None

    def _name(self, test):
        return test.id().split(".", 1)[-1] if "." in test.id() else test.id()

    def _problem(self, test, err, kind):
        self._problems.append((kind, self._name(test), self._exc_info_to_string(err, test)))

    def addError(self, test, err):
        super().addError(test, err)
        if isinstance(test, unittest.TestCase):
            self._problem(test, err, "ERROR")
        else:  # a class or module fixture failed: no test is running
            self.failed += 1
            print(f"ERROR {test.description}\n{self._indent(self._exc_info_to_string(err, test))}")
            sys.stdout.flush()

    def addFailure(self, test, err):
        super().addFailure(test, err)
        self._problem(test, err, "FAIL")

    def addSubTest(self, test, subtest, err):
        super().addSubTest(test, subtest, err)
        if err is not None:
            kind = "FAIL" if issubclass(err[0], test.failureException) else "ERROR"
            self._problem(subtest, err, kind)

    def addSkip(self, test, reason):
        super().addSkip(test, reason)
        self._skipped = reason

    def addUnexpectedSuccess(self, test):
        super().addUnexpectedSuccess(test)
        self._problems.append(("FAIL", self._name(test), "passed unexpectedly\n"))

    @staticmethod
    def _indent(text):
        return "".join("    " + line for line in text.splitlines(True))

    def stopTest(self, test):
        super().stopTest(test)
        self._last = time.monotonic()
        seconds = self._last - self._t0
        name = self._name(test)
        if self._skipped is not None:
            print(f"skip  {name} ({self._skipped})")
        elif self._problems:
            self.failed += 1
            print(f"FAIL  {name} ({seconds:.2f} s)")
            for kind, what, text in self._problems:
                print(f"  {kind} {what}\n{self._indent(text)}")
        else:
            self.passed += 1
            print(f"ok    {name} ({seconds:.2f} s)")
        sys.stdout.flush()


def interrupted(signum, frame):
    raise KeyboardInterrupt(f"signal {signum}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("exe", type=Path, help="program under test (quorvel-e2e.exe)")
    parser.add_argument("qdriver", type=Path, help="driver (qdriver.exe)")
    parser.add_argument("out", type=Path, nargs="?", default=Path("build"), help="output folder")
    parser.add_argument("-k", dest="patterns", action="append", default=[],
                        help="only tests whose name contains this (repeatable)")
    args = parser.parse_args()
    for path in (args.exe, args.qdriver):
        if not path.is_file():
            print(f"run_e2e: {path} not found", file=sys.stderr)
            return 2

    signal.signal(signal.SIGTERM, interrupted)
    signal.signal(signal.SIGHUP, interrupted)

    loader = unittest.TestLoader()
    if args.patterns:
        loader.testNamePatterns = [f"*{p}*" for p in args.patterns]
    suite = loader.discover(str(harness.E2E_DIR), pattern="test_*.py", top_level_dir=str(harness.E2E_DIR))

    session = harness.Session(args.out / "e2e")
    driver = harness.Driver(session, args.qdriver)
    result = Result()
    try:
        print(session.start())
        print(f"session ready in {session.start_seconds:.1f} s")
        sys.stdout.flush()
        driver.start()
        result._last = time.monotonic()
        harness.set_context(harness.Context(session, driver, args.exe, args.out))
        suite.run(result)
    except KeyboardInterrupt as stop:
        print(f"run_e2e: interrupted ({stop})")
        result.failed += 1
    except Exception:
        traceback.print_exc()
        result.failed += 1
    finally:
        t0 = time.monotonic()
        driver.stop()
        session.stop()
        print(f"session stopped in {time.monotonic() - t0:.1f} s")
    print(f"{result.passed} passed, {result.failed} failed")
    return 0 if result.failed == 0 and result.passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
