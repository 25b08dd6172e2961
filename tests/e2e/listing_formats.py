"""The register listings of the public CPUID collections, read independently of the program
(regular expressions over the grammar of the collections), and written back in the two other
listing formats the program reads. Used by the end-to-end tests, and by scripts/fuzz.sh to
seed the fuzz targets of those formats from the same recordings.

A processor is a dict {(leaf, sub_leaf): (eax, ebx, ecx, edx)}."""

import re
import sys

# Headings that open the answers of a processor.
PROCESSOR_HEADING = re.compile(
    r"^(?:------\[ (?:CPUID Registers / )?Logical CPU #\d+[^\]]*\]------"
    r"|CPU#\d+\s+AffMask:.*"
    r"|CPUID Registers \(CPU #\d+\):.*"
    r"|Group: .*Affinity mask:.*)$")
# Any other heading opens a section of something else (versions, board, MSRs).
OTHER_SECTION = re.compile(r"^------\[.*\]------")
ANSWER = re.compile(
    r"^CPUID[ \t]+([0-9A-Fa-f]{8})(?::[ \t]*|[ \t]+)"
    r"([0-9A-Fa-f]{8})(?:-|[ \t]+)([0-9A-Fa-f]{8})(?:-|[ \t]+)"
    r"([0-9A-Fa-f]{8})(?:-|[ \t]+)([0-9A-Fa-f]{8})(?:[ \t].*)?$")
SUB_LEAF = re.compile(r"\[SL ([0-9A-Fa-f]{1,8})\]")
END_OF_LISTING = re.compile(r"^-{40,}$")


def read_register_listing(text):
    """The processors of a register listing, in file order. Headings without answers count
    for nothing; a leaf listed again without [SL nn] is its next sub-leaf, and leaf 0 listed
    again opens the next processor."""
    processors = [{}]
    in_cpuid = True
    for line in text.split("\n"):
        line = line.removesuffix("\r")
        if END_OF_LISTING.match(line):
            break
        if PROCESSOR_HEADING.match(line):
            processors.append({})
            in_cpuid = True
            continue
        if OTHER_SECTION.match(line):
            in_cpuid = False
            continue
        match = ANSWER.match(line) if in_cpuid else None
        if not match:
            continue
        leaf = int(match.group(1), 16)
        registers = tuple(int(match.group(k), 16) for k in range(2, 6))
        current = processors[-1]
        explicit = SUB_LEAF.search(line)
        if explicit:
            sub_leaf = int(explicit.group(1), 16)
        elif leaf == 0 and (0, 0) in current:
            processors.append({})
            current, sub_leaf = processors[-1], 0
        else:
            sub_leaf = sum(1 for (l, _) in current if l == leaf)
        assert (leaf, sub_leaf) not in current, f"leaf {leaf:#x}.{sub_leaf} twice"
        current[(leaf, sub_leaf)] = registers
    return [p for p in processors if p]


def read_cpuid_r(text):
    """`cpuid -r` output: {cpu number: processor}."""
    processors = {}
    current = None
    for line in text.rstrip("\n").split("\n"):
        heading = re.match(r"^CPU (\d+):$", line)
        if heading:
            current = processors.setdefault(int(heading.group(1)), {})
            continue
        answer = re.match(r"^\s+0x([0-9a-f]{8}) 0x([0-9a-f]+): eax=0x([0-9a-f]{8}) "
                          r"ebx=0x([0-9a-f]{8}) ecx=0x([0-9a-f]{8}) edx=0x([0-9a-f]{8})$", line)
        assert answer and current is not None, f"not cpuid -r output: {line!r}"
        values = [int(v, 16) for v in answer.groups()]
        current[(values[0], values[1])] = tuple(values[2:])
    return processors


def write_cpuid_r(processors):
    lines = []
    for number, processor in enumerate(processors):
        lines.append(f"CPU {number}:")
        for (leaf, sub_leaf), r in sorted(processor.items()):
            lines.append(f"   0x{leaf:08x} 0x{sub_leaf:02x}: eax=0x{r[0]:08x} ebx=0x{r[1]:08x} "
                         f"ecx=0x{r[2]:08x} edx=0x{r[3]:08x}")
    return "\n".join(lines) + "\n"


def write_libcpuid_raw(processors):
    """The raw form of libcpuid: sub-leaf 0 of every leaf in basic_cpuid / ext_cpuid (32
    entries each, zeros where the processor listed nothing), the sub-leaves of leaf 4 and 0xB
    in their own arrays."""
    lines = ["version=0.6.2", ""]
    for number, processor in enumerate(processors):
        lines.append(f"_________________ Logical CPU #{number} _________________")
        for name, base in (("basic_cpuid", 0), ("ext_cpuid", 0x80000000)):
            for index in range(32):
                r = processor.get((base + index, 0), (0, 0, 0, 0))
                lines.append(f"{name}[{index}]=" + " ".join(f"{v:08x}" for v in r))
        for name, leaf in (("intel_fn4", 4), ("intel_fn11", 0xB)):
            for index in range(8):
                r = processor.get((leaf, index), (0, 0, 0, 0))
                lines.append(f"{name}[{index}]=" + " ".join(f"{v:08x}" for v in r))
        lines.append("")
    return "\n".join(lines)


if __name__ == "__main__":
    # Usage: listing_formats.py cpuid-r|libcpuid-raw FOLDER LISTING...
    # writes each register listing, converted, to FOLDER under its own name.
    import os
    writer = write_cpuid_r if sys.argv[1] == "cpuid-r" else write_libcpuid_raw
    for path in sys.argv[3:]:
        with open(path, "rb") as f:
            listed = read_register_listing(f.read().decode("latin-1"))
        with open(os.path.join(sys.argv[2], os.path.basename(path)), "w") as f:
            f.write(writer(listed))
