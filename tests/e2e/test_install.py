#!/usr/bin/env python3
"""The installed tree: `cmake --install` into a fresh prefix gives the program, the window
program it runs where a window is wanted, and its driver, the logo pictures under share/ (where
the installed program looks for them), a desktop entry that desktop-file-validate accepts, the
icon in the hicolor theme at every size, the polkit action that names the installed driver, and
a man page that covers every option."""

import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

CMAKE = None
BUILD = None
PREFIX = None
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
POLICY_DTD = "/usr/share/polkit-1/policyconfig-1.dtd"


def installed(*parts):
    return os.path.join(PREFIX, *parts)


def png_size(path):
    """Width and height from a PNG file's header chunk."""
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n" and head[12:16] == b"IHDR", path
    return struct.unpack(">II", head[16:24])


class InstalledTree(unittest.TestCase):
    def test_the_program_and_its_driver_run_from_the_prefix(self):
        for name in ("lumarian", "lumarian-window", "lumarian-driver"):
            with self.subTest(name=name):
                self.assertTrue(os.access(installed("bin", name), os.X_OK))
        version = subprocess.run([installed("bin", "lumarian"), "--version"],
                                 capture_output=True, timeout=60)
        self.assertEqual(version.stdout, b"Quorvane CPU Lumarian version 0.7\n")

    def test_the_installed_program_runs_the_installed_window_program(self):
        # A display is named that cannot be reached. Only the window program tries a display,
        # so its line saying so shows that the program found it; the report follows.
        env = {name: value for name, value in os.environ.items()
               if name not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        env["DISPLAY"] = ":987"
        result = subprocess.run([installed("bin", "lumarian"), "-nodriver"], env=env,
                                stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
        self.assertEqual(result.returncode, 0, result.stderr)
        # One line, with the platform's own reason.
        self.assertEqual(result.stderr,
                         b"lumarian: no display could be opened (could not connect to display "
                         b":987); writing the text report instead\n")
        self.assertRegex(result.stdout, rb"==== (CPU #1|\d+ processors alike) ====")

    def test_the_logo_pictures_are_under_share_and_none_beside_the_program(self):
        built = sorted(os.listdir(os.path.join(BUILD, "Logo")))
        self.assertTrue(built)
        self.assertEqual(sorted(os.listdir(installed("share", "lumarian", "Logo"))), built)
        self.assertFalse(os.path.exists(installed("bin", "Logo")))

    def test_the_desktop_entry_is_valid_and_starts_the_installed_program(self):
        entry = installed("share", "applications", "lumarian.desktop")
        validator = shutil.which("desktop-file-validate")
        self.assertIsNotNone(validator, "desktop-file-validate is needed (desktop-file-utils)")
        result = subprocess.run([validator, entry], capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertEqual(result.stdout + result.stderr, "")
        with open(entry) as f:
            text = f.read()
        # The prefix of these tests has a space: the path is quoted.
        self.assertIn(f"\nExec=\"{installed('bin', 'lumarian')}\"\n", text)
        self.assertIn("\nIcon=lumarian\n", text)

    def test_the_icon_is_in_the_hicolor_theme_at_every_size(self):
        for size in ICON_SIZES:
            with self.subTest(size=size):
                path = installed("share", "icons", "hicolor", f"{size}x{size}", "apps",
                                 "lumarian.png")
                self.assertEqual(png_size(path), (size, size))

    def test_the_polkit_action_lets_an_administrator_start_the_installed_driver(self):
        path = installed("share", "polkit-1", "actions", "org.quorvane.lumarian.policy")
        action = ElementTree.parse(path).getroot().find("action")
        self.assertEqual(action.get("id"), "org.quorvane.lumarian.driver")
        defaults = {d.tag: d.text for d in action.find("defaults")}
        self.assertEqual(defaults, {"allow_any": "auth_admin_keep",
                                    "allow_inactive": "auth_admin_keep",
                                    "allow_active": "auth_admin_keep"})
        annotations = {a.get("key"): a.text for a in action.findall("annotate")}
        self.assertEqual(annotations, {"org.freedesktop.policykit.exec.path":
                                       installed("bin", "lumarian-driver")})
        if not (os.path.exists(POLICY_DTD) and shutil.which("xmllint")):
            return  # polkit's own DTD comes with polkit
        result = subprocess.run(["xmllint", "--noout", "--dtdvalid", POLICY_DTD, path],
                                capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stderr)

    def test_the_man_page_renders_cleanly_and_names_every_option(self):
        page = installed("share", "man", "man1", "lumarian.1")
        with open(page) as f:
            source = f.read().replace("\\-", "-")
        usage = subprocess.run([installed("bin", "lumarian"), "--help"], capture_output=True,
                               text=True, timeout=60).stdout
        options = set(re.findall(r"^  (-{1,2}[a-z]+)", usage, re.M))
        self.assertGreaterEqual(len(options), 7, usage)
        for option in sorted(options):
            with self.subTest(option=option):
                self.assertRegex(source, rf"\.(B|BI|BR|RB) [^\n]*{re.escape(option)}\b")
        groff = shutil.which("groff")
        self.assertIsNotNone(groff, "groff is needed (groff-base)")
        result = subprocess.run([groff, "-man", "-ww", "-z", page], capture_output=True,
                                text=True)
        self.assertEqual((result.returncode, result.stderr), (0, ""))


# The status that tells the test runner the tests were skipped (SKIP_RETURN_CODE).
SKIPPED = 77

if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--cmake", required=True)
    parser.add_argument("--build", required=True)
    options, rest = parser.parse_known_args()
    CMAKE, BUILD = options.cmake, os.path.abspath(options.build)
    # The nearest folder there is on the way: installing makes the rest.
    written = os.path.join(BUILD, "data", "desktop")
    while not os.path.isdir(written):
        written = os.path.dirname(written)
    if not os.access(written, os.W_OK):
        # Installing writes the desktop entry and the polkit action, with the installed paths,
        # into the build folder first.
        print("skipped: installing writes into the build folder, which this user may not")
        sys.exit(SKIPPED)
    with tempfile.TemporaryDirectory() as prefix:
        PREFIX = os.path.join(prefix, "some prefix")
        subprocess.run([CMAKE, "--install", BUILD, "--prefix", PREFIX], check=True,
                       stdout=subprocess.DEVNULL)
        result = unittest.main(argv=[sys.argv[0], *rest], verbosity=2, exit=False).result
    sys.exit(0 if result.wasSuccessful() else 1)
