#!/usr/bin/env python3
"""End-to-end tests of the driver process: the report of a user without privilege, whose
driver the test starts as root over fake hardware through a launcher in pkexec's place; the
same user when the driver does not start, which must look exactly like -nodriver; and the
driver refusing to run by hand."""

import argparse
import json
import os
import re
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import unittest

BINARY = None
FAKE_DRIVER = None
LAUNCHER = None

# The fake firmware's one processor entry: external clock and current speed, MHz.
EXT_CLOCK, CURRENT_SPEED = 100, 2400

# The fake registers. Legacy multipliers: EBL_CR_POWERON (0x2A) and EBC_FREQUENCY_ID (0x2C).
# Today's processors: IA32_PERF_STATUS (0x198), AMD's COFVID status (0xC0010071), the current
# P-state (0xC0010063, P-state 0) and its definition (0xC0010064, enabled by bit 63).
FAKE_REGISTERS = ["--msr", "0x2A=0x00C00000", "--msr", "0x2C=0x0C000000",
                  "--msr", "0x198=0x1800", "--msr", "0xC0010071=0x20", "--msr", "0xC0010063=0",
                  "--msr", "0xC0010064=0x8000000000000860"]

# The multiplier each method gives for those registers, worked out by hand from the vendors'
# manuals, by MultiplierMethod. Legacy: 0x2A bits 25..22 = 3 is the P6 ratio 2.0, bits 26..22
# = 3 the Pentium M's 3; 0x2C bits 28..24 = 12 the Pentium 4's 12. Ratio registers:
MULTIPLIER_OF_METHOD = {
    3: 2.0, 6: 12.0, 7: 3.0,
    8: 6144.0,  # Nehalem, Westmere: IA32_PERF_STATUS 15..0 = 0x1800
    9: 24.0,    # from Sandy Bridge: IA32_PERF_STATUS 15..8 = 0x18
    # COFVID status: CurCpuFid 5..0 = 0x20, CurCpuDid 8..6 = 0
    10: 24.0,   # 100 MHz x (32 + 16) / 2^0 = 4800 MHz over a 200 MHz reference
    11: 48.0,   # the same 4800 MHz over a 100 MHz reference
    12: 20.0,   # family 11h: 100 MHz x (32 + 8) = 4000 MHz over 200 MHz
    13: 24.0,   # families 17h, 19h: CpuFid 7..0 = 0x60, CpuDfsId 13..8 = 8: 200 x 96 / 8 MHz
    14: 107.2,  # family 1Ah: CpuFid 11..0 = 0x860 = 2144 x 5 MHz = 10720 MHz over 100 MHz
}


def smbios_tables():
    """A 2.x entry point and a table of one processor structure (type 4, no strings) and the
    end-of-table structure, in the published layouts."""
    processor = bytearray(0x1A)
    processor[0], processor[1] = 4, 0x1A
    struct.pack_into("<HHHB", processor, 0x12, EXT_CLOCK, 3000, CURRENT_SPEED, 0x41)
    table = bytes(processor) + b"\0\0" + bytes([127, 4, 0, 0]) + b"\0\0"
    entry = bytearray(0x1F)
    entry[0:4] = b"_SM_"
    struct.pack_into("<HIH", entry, 0x16, len(table), 0x000F1000, 2)
    return bytes(entry), table


# The registers that tell which processor answered: the APIC identifiers of leaf 1 (EBX
# 31..24), of 0xB and 0x1F (EDX), and of 0x8000001E (EAX).
APIC_ID_REGISTERS = {("00000001", "ebx"), ("0000000B", "edx"), ("0000001F", "edx"),
                     ("8000001E", "eax")}


def where_it_ran_masked(document):
    """The JSON report without what differs run to run on the same machine: the measured
    clocks (the effective clock's source too: a run whose every timed chain the hypervisor stole
    from has none), the sensors, and what depends on which host processor a virtual processor
    ran on at the moment (its APIC identifiers, and the topology made of them)."""
    document.pop("machine")
    document.pop("sensors")
    for processor in document["processors"]:
        del processor["tClocks"]
        for key in ("tsc_mhz", "effective_mhz", "effective_source", "derived_multiplier"):
            del processor["frequency"][key]
        del processor["tCPUid_m"]["APICID"]
        del processor["topology"]
        for rows in (processor["tCPUdata"], processor["leaves"]):
            for row in rows:
                for leaf, register in APIC_ID_REGISTERS:
                    if row["leaf"] == leaf:
                        row[register] = None
    return document


WAIT_NOTICE = (b"lumarian: waiting up to 60 s for an administrator's approval to start the "
               b"driver\n")


def told(result):
    """Standard error of `result` without the notice of a wait for approval, which a driver
    slow to greet (a machine under load) brings about without anything being wrong."""
    return result.stderr.removeprefix(WAIT_NOTICE)


def as_nobody(*args, **env):
    """Runs the program as the unprivileged user nobody (65534, whatever its name), with `env`
    added."""
    environment = dict(os.environ, **env)
    for name in ("DISPLAY", "WAYLAND_DISPLAY"):
        environment.pop(name, None)
    return subprocess.run(["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                           "--", BINARY, *args], env=environment, stdin=subprocess.DEVNULL,
                          capture_output=True, timeout=120, cwd="/")


class Broker:
    """Takes the socket and driver path the launcher hands over and starts the fake driver on
    that socket, as root."""

    def __init__(self, folder, driver_args):
        self.path = os.path.join(folder, "broker")
        self.listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.listener.bind(self.path)
        os.chmod(self.path, 0o777)
        self.listener.listen(1)
        self.listener.settimeout(60)
        self.driver_args = driver_args
        self.asked_for = None
        self.driver = None
        self.thread = threading.Thread(target=self.serve)
        self.thread.start()

    def serve(self):
        try:
            connection, _ = self.listener.accept()
        except OSError:
            return
        with connection:
            message, fds, _, _ = socket.recv_fds(connection, 4096, 1)
            self.asked_for = message.decode()
            self.driver = subprocess.Popen([FAKE_DRIVER, *self.driver_args], stdin=fds[0])
            os.close(fds[0])
            connection.send(b"k")

    def close(self):
        self.listener.close()
        self.thread.join()
        status = self.driver.wait(timeout=30) if self.driver else None
        return status


def in_vmware_guest():
    """Whether this machine is a VMware guest, from what the firmware and the hypervisor say of
    themselves: the program starts no driver there."""
    for name in ("sys_vendor", "product_name"):
        try:
            with open(os.path.join("/sys/class/dmi/id", name)) as f:
                if "VMware" in f.read():
                    return True
        except OSError:
            pass
    out = subprocess.run(["cpuid", "-1", "-r", "-l", "0x40000000"], capture_output=True,
                         text=True).stdout
    registers = dict(re.findall(r"(e[bcd]x)=0x([0-9a-f]{8})", out))
    if len(registers) != 3:
        return False
    signature = b"".join(int(registers[r], 16).to_bytes(4, "little") for r in ("ebx", "ecx", "edx"))
    return signature == b"VMwareVMware"


@unittest.skipUnless(os.geteuid() == 0, "starting the driver as root and the program as nobody "
                                        "needs root")
class UnprivilegedUser(unittest.TestCase):
    def setUp(self):
        if in_vmware_guest():
            self.skipTest("the program starts no driver in a VMware guest")
        self.folder = tempfile.mkdtemp()
        os.chmod(self.folder, 0o755)
        entry, table = smbios_tables()
        self.entry = os.path.join(self.folder, "entry")
        self.table = os.path.join(self.folder, "table")
        with open(self.entry, "wb") as f:
            f.write(entry)
        with open(self.table, "wb") as f:
            f.write(table)

    def tearDown(self):
        subprocess.run(["rm", "-rf", self.folder], check=True)

    def test_the_report_reads_the_fake_hardware_through_the_driver(self):
        broker = Broker(self.folder, ["--smbios", self.entry, self.table, *FAKE_REGISTERS])
        result = as_nobody("--report", "--json", LUMARIAN_DRIVER_LAUNCHER=LAUNCHER,
                           LUMARIAN_TEST_BROKER=broker.path)
        driver_status = broker.close()
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(told(result), b"")
        # The program asked for the driver beside it, which ended when the program did.
        # (The program finds its folder as the kernel names it, with links resolved.)
        self.assertEqual(os.path.realpath(broker.asked_for),
                         os.path.join(os.path.dirname(os.path.realpath(BINARY)), "lumarian-driver"))
        self.assertEqual(driver_status, 0)

        document = json.loads(result.stdout)
        self.assertTrue(document["driver_loaded"])
        self.assertIsNone(document["driver_lost_after_s"])
        self.assertFalse(document["nodmi"])
        self.assertEqual(document["smbios"], "read")
        # Every processor without registers of its own gets 24 from the firmware's entry
        # (current speed over external clock).
        for processor in document["processors"]:
            method = processor["MultiplierMethod"]
            with self.subTest(slot=processor["slot"], method=method):
                self.assertEqual(processor["tClocks"]["Multiplier"],
                                 MULTIPLIER_OF_METHOD.get(method, CURRENT_SPEED / EXT_CLOCK))
                self.assertGreater(processor["tClocks"]["BusClock"], 0)

    def test_without_a_driver_the_report_is_exactly_that_of_nodriver(self):
        def without_clocks(result):
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(told(result), b"")
            document = json.loads(result.stdout)
            refusals.append(document.pop("driver_refusal"))
            return where_it_ran_masked(document)

        refusals = []
        skipped = without_clocks(as_nobody("-nodriver", "--report", "--json"))
        self.assertFalse(skipped["driver_loaded"])
        self.assertEqual(refusals.pop(), "")  # not wanted: nothing to explain
        # Declined; no polkit: but for the reason the driver is missing, the same report.
        for launcher, reason in (("/bin/false", "approval was declined or not given"),
                                 ("/nonexistent/pkexec", "pkexec or lumarian-driver is not")):
            with self.subTest(launcher=launcher):
                declined = as_nobody("--report", "--json", LUMARIAN_DRIVER_LAUNCHER=launcher)
                self.assertEqual(without_clocks(declined), skipped)
                self.assertIn(reason, refusals.pop())
                text = as_nobody("--report", LUMARIAN_DRIVER_LAUNCHER=launcher)
                self.assertEqual(text.returncode, 0)
                self.assertRegex(text.stdout.decode(),
                                 r"\n  Hardware access +Couldn't Load Driver\n  Why +.*" + reason)

    def test_a_driver_lost_during_the_report_is_reported_lost(self):
        # The driver greets and then ends at its first request, as one that is killed does, on a
        # machine of one processor as on one of many.
        lost = rb"lost after \d+\.\d s"
        for arguments in (["--report", "--json"], ["--report"]):
            with self.subTest(arguments=arguments):
                broker = Broker(self.folder, ["--answers", "0", *FAKE_REGISTERS])
                result = as_nobody(*arguments, LUMARIAN_DRIVER_LAUNCHER=LAUNCHER,
                                   LUMARIAN_TEST_BROKER=broker.path)
                broker.close()
                os.unlink(broker.path)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertRegex(told(result), rb"^lumarian: the driver stopped answering \("
                                 + lost + rb"\); the report goes on without it\n$")
                if "--json" in arguments:
                    document = json.loads(result.stdout)
                    self.assertFalse(document["driver_loaded"])
                    said = re.search(rb"lost after (\d+\.\d) s", result.stderr).group(1)
                    self.assertAlmostEqual(document["driver_lost_after_s"], float(said),
                                           delta=0.05)
                else:
                    self.assertRegex(result.stdout, rb"\n  Hardware access +" + lost + rb"\n")

    def test_a_report_with_nowhere_to_go_asks_nobody_for_the_driver(self):
        marker = os.path.join(self.folder, "asked")
        launcher = os.path.join(self.folder, "launcher")
        with open(launcher, "w") as f:
            f.write("#!/bin/sh\ntouch %s\n" % marker)
        os.chmod(launcher, 0o755)
        os.chmod(self.folder, 0o777)
        result = subprocess.run(
            ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--", "sh", "-c",
             'exec "$0" --report >&-', BINARY], env=dict(os.environ, LUMARIAN_DRIVER_LAUNCHER=launcher),
            stdin=subprocess.DEVNULL, capture_output=True, timeout=120, cwd="/")
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertFalse(os.path.exists(marker))


class ByHand(unittest.TestCase):
    def test_the_driver_serves_only_a_socket_the_program_gave_it(self):
        driver = os.path.join(os.path.dirname(BINARY), "lumarian-driver")
        for args in ([], ["--help"]):
            result = subprocess.run([driver, *args], stdin=subprocess.DEVNULL,
                                    capture_output=True, timeout=30)
            self.assertEqual(result.returncode, 2)
            self.assertIn(b"not to be run by hand", result.stderr)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--fake-driver", required=True)
    parser.add_argument("--launcher", required=True)
    options, rest = parser.parse_known_args()
    BINARY = os.path.abspath(options.binary)
    FAKE_DRIVER = os.path.abspath(options.fake_driver)
    LAUNCHER = os.path.abspath(options.launcher)
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)
