#!/usr/bin/env python3
"""The Debian package, unpacked with dpkg -x into a temporary folder (never installed): its
control fields, the files it carries where Debian keeps them, the desktop entry and the polkit
action naming the paths it installs, the metainfo appstreamcli accepts, and the program run from
the unpacked tree (--version, the report without the driver).

Usage: test_package.py --package lumarian_VERSION_ARCH.deb"""

import argparse
import gzip
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

PACKAGE = None
ROOT = None
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def unpacked(*parts):
    return os.path.join(ROOT, "usr", *parts)


def field(name):
    return subprocess.run(["dpkg-deb", "--field", PACKAGE, name], capture_output=True, text=True,
                          check=True).stdout.strip()


def run(*args):
    return subprocess.run([unpacked("bin", "lumarian"), *args], stdin=subprocess.DEVNULL,
                          capture_output=True, timeout=120)


class Package(unittest.TestCase):
    def test_control_fields(self):
        version = run("--version").stdout.decode().strip().rsplit(" ", 1)[-1]
        architecture = subprocess.run(["dpkg", "--print-architecture"], capture_output=True,
                                      text=True, check=True).stdout.strip()
        self.assertEqual(field("Package"), "lumarian")
        self.assertEqual(field("Version"), version)
        self.assertEqual(field("Architecture"), architecture)
        self.assertEqual(os.path.basename(PACKAGE), f"lumarian_{version}_{architecture}.deb")
        # dpkg-shlibdeps: every program links the C library, the window Qt's widgets.
        depends = [d.strip().split(" ")[0] for d in field("Depends").split(",")]
        self.assertIn("libc6", depends)
        self.assertTrue(any(d.startswith("libqt6widgets") for d in depends), depends)
        self.assertIn("pkexec", field("Recommends"))

    def test_carries_every_installed_file_where_debian_keeps_it(self):
        files = [
            ("bin", "lumarian"), ("bin", "lumarian-window"), ("bin", "lumarian-driver"),
            ("share", "applications", "lumarian.desktop"),
            ("share", "metainfo", "org.quorvane.lumarian.metainfo.xml"),
            ("share", "polkit-1", "actions", "org.quorvane.lumarian.policy"),
            ("share", "bash-completion", "completions", "lumarian"),
            ("share", "bash-completion", "completions", "lumarian-window"),
            ("share", "lumarian", "report.schema.json"),
            ("share", "doc", "lumarian", "copyright"),
            ("share", "doc", "lumarian", "changelog.gz"),
        ] + [("share", "man", "man1", f"{name}.1.gz")
             for name in ("lumarian", "lumarian-window", "lumarian-driver")] + [
            ("share", "icons", "hicolor", f"{size}x{size}", "apps", "lumarian.png")
            for size in ICON_SIZES]
        for parts in files:
            with self.subTest(file=os.path.join(*parts)):
                self.assertTrue(os.path.isfile(unpacked(*parts)))
        for name in ("lumarian", "lumarian-window", "lumarian-driver"):
            self.assertTrue(os.access(unpacked("bin", name), os.X_OK), name)
        self.assertTrue(os.listdir(unpacked("share", "lumarian", "Logo")))
        self.assertEqual(sorted(os.listdir(ROOT)), ["usr"])

    def test_the_changelog_is_of_the_packages_version(self):
        with gzip.open(unpacked("share", "doc", "lumarian", "changelog.gz"), "rt") as f:
            first = f.readline()
        self.assertTrue(first.startswith(f"lumarian ({field('Version')}) "), first)

    def test_desktop_entry_and_polkit_action_name_the_installed_paths(self):
        with open(unpacked("share", "applications", "lumarian.desktop")) as f:
            self.assertIn("\nExec=/usr/bin/lumarian\n", f.read())
        action = ElementTree.parse(
            unpacked("share", "polkit-1", "actions", "org.quorvane.lumarian.policy")).getroot()
        paths = [a.text for a in action.iter("annotate")
                 if a.get("key") == "org.freedesktop.policykit.exec.path"]
        self.assertEqual(paths, ["/usr/bin/lumarian-driver"])

    def test_appstreamcli_accepts_the_unpacked_tree(self):
        tool = shutil.which("appstreamcli")
        self.assertIsNotNone(tool, "appstreamcli is needed (appstream)")
        result = subprocess.run([tool, "validate-tree", "--no-net", "--pedantic", ROOT],
                                capture_output=True, text=True, timeout=120)
        print(result.stdout, end="", file=sys.stderr)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        remarks = [line for line in result.stdout.splitlines() if re.match(r"[EWIP]: ", line)]
        self.assertEqual(remarks, [])

    def test_the_unpacked_program_runs(self):
        version = run("--version")
        self.assertEqual((version.returncode, version.stdout),
                         (0, b"Quorvane CPU Lumarian version 0.7\n"))
        # With --all every processor keeps a block of its own, even where processors are alike.
        report = run("-nodriver", "--report", "--all")
        self.assertEqual(report.returncode, 0, report.stderr)
        for n in range(1, len(os.sched_getaffinity(0)) + 1):
            self.assertIn(f"==== CPU #{n} ====".encode(), report.stdout)
        document = json.loads(run("-nodriver", "--report", "--json").stdout)
        self.assertEqual(document["cpu_count"], len(os.sched_getaffinity(0)))
        self.assertFalse(document["driver_loaded"])
        with open(unpacked("share", "lumarian", "report.schema.json")) as f:
            schema = json.load(f)
        self.assertEqual(document["schema_version"], schema["properties"]["schema_version"]["const"])
        self.assertEqual(sorted(document), sorted(schema["required"]))


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--package", required=True)
    options, rest = parser.parse_known_args()
    PACKAGE = os.path.abspath(options.package)
    with tempfile.TemporaryDirectory() as folder:
        ROOT = os.path.join(folder, "root")
        subprocess.run(["dpkg", "-x", PACKAGE, ROOT], check=True)
        result = unittest.main(argv=[sys.argv[0], *rest], verbosity=2, exit=False).result
    sys.exit(0 if result.wasSuccessful() else 1)
