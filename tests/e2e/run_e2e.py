#!/usr/bin/env python3
"""Runs the end-to-end tests (tests/e2e/test_*.py) against a Windows build
under Wine, in one or more Windows locales: one private session per locale,
stopped at the end whatever happens.

    run_e2e.py EXE QDRIVER [OUT] [-k PATTERN] [--locale LOCALE[=MODULES]]...

EXE is the program under test (quorvel-e2e.exe), QDRIVER the driver
(qdriver.exe), OUT the output folder (default: build): the sessions live in
OUT/e2e/LOCALE, screenshots go to OUT/screenshots/LOCALE. LOCALE is zh_CN
(the default) or en_US; MODULES, comma-separated, limits that locale's run
to those test modules or classes (startup, alarm.AlarmRoad). Each locale
ends with its own count; the last line says "N passed, N failed" for the
whole run, and the exit code is 0 only when nothing failed.
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


def parse_locale(value):
    """(locale, test id prefixes) of one --locale value."""
    locale, _, modules = value.partition("=")
    if locale not in harness.LOCALES:
        raise argparse.ArgumentTypeError(f"unknown locale {locale} (one of {', '.join(harness.LOCALES)})")
    prefixes = []
    for name in filter(None, modules.split(",")):
        name = name if name.startswith("test_") else "test_" + name
        prefixes.append(name + ".")
    return locale, prefixes


def selected(suite, prefixes):
    """The tests of `suite` whose id starts with one of `prefixes` (all when
    there are none), in discovery order."""
    if not prefixes:
        return suite
    picked = unittest.TestSuite()

    def walk(item):
        if isinstance(item, unittest.TestSuite):
            for child in item:
                walk(child)
        elif any(item.id().startswith(p) for p in prefixes + ["unittest.loader._FailedTest."]):
            picked.addTest(item)  # (a module that failed to import fails in every run)

    walk(suite)
    return picked


def run_locale(args, locale, prefixes):
    """Runs the selected tests in a fresh session for `locale`; its Result."""
    loader = unittest.TestLoader()
    if args.patterns:
        loader.testNamePatterns = [f"*{p}*" for p in args.patterns]
    suite = loader.discover(str(harness.E2E_DIR), pattern="test_*.py", top_level_dir=str(harness.E2E_DIR))
    suite = selected(suite, prefixes)

    print(f"== {locale} ==")
    session = harness.Session(args.out / "e2e" / locale, locale)
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
        raise
    except Exception:
        traceback.print_exc()
        result.failed += 1
    finally:
        t0 = time.monotonic()
        driver.stop()
        session.stop()
        print(f"session stopped in {time.monotonic() - t0:.1f} s")
        print(f"{locale}: {result.passed} passed, {result.failed} failed")
        sys.stdout.flush()
    return result


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("exe", type=Path, help="program under test (quorvel-e2e.exe)")
    parser.add_argument("qdriver", type=Path, help="driver (qdriver.exe)")
    parser.add_argument("out", type=Path, nargs="?", default=Path("build"), help="output folder")
    parser.add_argument("-k", dest="patterns", action="append", default=[],
                        help="only tests whose name contains this (repeatable)")
    parser.add_argument("--locale", dest="locales", action="append", type=parse_locale, default=[],
                        help="LOCALE[=MODULE,...]: run in this Windows locale (repeatable; default zh_CN)")
    args = parser.parse_args()
    for path in (args.exe, args.qdriver):
        if not path.is_file():
            print(f"run_e2e: {path} not found", file=sys.stderr)
            return 2

    signal.signal(signal.SIGTERM, interrupted)
    signal.signal(signal.SIGHUP, interrupted)

    passed = failed = 0
    try:
        for locale, prefixes in args.locales or [("zh_CN", [])]:
            result = run_locale(args, locale, prefixes)
            passed += result.passed
            failed += result.failed
    except KeyboardInterrupt:
        failed += 1
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
