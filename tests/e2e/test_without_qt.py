#!/usr/bin/env python3
"""The command line never loads Qt: the lumarian program file needs no Qt library, and its
usage, version, reports and dumps, of this machine and of loaded listings, run without one
ever being mapped, even with a display named. Only where a window is wanted does the window
program beside it take its place, and Qt comes with that; without it, the report follows one
line saying so."""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

BINARY = None
FIXTURES = None

QT_LIBRARY = re.compile(r"^libQt6\w*\.so")
# The dynamic loader's log of every file it maps: "  1234:\tfile=libc.so.6 [0];  needed by ...".
MAPPED_FILE = re.compile(rb"^\s*\d+:\s+file=(\S+)", re.M)


def a_fixture():
    return os.path.join(FIXTURES, sorted(f for f in os.listdir(FIXTURES) if f.endswith(".txt"))[0])


def environment(**variables):
    """This process's environment without any display or Qt platform, plus `variables`."""
    env = {name: value for name, value in os.environ.items()
           if name not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(variables)
    return env


def run_logged(args, env):
    """Runs the program with the dynamic loader logging every file it maps, in this process
    and any it becomes or starts; the run and the base names of the files mapped."""
    with tempfile.TemporaryDirectory() as logs:
        env = dict(env, LD_DEBUG="files", LD_DEBUG_OUTPUT=os.path.join(logs, "ld"))
        result = subprocess.run([BINARY, *args], env=env, stdin=subprocess.DEVNULL,
                                capture_output=True, timeout=120)
        mapped = set()
        for name in os.listdir(logs):
            with open(os.path.join(logs, name), "rb") as f:
                mapped.update(os.path.basename(path).decode("utf-8", "replace")
                              for path in MAPPED_FILE.findall(f.read()))
    return result, mapped


class WithoutQt(unittest.TestCase):
    def test_the_program_file_needs_no_qt_library(self):
        readelf = shutil.which("readelf")
        self.assertIsNotNone(readelf, "readelf is needed (binutils)")
        dynamic = subprocess.run([readelf, "-d", BINARY], capture_output=True, text=True,
                                 check=True).stdout
        needed = re.findall(r"\(NEEDED\)\s+Shared library: \[([^\]]+)\]", dynamic)
        self.assertIn("libc.so.6", needed)  # the section was read at all
        self.assertEqual([name for name in needed if QT_LIBRARY.match(name)], [])

    def test_nothing_but_the_window_maps_a_qt_library(self):
        fixture = a_fixture()
        # A display is named but cannot be reached: only where a window is wanted may that
        # matter.
        unreachable = environment(DISPLAY=":987")
        cases = [
            (["--help"], unreachable, b"--report"),
            (["--version"], unreachable, b"version"),
            (["-nodriver", "--report", "--all"], unreachable, b"==== CPU #1 ===="),
            (["-nodriver", "--report", "--json"], unreachable, b'"processors"'),
            # Headed by whichever processors this process may run on; leaf 0 is in every dump.
            (["--dump"], unreachable, b"   0x00000000 0x00: eax="),
            (["--load", fixture, "--report"], unreachable, b"==== CPU #1 ===="),
            (["--load", fixture, "--dump"], unreachable, b"CPU 0:"),
            # No display named: the text report, as the command writes it itself.
            (["--load", fixture], environment(), b"==== CPU #1 ===="),
            (["--load", fixture], environment(QT_QPA_PLATFORM="offscreen"), b"==== CPU #1 ===="),
        ]
        for args, env, shown in cases:
            with self.subTest(args=args, display=env.get("DISPLAY"),
                              platform=env.get("QT_QPA_PLATFORM")):
                result, mapped = run_logged(args, env)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertIn(shown, result.stdout)
                # The loader's log was written: the program's own libraries are in it.
                self.assertIn("libc.so.6", mapped)
                self.assertEqual(sorted(name for name in mapped if QT_LIBRARY.match(name)), [])


class WindowProgram(unittest.TestCase):
    def test_a_wanted_window_brings_qt_with_the_window_program(self):
        # The same log sees Qt where the window program runs: the display cannot be reached,
        # so it gives its one line and the report.
        result, mapped = run_logged(["--load", a_fixture()], environment(DISPLAY=":987"))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(b"==== CPU #1 ====", result.stdout)
        # One line, with the platform's own reason.
        self.assertEqual(result.stderr,
                         b"lumarian: no display could be opened (could not connect to display "
                         b":987); writing the text report instead\n")
        self.assertIn("libQt6Widgets.so.6", mapped)

    def test_without_the_window_program_the_report_follows_one_line(self):
        with tempfile.TemporaryDirectory() as folder:
            alone = os.path.join(folder, "lumarian")
            shutil.copy(BINARY, alone)
            result = subprocess.run([alone, "--load", a_fixture()],
                                    env=environment(DISPLAY=":987"), stdin=subprocess.DEVNULL,
                                    capture_output=True, timeout=120)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(b"==== CPU #1 ====", result.stdout)
        window = os.path.join(folder, "lumarian-window").encode()
        self.assertEqual(result.stderr, b"lumarian: cannot start the window program '" + window +
                         b"': No such file or directory; writing the text report instead\n")


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--fixtures", required=True)
    options, rest = parser.parse_known_args()
    BINARY = os.path.abspath(options.binary)
    FIXTURES = os.path.abspath(options.fixtures)
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)
