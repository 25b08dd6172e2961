#!/usr/bin/env python3
"""The program beside the tools around it: the x86-64 level against glibc's own answer on this
machine and against levels written by hand from fixture listings' flags; the Prometheus
metrics through promtool; the fleet summary of several listings; hwloc-gather-cpuid folders
read, written and read back by hwloc itself."""

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from one_line_errors import OneLineErrors  # noqa: E402

try:
    import jsonschema
except ImportError:
    jsonschema = None

BINARY = None
FIXTURES = None
SUMMARY_SCHEMA = None
LD_SO = "/lib64/ld-linux-x86-64.so.2"


def run(*args, env=None):
    return subprocess.run([BINARY, *args], capture_output=True, timeout=300, env=env)


def report_json(*args):
    result = run("--report", "--json", *args)
    assert result.returncode == 0, result.stderr.decode()
    return json.loads(result.stdout.decode("utf-8"))


def full(name):
    return os.path.join(FIXTURES, "full", name)


# Levels written by hand from each listing's flags, by the psABI's lists (v2: cx16, lahf_lm,
# popcnt, sse3, sse4_1, sse4_2, ssse3; v3: avx, avx2, bmi1, bmi2, f16c, fma, lzcnt, movbe,
# osxsave with the YMM state enabled; v4: avx512 f, bw, cd, dq, vl with their state).
HAND_LEVELS = [
    ("il-GenuineIntel0000683_P3_Coppermine_CPUID.txt", "", "no long mode"),
    ("il-AuthenticAMD0000662_K7_Palomino_CPUID.txt", "", "no long mode"),
    ("il-AuthenticAMD0000F51_K8_Sledgehammer_CPUID.txt", "x86-64-v1", "lm, sse2; no sse3, lahf_lm"),
    ("il-GenuineIntel0000F41_P4_Prescott_CPUID.txt", "x86-64-v1", "lm; no ssse3, cx16"),
    ("il-GenuineIntel00006F6_Conroe_CPUID.txt", "x86-64-v1", "ssse3; no sse4_1"),
    ("il-GenuineIntel001067A_Penryn_CPUID.txt", "x86-64-v1", "sse4_1; no sse4_2, popcnt"),
    ("il-AuthenticAMD0100F21_K10_Barcelona_CPUID.txt", "x86-64-v1", "popcnt, abm; no ssse3"),
    ("lc-intel-x86-atom-saltwell--intel-atom-cpu-d2500.test", "x86-64-v1", "ssse3; no sse4_1"),
    ("il-GenuineIntel00106A1_Nehalem_CPUID.txt", "x86-64-v2", "sse4_2, popcnt; no avx"),
    ("il-AuthenticAMD0600F01_K15_Bulldozer_CPUID.txt", "x86-64-v2", "avx, fma4; no avx2, bmi1"),
    ("il-AuthenticAMD0700F01_K16_Kabini3_CPUID.txt", "x86-64-v2", "avx, bmi1, movbe; no avx2"),
    ("lc-intel-x86-64-sandy-bridge--intel-core-i7-3930k-cpu.test", "x86-64-v2", "avx; no avx2"),
    ("lc-intel-x86-64-skylake--intel-pentium-cpu-g4400.test", "x86-64-v2", "Pentium: no avx"),
    ("il-GenuineIntel00906C0_JasperLake_01_CPUID.txt", "x86-64-v2", "Tremont: no avx"),
    ("il-HygonGenuine0900F02_Hygon_CPUID.txt", "x86-64-v2",
     "avx2, fma, bmi2 but osxsave clear and 0xD.0 EBX 0x240: the system enabled no YMM state"),
    ("il-GenuineIntel00306F2_HaswellEP_CPUID.txt", "x86-64-v3", "avx2, bmi2, fma, movbe, abm"),
    ("il-AuthenticAMD0670F00_K15_StoneyRidge_CPUID.txt", "x86-64-v3", "Excavator: avx2, bmi2"),
    ("il-AuthenticAMD0800F82_K17_ZenP_CPUID.txt", "x86-64-v3", "avx2; no avx512f"),
    ("il-GenuineIntel0090675_AlderLake_01_CPUID.txt", "x86-64-v3", "avx2; avx512 fused off"),
    ("il-GenuineIntel00B06E0_AlderLakeN_03_CPUID.txt", "x86-64-v3", "Gracemont: avx2, no avx512"),
    ("il-CentaurHauls00607B1_KX7000_05_CPUID.txt", "x86-64-v3", "avx2, osxsave; no avx512f"),
    ("il-GenuineIntel0050654_SkylakeX_CPUID.txt", "x86-64-v4", "avx512 f/bw/cd/dq/vl, 0xD.0 EBX 0xA88"),
    ("il-AuthenticAMD0A60F12_K19_Raphael_03_CPUID.txt", "x86-64-v4", "Zen 4: avx512 f/bw/cd/dq/vl"),
    ("lc-amd-zen5--amd-ryzen-9-9950x-16-core-processor.test", "x86-64-v4", "Zen 5: avx512"),
    ("lc-intel-x86-64-cypress-cove--11th-gen-intel-core-i9-11900k.test", "x86-64-v4",
     "Rocket Lake: avx512 f/bw/cd/dq/vl"),
]


def glibc_level():
    """The highest x86-64-vN that glibc's dynamic loader calls supported on this machine; 1
    where it lists levels but supports none; None where it does not tell."""
    if not os.access(LD_SO, os.X_OK):
        return None
    result = subprocess.run([LD_SO, "--help"], capture_output=True, timeout=60)
    listed = re.findall(r"^\s+x86-64-v(\d)( \(supported, searched\))?$",
                        result.stdout.decode(errors="replace"), re.MULTILINE)
    if not listed:
        return None
    supported = [int(level) for level, mark in listed if mark]
    return max(supported, default=1)


class X86Level(unittest.TestCase):
    def test_this_machine_against_glibc(self):
        level = glibc_level()
        if level is None:
            self.skipTest(f"{LD_SO} --help names no x86-64 levels (glibc before 2.33)")
        document = report_json("-nodriver")
        for p in document["processors"]:
            self.assertEqual(p["identity"]["x86_64_level"], f"x86-64-v{level}",
                             f"slot {p['slot']}")

    def test_listings_against_levels_written_by_hand(self):
        for name, level, why in HAND_LEVELS:
            document = report_json("--load", full(name))
            levels = {p["identity"]["x86_64_level"] for p in document["processors"]}
            self.assertEqual(levels, {level}, f"{name}: {why}")

    def test_the_text_report_shows_the_level(self):
        result = run("--report", "--load", full(HAND_LEVELS[-1][0]))
        self.assertEqual(result.returncode, 0)
        self.assertRegex(result.stdout.decode(errors="replace"), r"x86-64 Level +x86-64-v4")


class Prometheus(unittest.TestCase):
    def metrics(self, *args):
        result = run("--report", "--format", "prometheus", *args)
        self.assertEqual(result.returncode, 0, result.stderr.decode())
        return result.stdout.decode("utf-8")

    def check(self, text):
        promtool = shutil.which("promtool")
        if promtool is None:
            self.skipTest("promtool (Debian package prometheus) is not installed")
        result = subprocess.run([promtool, "check", "metrics"], input=text.encode(),
                                capture_output=True, timeout=60)
        self.assertEqual(result.returncode, 0, result.stdout.decode() + result.stderr.decode())
        self.assertEqual(result.stdout + result.stderr, b"", "no lint remarks")

    def test_this_machine_passes_promtool(self):
        self.check(self.metrics("-nodriver"))

    def test_listings_pass_promtool_with_their_labels(self):
        # Alder Lake i5-12500T (index.tsv: GenuineIntel, family 6, model 151, stepping 5, 12
        # processors); a Pentium III, whose brand string is empty.
        text = self.metrics("--load", full("il-GenuineIntel0090675_AlderLake_01_CPUID.txt"))
        self.check(text)
        info = [line for line in text.splitlines() if line.startswith("lumarian_cpu_info{")]
        self.assertEqual(len(info), 12)
        for key, value in [("vendor", "GenuineIntel"), ("family", "6"), ("model", "151"),
                           ("stepping", "5"), ("x86_64_level", "x86-64-v3"),
                           ("brand", "12th Gen Intel(R) Core(TM) i5-12500T")]:
            self.assertIn(f'{key}="{value}"', info[0])
        self.assertIn("lumarian_machine_processors 12\n", text)
        self.assertIn('lumarian_cpu_cache_bytes{cpu="0",level="1",type="data"} 49152\n', text)
        self.check(self.metrics("--load", full("il-GenuineIntel0000683_P3_Coppermine_CPUID.txt")))


class Summary(OneLineErrors, unittest.TestCase):
    # Two Alder Lake listings of the same i5-12500T, a Zen 4 and a Haswell-EP.
    FILES = ["il-GenuineIntel0090675_AlderLake_01_CPUID.txt",
             "il-GenuineIntel0090675_AlderLake_01_CPUID.txt",
             "il-AuthenticAMD0A60F12_K19_Raphael_03_CPUID.txt",
             "il-GenuineIntel00306F2_HaswellEP_CPUID.txt"]

    def loads(self, names):
        args = []
        for name in names:
            args += ["--load", full(name)]
        return args

    def test_kinds_machines_and_differing_features(self):
        result = run("--summary", "--json", *self.loads(self.FILES))
        self.assertEqual(result.returncode, 0, result.stderr.decode())
        document = json.loads(result.stdout)
        if jsonschema is not None:
            with open(SUMMARY_SCHEMA, encoding="utf-8") as f:
                jsonschema.validate(document, json.load(f))
        kinds = document["kinds"]
        # Each file's processors are one kind, or the same kind throughout: the Alder Lake
        # files are one kind on two machines.
        alder = [k for k in kinds if k["model"] == 151]
        self.assertEqual(len(alder), 1)
        self.assertEqual(alder[0]["machines"], [1, 2])
        self.assertEqual(alder[0]["processors"], 24)
        raphael = [k for k in kinds if k["vendor"] == "AuthenticAMD"]
        self.assertEqual([k["x86_64_level"] for k in raphael], ["x86-64-v4"])
        self.assertEqual(document["common_x86_64_level"], "x86-64-v3")
        differing = {d["feature"]: d["kinds"] for d in document["differing_features"]}
        self.assertEqual(differing["avx512f"], [raphael[0]["kind"]])
        self.assertNotIn("sse2", differing)  # every kind has it

        text = run("--summary", *self.loads(self.FILES)).stdout.decode()
        self.assertTrue(text.startswith("4 machines (files), "), text)
        self.assertIn("the level all of them have: x86-64-v3", text)
        self.assertRegex(text, r"\n  avx512f +\d+\n")

    def test_the_fixture_listings(self):
        names = sorted(n for n in os.listdir(os.path.join(FIXTURES, "full"))
                       if n.endswith(("_CPUID.txt", ".test")))
        result = run("--summary", *self.loads(names))
        self.assertEqual(result.returncode, 0, result.stderr.decode())
        first = result.stdout.decode().splitlines()[0]
        self.assertTrue(first.startswith(f"{len(names)} machines (files), "), first)
        print("\n" + result.stdout.decode(errors="replace"), file=sys.stderr)

    def test_refused_command_lines(self):
        for args, named in [(["--summary"], "--load"),
                            (["--summary", "--report", "--load", full(self.FILES[0])], "--summary"),
                            (["--summary", "--format", "prometheus", "--load", full(self.FILES[0])],
                             "prometheus")]:
            self.assert_one_line_error(run(*args), named)


class Hwloc(OneLineErrors, unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp()

    def tearDown(self):
        shutil.rmtree(self.folder)

    def hwloc_sees(self, folder, what):
        """hwloc's own reading of a folder through its x86 backend, or None without hwloc."""
        calc = shutil.which("hwloc-calc")
        if calc is None:
            return None
        env = dict(os.environ, HWLOC_CPUID_PATH=folder, HWLOC_COMPONENTS="x86,-linux")
        result = subprocess.run([calc, "--number-of", what, "all"], capture_output=True,
                                timeout=60, env=env)
        self.assertEqual(result.returncode, 0, result.stderr.decode())
        return int(result.stdout)

    def test_the_gathered_folder_is_read(self):
        gathered = os.path.join(FIXTURES, "formats", "hwloc-gather-cpuid-vm")
        document = report_json("--load", gathered)
        self.assertEqual(document["cpu_count"], 2)
        # Leaf 1 EAX 0x00B00F21: family 0xF + 0xB, model 0x02, stepping 1.
        p = document["processors"][0]
        self.assertEqual((p["identity"]["family"], p["identity"]["model"],
                          p["identity"]["stepping"]), (26, 2, 1))
        self.assertEqual(p["os_cpu"], -1)

    def test_a_listing_written_as_a_folder_reads_back_in_hwloc_and_here(self):
        # The i5-12500T: 6 cores, 12 threads (index.tsv: 12 logical processors).
        source = full("il-GenuineIntel0090675_AlderLake_01_CPUID.txt")
        out = os.path.join(self.folder, "alder")
        result = run("--load", source, "--dump", "--format", "hwloc", "--output", out)
        self.assertEqual(result.returncode, 0, result.stderr.decode())
        self.assertEqual(result.stdout, b"")
        self.assertEqual(sorted(os.listdir(out)),
                         sorted(["hwloc-cpuid-info"] + [f"pu{k}" for k in range(12)]))
        self.assertEqual(run("--load", out, "--dump").stdout, run("--load", source, "--dump").stdout)
        pus = self.hwloc_sees(out, "pu")
        if pus is None:
            self.skipTest("hwloc-calc (Debian package hwloc) is not installed")
        self.assertEqual(pus, 12)
        self.assertEqual(self.hwloc_sees(out, "core"), 6)

    def test_this_machine_round_trips_through_hwloc(self):
        out = os.path.join(self.folder, "live")
        self.assertEqual(run("--dump", "--format", "hwloc", "--output", out).returncode, 0)
        ours = report_json("--load", out)
        if ours["cpu_count"] != os.cpu_count():
            # The dump holds the processors this process may run on; hwloc counts the machine's.
            self.skipTest(f"this process may run on {ours['cpu_count']} of the machine's "
                          f"{os.cpu_count()} processors")
        pus = self.hwloc_sees(out, "pu")
        if pus is None:
            self.skipTest("hwloc-calc (Debian package hwloc) is not installed")
        self.assertEqual(pus, ours["cpu_count"])

    def test_a_folder_is_never_overwritten(self):
        out = os.path.join(self.folder, "taken")
        os.mkdir(out)
        with open(os.path.join(out, "keep"), "w") as f:
            f.write("mine")
        result = run("--load", full(HAND_LEVELS[0][0]), "--dump", "--format", "hwloc",
                     "--output", out)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(os.listdir(out), ["keep"])
        self.assertEqual(os.listdir(self.folder), ["taken"], "nothing left beside it")

    def test_refused_command_lines(self):
        empty = os.path.join(self.folder, "empty")
        os.mkdir(empty)
        for args, named in [(["--dump", "--format", "hwloc"], "--output"),
                            (["--report", "--format", "hwloc"], "--dump"),
                            (["--dump", "--output", empty], "--output"),
                            (["--report", "--load", empty], "pu0")]:
            self.assert_one_line_error(run(*args), named)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--fixtures", required=True)
    parser.add_argument("--summary-schema", required=True)
    options, rest = parser.parse_known_args()
    BINARY, FIXTURES, SUMMARY_SCHEMA = options.binary, options.fixtures, options.summary_schema
    unittest.main(argv=[sys.argv[0], *rest])
