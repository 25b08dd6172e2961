#!/usr/bin/env python3
"""End-to-end tests of the lumarian command: the JSON report of this machine against the
CPUID instruction as Debian's cpuid tool executes it, the replay of every fixture dump, and
the command line's errors."""

import argparse
import glob
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

BINARY = None
FIXTURES = None

LEAVES = ([0, 1, 2, 3, 4, 5] + [0x80000000 + k for k in range(9)] +
          [0x80860000 + k for k in range(8)] + [0xC0000000, 0xC0000001, 0x8FFFFFFE, 0x8FFFFFFF])


def run(*args):
    """The program with `args`, starting no driver: these tests are not about it, and starting
    it would ask for a password, or load a kernel module as root."""
    return subprocess.run([BINARY, "-nodriver", *args], capture_output=True, timeout=120)


def report_json(*args):
    result = run("--report", "--json", *args)
    assert result.returncode == 0, result.stderr.decode()
    return json.loads(result.stdout.decode("utf-8"))


def cpuid_leaf(leaf):
    """EAX, EBX, ECX, EDX of `leaf` (sub-leaf 0) as Debian's cpuid reads them."""
    out = subprocess.run([shutil.which("cpuid"), "-1", "-r", "-l", hex(leaf)],
                         capture_output=True, text=True, check=True).stdout
    return [int(re.search(name + r"=0x(\w+)", out).group(1), 16)
            for name in ("eax", "ebx", "ecx", "edx")]


def reported_tsc_mhz():
    """The time-stamp counter's rate in MHz and who tells it, found without the program: leaf
    0x15 (crystal clock x EBX / EAX), the hypervisor's leaf 0x40000010 (EAX, kHz), or the
    kernel's "cpu MHz" where it is the rate it calibrated (it knows the TSC frequency, and has
    neither APERF/MPERF nor cpufreq to report another clock). None where nobody does."""
    if cpuid_leaf(0)[0] >= 0x15:
        eax, ebx, ecx, _ = cpuid_leaf(0x15)
        if eax and ebx and ecx:
            return ecx * ebx / eax / 1e6, "leaf 0x15"
    if cpuid_leaf(1)[2] & (1 << 31) and cpuid_leaf(0x40000000)[0] >= 0x40000010:
        khz = cpuid_leaf(0x40000010)[0]
        if khz:
            return khz / 1000, "leaf 0x40000010"
    with open("/proc/cpuinfo") as f:
        cpuinfo = f.read()
    flags = re.search(r"^flags\s*:(.*)$", cpuinfo, re.M).group(1).split()
    if ("tsc_known_freq" in flags and "aperfmperf" not in flags
            and not glob.glob("/sys/devices/system/cpu/cpu*/cpufreq")):
        return float(re.search(r"^cpu MHz\s*:\s*([0-9.]+)", cpuinfo, re.M).group(1)), "kernel"
    return None


def dump_rows(path):
    """The 27 register rows of a dump file, as (leaf, eax, ebx, ecx, edx) hex strings."""
    with open(path, "rb") as f:
        lines = f.read().decode("latin-1").splitlines()
    rows = []
    for line in lines[3:]:
        fields = line.split()
        rows.append((fields[1], *fields[2:6]))
    return rows


def fixture_files():
    return sorted(os.path.join(FIXTURES, name) for name in os.listdir(FIXTURES)
                  if name.endswith(".txt"))


class LiveReport(unittest.TestCase):
    def test_counts_the_processors_the_process_may_run_on(self):
        document = report_json()
        self.assertEqual(document["cpu_count"], len(os.sched_getaffinity(0)))
        self.assertEqual(len(document["processors"]), document["cpu_count"])
        self.assertEqual([p["slot"] for p in document["processors"]],
                         list(range(document["cpu_count"])))
        self.assertEqual(document["program"], "Quorvane CPU Lumarian version 0.7")

    def test_raw_leaves_match_the_cpuid_instruction_on_each_processor(self):
        cpuid = shutil.which("cpuid")
        self.assertIsNotNone(cpuid, "Debian's cpuid package is needed (the README installs it)")
        processors = sorted(os.sched_getaffinity(0))
        expected = {}  # (cpu, leaf) -> registers
        for leaf in LEAVES:
            out = subprocess.run([cpuid, "-r", "-i", "-l", hex(leaf)], capture_output=True,
                                 text=True, check=True).stdout
            cpu = None
            for line in out.splitlines():
                header = re.match(r"CPU (\d+):", line)
                if header:
                    cpu = int(header.group(1))
                    continue
                row = re.search(r"eax=0x(\w+) ebx=0x(\w+) ecx=0x(\w+) edx=0x(\w+)", line)
                if row and cpu is not None:
                    expected[(cpu, leaf)] = [int(v, 16) for v in row.groups()]
        document = report_json()
        for slot, processor in enumerate(document["processors"]):
            cpu = processors[slot]
            rows = processor["tCPUdata"]
            self.assertEqual([int(r["leaf"], 16) for r in rows], LEAVES)
            for row in rows:
                leaf = int(row["leaf"], 16)
                got = [int(row[r], 16) for r in ("eax", "ebx", "ecx", "edx")]
                want = expected[(cpu, leaf)]
                if leaf == 1:  # the initial APIC ID follows the virtual processor
                    got[1] &= 0x00FFFFFF
                    want[1] &= 0x00FFFFFF
                self.assertEqual(got, want, f"slot {slot} leaf {leaf:08X}")

    def test_hypervisor_is_the_signature_cpuid_shows(self):
        cpuid = shutil.which("cpuid")
        self.assertIsNotNone(cpuid, "Debian's cpuid package is needed (the README installs it)")
        shown = subprocess.run([cpuid, "-1", "-l", "0x40000000"], capture_output=True, text=True,
                               check=True).stdout
        # Bare metal may answer leaf 0x40000000 with nothing cpuid decodes as a signature.
        quoted = re.search(r'hypervisor_id \(0x40000000\) = "(.*)"', shown)
        signature = re.sub(r"(\\0| )+$", "", quoted.group(1)) if quoted else ""
        leaf1 = subprocess.run([cpuid, "-1", "-r", "-l", "1"], capture_output=True, text=True,
                               check=True).stdout
        ecx = int(re.search(r"ecx=0x(\w+)", leaf1).group(1), 16)
        document = report_json()
        if ecx & (1 << 31):
            self.assertNotEqual(signature, "")
            self.assertEqual(document["processors"][0]["hypervisor"], signature)
        else:  # bare metal: only a signature some hypervisor uses counts
            self.assertIn(document["processors"][0]["hypervisor"], ("", signature))

    def test_core_clock_matches_the_reported_tsc_rate(self):
        if not shutil.which("cpuid"):
            self.skipTest("needs Debian's cpuid")
        reported = reported_tsc_mhz()
        if reported is None:
            self.skipTest("neither the processor (leaf 0x15), its hypervisor (0x40000010) nor "
                          "the kernel (without APERF/MPERF or cpufreq) tells the TSC rate here")
        mhz, source = reported
        document = report_json()
        for processor in document["processors"][:document["cpu_count"]]:
            clocks = processor["tClocks"]
            with self.subTest(slot=processor["slot"], source=source, reported=mhz):
                self.assertLess(abs(clocks["CoreClock"] - mhz) / mhz, 0.002)
                if not document["driver_loaded"] and document["nodmi"]:
                    self.assertEqual(clocks["Multiplier"], 0.0)
                    self.assertEqual(clocks["BusClock"], 0.0)
                    self.assertEqual(clocks["BusSpeed"], 0.0)

    def test_text_report_shows_every_processor(self):
        count = len(os.sched_getaffinity(0))
        result = run("--report", "--all")
        self.assertEqual(result.returncode, 0, result.stderr)
        text = result.stdout.decode("utf-8")
        for n in range(1, count + 1):
            self.assertIn(f"==== CPU #{n} ====", text)
        # Without --all, processors alike share a block that lists them: each is named once,
        # in a heading of its own or in a block's list ("#1 to #4, #7").
        result = run("--report")
        self.assertEqual(result.returncode, 0, result.stderr)
        text = result.stdout.decode("utf-8")
        named = [int(n) for n in re.findall(r"^==== CPU #(\d+) ====$", text, re.M)]
        for listed in re.findall(r"^==== \d+ processors alike ====\n  Processors +(.*(?:\n {34}.*)*)",
                                 text, re.M):
            for part in " ".join(listed.split()).split(", "):
                first, _, last = part.partition(" to ")
                named.extend(range(int(first[1:]), int((last or first)[1:]) + 1))
        self.assertEqual(sorted(named), list(range(1, count + 1)))
        self.assertLessEqual(max(len(line) for line in text.splitlines()), 100)


class Replay(unittest.TestCase):
    def test_every_fixture_reproduces_its_27_leaves(self):
        for path in fixture_files():
            with self.subTest(path=os.path.basename(path)):
                document = report_json("--load", path)
                self.assertEqual(document["cpu_count"], 1)
                rows = document["processors"][0]["tCPUdata"]
                got = [(r["leaf"], r["eax"], r["ebx"], r["ecx"], r["edx"]) for r in rows]
                self.assertEqual(got, dump_rows(path))
                clocks = document["processors"][0]["tClocks"]
                self.assertEqual(clocks["CoreClock"], 0.0)
                self.assertTrue(document["nodmi"])
                self.assertEqual(document["smbios"], "recorded")
                self.assertFalse(document["driver_loaded"])

    def test_the_text_report_tries_no_driver_for_recorded_processors(self):
        result = run("--report", "--load", fixture_files()[0])
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(b"not used for recorded processors", result.stdout)
        self.assertNotIn(b"Couldn't Load Driver", result.stdout)

    def test_several_dumps_become_slots_in_the_order_given(self):
        files = fixture_files()[:3]
        args = []
        for path in reversed(files):
            args += ["--load", path]
        document = report_json(*args)
        self.assertEqual(document["cpu_count"], 3)
        for slot, path in enumerate(reversed(files)):
            got = document["processors"][slot]["tCPUdata"][1]["eax"]
            self.assertEqual(got, dump_rows(path)[1][1])

    def test_a_dump_piped_to_standard_input(self):
        with open(fixture_files()[0], "rb") as dump:
            result = subprocess.run([BINARY, "--report", "--json", "--load", "/dev/stdin"],
                                    stdin=dump, capture_output=True, timeout=120)
        self.assertEqual(result.returncode, 0, result.stderr)
        rows = json.loads(result.stdout)["processors"][0]["tCPUdata"]
        self.assertEqual(rows[1]["eax"], dump_rows(fixture_files()[0])[1][1])

    def test_texts_are_utf8_with_escaped_controls(self):
        path = os.path.join(FIXTURES, "amd-0000670-k7-morgan.txt")
        raw = run("--report", "--json", "--load", path).stdout
        self.assertIn(b'"BrandString": "AMD Duron(tm) processor\\u0000', raw)
        raw.decode("utf-8")


class Errors(OneLineErrors, unittest.TestCase):
    def test_malformed_dumps_name_the_file_and_line(self):
        good = open(fixture_files()[0], "rb").read()
        cases = [
            ("short.txt", good[:200], ":5:"),
            ("garbage.txt", b"\x00\xff" * 100, ":1:"),
            ("extra.txt", good + b"x", ":31:"),
            ("lower.txt", good.replace(b"Function 00000001", b"function 00000001"), ":5:"),
        ]
        with tempfile.TemporaryDirectory() as folder:
            for name, content, line in cases:
                path = os.path.join(folder, name)
                with open(path, "wb") as f:
                    f.write(content)
                with self.subTest(name=name):
                    # A good dump first: nothing of it may reach standard output.
                    self.assert_one_line_error(
                        run("--report", "--json", "--load", fixture_files()[0], "--load", path),
                        f"'{path}'{line}")
            self.assert_one_line_error(run("--report", "--load", folder), f"'{folder}'")
            missing = os.path.join(folder, "missing.txt")
            self.assert_one_line_error(run("--report", "--load", missing), f"'{missing}'")

    def test_names_reach_the_terminal_quoted_with_their_controls_escaped(self):
        with tempfile.TemporaryDirectory() as folder:
            hostile = os.path.join(folder, "x\x1b[2J\nlumarian: forged")
            with open(hostile, "wb") as f:
                f.write(b"not a dump")
            result = run("--report", "--load", hostile)
            self.assert_one_line_error(result, f"'{folder}/x\\x1b[2J\\x0alumarian: forged':1:")
            self.assertNotIn(b"\x1b", result.stderr)
        result = run("--report", "--\x1b]0;title\x07")
        self.assert_one_line_error(result, "unknown option '--\\x1b]0;title\\x07'")
        self.assertNotIn(b"\x1b", result.stderr)

    def test_a_fifo_without_a_writer_reads_as_empty(self):
        with tempfile.TemporaryDirectory() as folder:
            fifo = os.path.join(folder, "fifo")
            os.mkfifo(fifo)
            result = subprocess.run([BINARY, "--report", "--load", fifo], capture_output=True,
                                    timeout=10)
            self.assert_one_line_error(result, f"'{fifo}':1:")

    def test_options_it_cannot_use(self):
        self.assert_one_line_error(run("--frobnicate"), "--frobnicate")
        self.assert_one_line_error(run("--report", "--load"), "--load")
        self.assert_one_line_error(run("--json"), "--json")

    def test_help_and_version(self):
        result = run("--help")
        self.assertEqual(result.returncode, 0)
        self.assertIn(b"--load FILE", result.stdout)
        result = run("--version")
        self.assertEqual(result.stdout, b"Quorvane CPU Lumarian version 0.7\n")

    def test_a_full_output_is_reported_as_a_failure(self):
        if not os.path.exists("/dev/full"):
            self.skipTest("no /dev/full")
        with open("/dev/full", "wb") as full:
            result = subprocess.run([BINARY, "-nodriver", "--report", "--json"], stdout=full,
                                    stderr=subprocess.PIPE, timeout=120)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn(b"cannot write", result.stderr)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--fixtures", required=True)
    options, rest = parser.parse_known_args()
    BINARY = os.path.abspath(options.binary)
    FIXTURES = os.path.abspath(options.fixtures)
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)
