#!/usr/bin/env python3
"""End-to-end tests of the lumarian command where its surroundings are not what it expects:
closed standard descriptors, devices that are plain files, displays that cannot be reached."""

import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

BINARY = None
FIXTURES = None


def a_fixture():
    return os.path.join(FIXTURES, sorted(f for f in os.listdir(FIXTURES) if f.endswith(".txt"))[0])


def in_shell(script, *args, env=None):
    """Runs the shell script with $0 the program and $1... the arguments."""
    return subprocess.run(["sh", "-c", script, BINARY, *args], stdin=subprocess.DEVNULL,
                          capture_output=True, timeout=120, env=env)


class ClosedDescriptors(unittest.TestCase):
    def test_a_closed_standard_output_fails_every_command_that_writes_there(self):
        # The descriptor is reopened on /dev/null, so that a file opened later cannot take its
        # place; a result written there would be lost, so the command fails instead.
        for arguments in ('--report --load "$1"', '--report --json --load "$1"',
                          '--dump --load "$1"', "--version", "--help"):
            with self.subTest(arguments=arguments):
                result = in_shell('exec "$0" ' + arguments + " >&-", a_fixture())
                self.assertEqual(result.returncode, 1, result.stderr)
                self.assertEqual(result.stderr,
                                 b"lumarian: standard output is closed; nothing was written\n")
                # With standard error closed too, the status alone says so.
                result = in_shell('exec "$0" ' + arguments + " >&- 2>&-", a_fixture())
                self.assertEqual(result.returncode, 1)

    def test_a_closed_standard_output_fails_the_report_in_the_windows_place(self):
        # The window program is started with standard output as it was found; without a
        # display it writes the report, which has nowhere to go.
        env = {name: value for name, value in os.environ.items()
               if name not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        env["DISPLAY"] = ":987"
        result = in_shell('exec "$0" --load "$1" >&-', a_fixture(), env=env)
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertTrue(result.stderr.endswith(
            b"lumarian: standard output is closed; nothing was written\n"), result.stderr)

    def test_closed_input_and_error_leave_the_report_whole(self):
        result = in_shell('exec "$0" --report --load "$1" <&- 2>&-', a_fixture())
        self.assertEqual(result.returncode, 0)
        self.assertIn(b"==== CPU #1 ====", result.stdout)

    def test_a_bad_option_stays_a_usage_error(self):
        result = in_shell('exec "$0" --no-such-option >&-')
        self.assertEqual(result.returncode, 2)


def without_display(**variables):
    """The environment of this process without any display, plus `variables`."""
    env = {name: value for name, value in os.environ.items()
           if name not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(variables)
    return env


class Display(unittest.TestCase):
    def run_window(self, **variables):
        return subprocess.run([BINARY, "--load", a_fixture()], env=without_display(**variables),
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=30)

    def test_a_display_that_cannot_be_reached_gives_one_line_and_the_report(self):
        with tempfile.TemporaryDirectory() as runtime:
            cases = [{"DISPLAY": ":987"},
                     {"WAYLAND_DISPLAY": "wayland-987", "XDG_RUNTIME_DIR": runtime},
                     {"DISPLAY": ":987", "WAYLAND_DISPLAY": "wayland-987"},
                     {"QT_QPA_PLATFORM": "xcb"}]
            for variables in cases:
                with self.subTest(**variables):
                    result = self.run_window(**variables)
                    self.assertEqual(result.returncode, 0, result.stderr)
                    self.assertIn(b"==== CPU #1 ====", result.stdout)
                    self.assertEqual(result.stderr.count(b"\n"), 1, result.stderr)
                    self.assertIn(b"no display", result.stderr)

    def test_platforms_that_show_nothing_are_no_display(self):
        for platform in ("offscreen", "minimal"):
            with self.subTest(platform=platform):
                result = self.run_window(QT_QPA_PLATFORM=platform, DISPLAY=":987")
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertIn(b"==== CPU #1 ====", result.stdout)
                self.assertEqual(result.stderr, b"")


def sanitized():
    """True for a build with AddressSanitizer, which cannot run in a small address space."""
    with open(BINARY, "rb") as f:
        return b"__asan_init" in f.read()


def big_listing(folder):
    """A listing of as many processors as one file may hold, in the syntax of cpuid -r."""
    path = os.path.join(folder, "4096.txt")
    with open(path, "w") as f:
        for cpu in range(4096):
            f.write("CPU %d:\n" % cpu)
            f.write("   0x00000000 0x00: eax=0x0000000d ebx=0x756e6547 ecx=0x6c65746e "
                    "edx=0x49656e69\n")
            f.write("   0x00000001 0x00: eax=0x000306a9 ebx=0x00100800 ecx=0x7fbae3ff "
                    "edx=0xbfebfbff\n")
    return path


@unittest.skipUnless(shutil.which("prlimit"), "needs prlimit")
class Limits(unittest.TestCase):
    """Under limits of memory, processes and descriptors: one line naming what was short and
    a status, never an abort or a signal."""

    def run_limited(self, limit, *arguments, env=None, user=False):
        command = ["prlimit", limit, "--"]
        if user and os.geteuid() == 0:  # limits of processes do not hold for root
            # A user of its own, whom no other process on the machine counts against.
            own = str(4000000 + os.getpid() % 1000000)
            command += ["setpriv", "--reuid=" + own, "--regid=" + own, "--clear-groups", "--"]
        return subprocess.run(command + [BINARY, *arguments], stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=120, env=env, cwd="/")

    def test_a_listing_too_large_for_the_memory_given_is_status_2(self):
        if sanitized():
            self.skipTest("the sanitizers need a large address space")
        with tempfile.TemporaryDirectory() as folder:
            os.chmod(folder, 0o755)
            big = big_listing(folder)
            # The same limit leaves room for a small listing: the limit is not the fault.
            result = self.run_limited("--as=60000000", "--report", "--load", a_fixture())
            self.assertEqual(result.returncode, 0, result.stderr)
            for arguments in (["--report"], ["--report", "--json"]):
                with self.subTest(arguments=arguments):
                    result = self.run_limited("--as=60000000", *arguments, "--load", big)
                    self.assertEqual(result.returncode, 2, result.stderr)
                    self.assertEqual(result.stderr, b"lumarian: out of memory: the listings are "
                                     b"too large for the memory given\n")
                    self.assertEqual(result.stdout, b"")

    @unittest.skipUnless(os.geteuid() != 0 or shutil.which("setpriv"), "needs setpriv as root")
    def test_no_thread_to_be_had_is_one_line_and_status_1(self):
        for arguments in (["--report"], ["--report", "--json"]):
            with self.subTest(arguments=arguments):
                result = self.run_limited("--nproc=1", *arguments, "--load", a_fixture(),
                                          user=True)
                self.assertEqual(result.returncode, 1, result.stderr)
                self.assertRegex(result.stderr, rb"^lumarian: cannot start a thread: [^\n]+\n$")

    def test_too_few_descriptors_for_the_window_is_one_line_and_status_1(self):
        result = self.run_limited("--nofile=8", "--load", a_fixture(),
                                  env=without_display(DISPLAY=":987"))
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertEqual(result.stderr,
                         b"lumarian: too few file descriptors for the window: it needs 32 free\n")
        # The report needs few; it is written whole.
        result = self.run_limited("--nofile=8", "--report", "--load", a_fixture())
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(b"==== CPU #1 ====", result.stdout)


def private_mounts_work():
    if os.geteuid() != 0:
        return False
    try:
        return subprocess.run(["unshare", "-m", "--propagation", "private", "true"],
                              capture_output=True, timeout=30).returncode == 0
    except (OSError, subprocess.SubprocessError):
        return False


@unittest.skipUnless(private_mounts_work(), "needs root and a private mount namespace")
class FakeDevices(unittest.TestCase):
    """As root, in a private mount namespace whose /dev is a read-only folder of plain files
    standing for the port and register devices (and the real /dev/null): what the program
    opens there, and how, shows in the files and in its report."""

    def run_live(self, dev, command):
        script = ('mount --bind /dev/null "$1/null" && mount --rbind "$1" /dev && '
                  'mount -o remount,bind,ro /dev && ' + command)
        return subprocess.run(["unshare", "-m", "--propagation", "private", "sh", "-c", script,
                               BINARY, dev], stdin=subprocess.DEVNULL, capture_output=True,
                              timeout=120)

    def test_devices_are_opened_read_only_and_never_receive_the_report(self):
        with tempfile.TemporaryDirectory() as dev:
            files = {os.path.join(dev, "port"): bytes(range(256)) * 64}
            for cpu in range(os.cpu_count()):
                os.makedirs(os.path.join(dev, "cpu", str(cpu)))
                files[os.path.join(dev, "cpu", str(cpu), "msr")] = b"\x5a" * 4096
            for path, content in files.items():
                with open(path, "wb") as f:
                    f.write(content)
            open(os.path.join(dev, "null"), "wb").close()

            # Standard output closed: no device opened later may take its place, and the
            # report that has nowhere to go is a failure.
            result = self.run_live(dev, '"$0" --report >&-')
            self.assertEqual(result.returncode, 1, result.stderr)
            self.assertEqual(result.stderr.count(b"\n"), 1, result.stderr)
            for path, content in files.items():
                with open(path, "rb") as f:
                    self.assertEqual(f.read(), content, path)

            # On a read-only /dev only a device opened for reading opens.
            result = self.run_live(dev, '"$0" --report --json')
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertTrue(json.loads(result.stdout)["driver_loaded"])


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--fixtures", required=True)
    options, rest = parser.parse_known_args()
    BINARY = os.path.abspath(options.binary)
    FIXTURES = os.path.abspath(options.fixtures)
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)
