#!/usr/bin/env python3
"""End-to-end tests of the CPUID listings: every public full listing loads with the processors
and registers it lists (read here independently of the program), its full dump reads back to
the same report and is decoded by Debian's cpuid, the full dump of this machine equals what
cpuid -r reads, and bad listings are refused without printing anything."""

import argparse
import functools
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from listing_formats import read_cpuid_r, read_register_listing, write_cpuid_r  # noqa: E402
from one_line_errors import OneLineErrors  # noqa: E402

BINARY = None
FIXTURES = None


def run(*args, **kwargs):
    """The program with `args`, starting no driver: these tests are not about it, and starting
    it would ask for a password, or load a kernel module as root."""
    return subprocess.run([BINARY, "-nodriver", *args], capture_output=True, timeout=120,
                          **kwargs)


def report(*args):
    result = run("--report", "--json", *args)
    assert result.returncode == 0, result.stderr.decode()
    return json.loads(result.stdout.decode("utf-8"))


@functools.cache
def report_of(path):
    """The JSON report of the listing at `path`, as text; made once for all tests."""
    result = run("--report", "--json", "--load", path)
    assert result.returncode == 0, result.stderr.decode()
    return result.stdout


def without_sources(text):
    """A JSON report with the listing file it names left out."""
    document = json.loads(text)
    for item in document["processors"] + document["machines"]:
        item["source"] = ""
    return document


def leaves_of(processor):
    return {(int(e["leaf"], 16), e["subleaf"]): tuple(int(e[r], 16) for r in ("eax", "ebx", "ecx", "edx"))
            for e in processor["leaves"]}


def full_listings():
    """(name, path, logical processors as index.tsv gives them) of every full listing."""
    folder = os.path.join(FIXTURES, "full")
    with open(os.path.join(folder, "index.tsv")) as f:
        rows = [line.rstrip("\n").split("\t") for line in f][1:]
    return [(row[0], os.path.join(folder, row[0]), int(row[6])) for row in rows]


def read_text(path):
    with open(path, "rb") as f:
        return f.read().decode("latin-1")


def cpuid_tool():
    tool = shutil.which("cpuid")
    assert tool, "Debian's cpuid package is needed (the README's test command installs it)"
    return tool


def write(folder, name, content):
    path = os.path.join(folder, name)
    with open(path, "wb") as f:
        f.write(content if isinstance(content, bytes) else content.encode("latin-1"))
    return path


def cpuid_dies_on(processors):
    """Debian's cpuid (20230120) dies of a division by zero on an Intel processor whose leaf 4
    sub-leaf 0 is all zeros, as the program's own dumps of processors before leaf 4 record it
    (the leaves above a processor's maximum are zeros in those fixtures)."""
    return any(p.get((0, 0), (0,) * 4)[1:] == (0x756E6547, 0x6C65746E, 0x49656E69)
               and p.get((4, 0)) == (0, 0, 0, 0) for p in processors.values())


RAW_ARRAYS = {"basic_cpuid": (0, False), "ext_cpuid": (0x80000000, False),
              "intel_fn4": (4, True), "intel_fn11": (0xB, True), "intel_fn12h": (0x12, True),
              "intel_fn14h": (0x14, True), "amd_fn8000001dh": (0x8000001D, True)}


def raw_leaves(block):
    """The leaves a block of libcpuid raw lines gives: the arrays by leaf or sub-leaf, none above
    its range's maximum, the first of a leaf where two arrays give it."""
    entries = [(m.group(1), int(m.group(2)), tuple(int(v, 16) for v in m.groups()[2:]))
               for m in re.finditer(r"^(\w+)\[(\d+)\]=(\w{8}) (\w{8}) (\w{8}) (\w{8})$",
                                    block, re.M)]
    top = {0: None, 0x80000000: None}
    for name, index, r in entries:
        if index == 0 and name in ("basic_cpuid", "ext_cpuid"):
            top[RAW_ARRAYS[name][0]] = r[0]
    want = {}
    for name, index, r in entries:
        base, by_sub_leaf = RAW_ARRAYS[name]
        pair = (base, index) if by_sub_leaf else (base + index, 0)
        range_base = pair[0] & 0x80000000
        if pair[0] != range_base and pair[0] > top[range_base]:
            continue
        if by_sub_leaf or pair not in want:
            want[pair] = r
    return want


class FullListings(unittest.TestCase):
    def test_every_listing_gives_the_processors_and_registers_it_lists(self):
        for name, path, indexed in full_listings():
            with self.subTest(name=name):
                text = read_text(path)
                # The older libcpuid files hold one processor in the raw form.
                raw = re.search(r"^basic_cpuid\[0\]=", text, re.M) is not None
                listed = [raw_leaves(text)] if raw else read_register_listing(text)
                document = json.loads(report_of(path))
                self.assertEqual(document["cpu_count"], len(listed))
                # index.tsv counts the processors under "CPUID Registers" headings and gives 1
                # for the listings whose processors stand under other headings ("Logical CPU
                # #n", "CPU#n AffMask", "Group: ... Affinity mask") or follow each other
                # without one; where it counts more than one, the counts agree.
                if indexed > 1:
                    self.assertEqual(len(listed), indexed)
                for slot, (processor, want) in enumerate(zip(document["processors"], listed)):
                    self.assertEqual(leaves_of(processor), want, f"slot {slot}")
                    self.assertEqual(processor["os_cpu"], -1)

    def test_each_listing_is_a_machine_of_its_own(self):
        # A Pentium 4 (1 core, 1 thread) and a KX-7000 (8 cores, 8 threads, as its maker
        # gives it): their APIC IDs overlap, yet they are two packages and 9 cores in all.
        folder = os.path.join(FIXTURES, "full")
        p4 = os.path.join(folder, "lc-intel-ia-32-netburst--intel-pentium-4-cpu-1.60ghz.test")
        kx = os.path.join(folder, "il-CentaurHauls00607B1_KX7000_05_CPUID.txt")
        document = report("--load", p4, "--load", kx)
        machines = [(m["source"], m["first_slot"], m["cpu_count"], m["packages"], m["cores"],
                     m["threads"]) for m in document["machines"]]
        self.assertEqual(machines, [(p4, 0, 1, 1, 1, 1), (kx, 1, 8, 1, 8, 8)])
        total = document["machine"]
        self.assertEqual((total["packages"], total["dies"], total["cores"], total["threads"]),
                         (2, 2, 9, 9))
        self.assertEqual([p["source"] for p in document["processors"]], [p4] + [kx] * 8)
        self.assertEqual({p["topology"]["package"] for p in document["processors"][1:]}, {1})
        # The same file twice is two machines as well.
        twice = report("--load", p4, "--load", p4)
        self.assertEqual(len(twice["machines"]), 2)
        self.assertEqual(twice["machine"]["packages"], 2)
        # This machine has no file.
        live = report("-nodriver")
        self.assertEqual([m["source"] for m in live["machines"]], [""])
        self.assertEqual({p["source"] for p in live["processors"]}, {""})

    def test_the_full_dump_reads_back_to_the_same_report_and_cpuid_decodes_it(self):
        """Of every full listing, and of every dump in the program's own format."""
        tool = cpuid_tool()
        own = os.path.join(FIXTURES, "cpuid")
        listings = [(name, path) for name, path, _ in full_listings()]
        listings += [(name, os.path.join(own, name)) for name in sorted(os.listdir(own))
                     if name.endswith(".txt")]
        with tempfile.TemporaryDirectory() as folder:
            for name, path in listings:
                with self.subTest(name=name):
                    direct = report_of(path)
                    dump = run("--dump", "--load", path)
                    self.assertEqual(dump.returncode, 0, dump.stderr)
                    converted = write(folder, "dump.txt", dump.stdout)
                    # The same report but for the file each names as its source, and the
                    # number the dump's "CPU n:" heading gives a processor the listing had
                    # not numbered: its slot.
                    expected = without_sources(direct)
                    for processor in expected["processors"]:
                        if processor["os_cpu"] == -1:
                            processor["os_cpu"] = processor["slot"]
                    self.assertEqual(
                        without_sources(run("--report", "--json", "--load", converted).stdout),
                        expected)
                    if cpuid_dies_on(read_cpuid_r(dump.stdout.decode())):
                        continue
                    decoded = subprocess.run([tool, "-f", converted], capture_output=True,
                                             timeout=60)
                    self.assertEqual((decoded.returncode, decoded.stderr), (0, b""))
                    processors = json.loads(direct)["cpu_count"]
                    self.assertEqual(len(re.findall(rb"^CPU \d+:$", decoded.stdout, re.M)),
                                     processors)
                    self.assertIn(b"vendor_id = ", decoded.stdout)


class OtherFormats(unittest.TestCase):
    def test_cpuid_r_output_as_that_tool_writes_it(self):
        path = os.path.join(FIXTURES, "formats", "cpuid-r-vm-2cpu.txt")
        listed = read_cpuid_r(read_text(path))
        document = report("--load", path)
        self.assertEqual(document["cpu_count"], 2)
        for processor, number in zip(document["processors"], sorted(listed)):
            self.assertEqual(leaves_of(processor), listed[number])
            # Each is the processor its "CPU n:" heading numbers.
            self.assertEqual(processor["os_cpu"], number)

    def test_cpuid_r_variants_that_tool_also_reads(self):
        """Upper-case digits, CR LF, a single "CPU:" heading or none, no sub-leaf column."""
        name = "il-GenuineIntel00B0671_RaptorLake_12_CPUID.txt"
        listed = read_register_listing(read_text(os.path.join(FIXTURES, "full", name)))[:1]
        text = write_cpuid_r(listed)
        body = text.split("\n", 1)[1]
        sub_leaf_zero = "".join(re.sub(r"^(   0x\w{8}) 0x00:", r"\1:", line) + "\n"
                                for line in body.splitlines() if " 0x00:" in line)
        only_zero = [{pair: r for pair, r in listed[0].items() if pair[1] == 0}]
        cases = [
            ("upper", re.sub(r"[0-9a-f]{8}", lambda m: m.group(0).upper(), text), listed),
            ("crlf", text.replace("\n", "\r\n"), listed),
            ("one", "CPU:\n" + body, listed),
            ("none", body, listed),
            ("old", sub_leaf_zero, only_zero),
        ]
        with tempfile.TemporaryDirectory() as folder:
            for case, content, want in cases:
                with self.subTest(case=case):
                    document = report("--load", write(folder, case, content))
                    self.assertEqual([leaves_of(p) for p in document["processors"]], want)

    def test_libcpuid_raw_leaves_out_what_lies_above_the_maximum(self):
        path = os.path.join(FIXTURES, "formats", "libcpuid-raw-vm.txt")
        blocks = re.split(r"^_+ Logical CPU #\d+ _+$", read_text(path), flags=re.M)[1:]
        document = report("--load", path)
        self.assertEqual(document["cpu_count"], len(blocks))
        for processor, block in zip(document["processors"], blocks):
            want = raw_leaves(block)
            self.assertEqual(leaves_of(processor), want)
            self.assertNotIn((0x12, 0), want)  # above this processor's maximum, 0xD
            self.assertIn((4, 7), want)


class ThisMachine(unittest.TestCase):
    APIC_ID_FIELDS = {1: (1, 0xFF000000), 0xB: (3, 0xFFFFFFFF), 0x1F: (3, 0xFFFFFFFF),
                      0x8000001E: (0, 0xFFFFFFFF)}

    def without_apic_ids(self, pair, registers):
        field = self.APIC_ID_FIELDS.get(pair[0])
        if field is None:
            return registers
        masked = list(registers)
        masked[field[0]] &= ~field[1] & 0xFFFFFFFF
        return tuple(masked)

    def test_the_full_dump_equals_cpuid_r_on_each_processor(self):
        dump = run("--dump")
        self.assertEqual(dump.returncode, 0, dump.stderr)
        ours = read_cpuid_r(dump.stdout.decode())
        theirs = read_cpuid_r(subprocess.run([cpuid_tool(), "-r"], capture_output=True,
                                             text=True, check=True).stdout)
        self.assertEqual(sorted(ours), sorted(os.sched_getaffinity(0)))
        for cpu, answers in ours.items():
            common = sorted(set(answers) & set(theirs[cpu]))
            # The ranges are the same; only the probes beyond them and where a list of
            # sub-leaves ends differ.
            self.assertGreater(len(common), len(answers) * 3 // 4)
            for pair in common:
                self.assertEqual(self.without_apic_ids(pair, answers[pair]),
                                 self.without_apic_ids(pair, theirs[cpu][pair]),
                                 f"CPU {cpu} leaf {pair[0]:#010x} sub-leaf {pair[1]}")

    def test_cpuid_decodes_the_full_dump_of_this_machine(self):
        dump = run("--dump").stdout
        if cpuid_dies_on(read_cpuid_r(dump.decode())):
            self.skipTest("Debian's cpuid cannot decode this processor's leaf 4")
        with tempfile.TemporaryDirectory() as folder:
            path = write(folder, "dump.txt", dump)
            decoded = subprocess.run([cpuid_tool(), "-f", path], capture_output=True, timeout=60)
            self.assertEqual((decoded.returncode, decoded.stderr), (0, b""))
            self.assertIn(b"vendor_id = ", decoded.stdout)


class Refused(OneLineErrors, unittest.TestCase):
    def test_listings_past_a_bound_or_of_no_known_format(self):
        good = os.path.join(FIXTURES, "formats", "cpuid-r-vm-2cpu.txt")
        answer = "   0x00000000 0x00: eax=0x00000001 ebx=0x00000000 ecx=0x00000000 edx=0x00000000\n"
        cases = [
            ("long-line", "CPU 0:\n" + answer + "\n   " + "0" * 5000 + "\n", ":4:"),
            ("no-format", "hello\nworld\n", ":1:"),
            ("bad-answer", "CPU 0:\n   0x00000000 0x00: eax=0x00000001\n", ":2:"),
            ("bad-register", "CPUID Registers (CPU #0):\nCPUID 00000000: 00000001-1234\n", ":2:"),
            ("too-big", "CPU 0:\n" + answer + (" " * 4000 + "\n") * 8500, ":8389:"),
        ]
        with tempfile.TemporaryDirectory() as folder:
            for name, content, line in cases:
                path = write(folder, name, content)
                with self.subTest(name=name):
                    for mode in (("--report", "--json"), ("--dump",)):
                        self.assert_one_line_error(run(*mode, "--load", good, "--load", path),
                                            f"'{path}'{line}")

    def test_sections_that_are_not_cpuid_data_are_never_printed(self):
        path = os.path.join(FIXTURES, "full", "il-GenuineIntel0090672_AlderLake_01_LC_BC_CPUID.txt")
        private = [b"MB-1234567890", b"ROG MAXIMUS", b"AIDA64", b"MSR 00000"]
        self.assertTrue(all(p.decode() in read_text(path) for p in private))
        for mode in (("--report",), ("--report", "--json"), ("--dump",)):
            result = run(*mode, "--load", path)
            self.assertEqual(result.returncode, 0, result.stderr)
            for text in private:
                self.assertNotIn(text, result.stdout + result.stderr)
        with tempfile.TemporaryDirectory() as folder:
            broken = write(folder, "broken", read_text(path).replace(
                "CPUID 00000001: 00090672", "CPUID 00000001: 0009067", 1))
            result = run("--report", "--load", broken)
            self.assert_one_line_error(result, f"'{broken}':")
            for text in private:
                self.assertNotIn(text, result.stderr)

    def test_dump_goes_without_report(self):
        self.assert_one_line_error(run("--dump", "--report"), "--dump")
        self.assert_one_line_error(run("--dump", "--json"), "--json")

    def test_help_names_the_dump_and_the_formats(self):
        text = run("--help").stdout
        for named in (b"--dump", b"cpuid -r", b"InstLatx64", b"libcpuid"):
            self.assertIn(named, text)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--fixtures", required=True)
    options, rest = parser.parse_known_args()
    BINARY = os.path.abspath(options.binary)
    FIXTURES = os.path.abspath(options.fixtures)
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)
