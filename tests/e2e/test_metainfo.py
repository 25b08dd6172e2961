#!/usr/bin/env python3
"""The AppStream metainfo (data/desktop/org.quorvane.lumarian.metainfo.xml): appstreamcli accepts
it without a remark, its newest release is the program's version, it names the desktop entry and
says what that entry says, and its screenshots are the project's pictures at their sizes."""

import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ElementTree

BINARY = None
METAINFO = None
DESKTOP_ENTRY = None
SCREENSHOTS = None


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n" and head[12:16] == b"IHDR", path
    return struct.unpack(">II", head[16:24])


def desktop_entry():
    with open(DESKTOP_ENTRY, encoding="utf-8") as f:
        return dict(line.split("=", 1) for line in f.read().splitlines() if "=" in line)


class Metainfo(unittest.TestCase):
    def setUp(self):
        self.component = ElementTree.parse(METAINFO).getroot()

    def test_appstreamcli_accepts_it_without_a_remark(self):
        tool = shutil.which("appstreamcli")
        self.assertIsNotNone(tool, "appstreamcli is needed (appstream; scripts/test.sh installs it)")
        # --no-net: the screenshots' addresses are not fetched.
        result = subprocess.run([tool, "validate", "--no-net", "--pedantic", METAINFO],
                                capture_output=True, text=True, timeout=60)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        remarks = [line for line in result.stdout.splitlines() if re.match(r"[EWIP]: ", line)]
        self.assertEqual(remarks, [])

    def test_the_newest_release_is_the_programs_version(self):
        version = subprocess.run([BINARY, "--version"], capture_output=True, text=True,
                                 timeout=60, check=True).stdout.strip()
        releases = self.component.findall("releases/release")
        self.assertTrue(releases)
        self.assertEqual(f"Quorvane CPU Lumarian version {releases[0].get('version')}", version)
        dates = [release.get("date") for release in releases]
        self.assertEqual(dates, sorted(dates, reverse=True))

    def test_it_names_the_desktop_entry_and_says_what_it_says(self):
        launchable = self.component.find("launchable[@type='desktop-id']").text
        self.assertEqual(launchable, "lumarian.desktop")
        entry = desktop_entry()
        self.assertEqual(self.component.find("name").text, entry["Name"])
        self.assertEqual(self.component.find("summary").text, entry["Comment"])
        self.assertEqual(self.component.get("type"), "desktop-application")
        self.assertEqual(self.component.find("content_rating").get("type"), "oars-1.1")

    def test_the_screenshots_are_the_projects_pictures_at_their_sizes(self):
        images = self.component.findall("screenshots/screenshot/image")
        self.assertGreaterEqual(len(images), 1)
        self.assertEqual([s.get("type") for s in self.component.findall("screenshots/screenshot")
                          ].count("default"), 1)
        for image in images:
            name = image.text.rsplit("/", 1)[-1]
            with self.subTest(picture=name):
                self.assertTrue(image.text.startswith("https://"))
                size = png_size(os.path.join(SCREENSHOTS, name))
                self.assertEqual((int(image.get("width")), int(image.get("height"))), size)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--metainfo", required=True)
    parser.add_argument("--desktop-entry", required=True)
    parser.add_argument("--screenshots", required=True)
    options, rest = parser.parse_known_args()
    BINARY, METAINFO = options.binary, options.metainfo
    DESKTOP_ENTRY, SCREENSHOTS = options.desktop_entry, options.screenshots
    sys.exit(not unittest.main(argv=[sys.argv[0], *rest], verbosity=2,
                               exit=False).result.wasSuccessful())
