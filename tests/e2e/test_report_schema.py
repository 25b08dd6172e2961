#!/usr/bin/env python3
"""The JSON report against its schema, docs/report.schema.json (JSON Schema 2020-12, checked
with Debian's python3-jsonschema): the schema is itself valid and closed (every object lists all
its keys as required and allows no others), it refuses documents that break it, and the report
of this machine and of every fixture listing conforms to it."""

import argparse
import copy
import json
import os
import subprocess
import sys
import unittest

try:
    import jsonschema
except ImportError:  # the test fails below, with the package to install
    jsonschema = None

BINARY = None
SCHEMA = None
FIXTURES = None
TALLY = {"documents": 0, "processors": 0}


def load_schema():
    with open(SCHEMA, encoding="utf-8") as f:
        return json.load(f)


def report(*args):
    """The JSON report with the options `args` before --report (where -nodriver is honoured);
    without options, -nodriver: asking for the driver would ask for a password, or load a
    kernel module as root."""
    result = subprocess.run([BINARY, *(args or ("-nodriver",)), "--report", "--json"],
                            capture_output=True,
                            timeout=120)
    assert result.returncode == 0, (args, result.stderr.decode(errors="replace"))
    return json.loads(result.stdout.decode("utf-8"))


def object_schemas(node, where="#"):
    """(where, schema) of every schema in `node` that describes an object's keys."""
    if isinstance(node, dict):
        if "properties" in node:
            yield where, node
        for key, value in node.items():
            yield from object_schemas(value, f"{where}/{key}")
    elif isinstance(node, list):
        for k, value in enumerate(node):
            yield from object_schemas(value, f"{where}/{k}")


def listings():
    """Every fixture listing: the program's own dumps, the public full listings (as their index
    names them), the samples of other tools' formats."""
    def folder(*parts):
        return os.path.join(FIXTURES, *parts)

    with open(folder("full", "index.tsv"), encoding="utf-8") as f:
        full = [folder("full", line.split("\t", 1)[0]) for line in f.read().splitlines()[1:]]
    own = sorted(folder("cpuid", name) for name in os.listdir(folder("cpuid"))
                 if name.endswith(".txt"))
    formats = sorted(folder("formats", name) for name in os.listdir(folder("formats")))
    return own + full + formats


class Schema(unittest.TestCase):
    def setUp(self):
        self.assertIsNotNone(jsonschema, "python3-jsonschema is needed (scripts/test.sh installs it)")
        self.schema = load_schema()
        self.validator = jsonschema.Draft202012Validator(self.schema)

    def assert_valid(self, document, what):
        errors = sorted(self.validator.iter_errors(document), key=lambda e: list(e.absolute_path))
        messages = [f"{'/'.join(map(str, e.absolute_path)) or '(top)'}: {e.message[:200]}"
                    for e in errors[:5]]
        self.assertEqual(messages, [], what)
        TALLY["documents"] += 1
        TALLY["processors"] += len(document["processors"])

    def test_the_schema_is_a_valid_2020_12_schema(self):
        self.assertEqual(self.schema["$schema"], "https://json-schema.org/draft/2020-12/schema")
        jsonschema.Draft202012Validator.check_schema(self.schema)

    def test_every_object_requires_all_its_keys_and_allows_no_other(self):
        described = list(object_schemas(self.schema))
        self.assertGreaterEqual(len(described), 20)
        for where, node in described:
            with self.subTest(where=where):
                self.assertIs(node.get("additionalProperties"), False)
                self.assertEqual(sorted(node.get("required", [])), sorted(node["properties"]))

    def test_documents_that_break_it_are_refused(self):
        document = report("--load", os.path.join(FIXTURES, "cpuid", "amd-0000670-k7-morgan.txt"))
        self.assert_valid(document, "the fixture's own report")

        def processor(d):
            return d["processors"][0]

        breaks = [
            ("no schema_version", lambda d: d.pop("schema_version")),
            ("another schema_version", lambda d: d.update(schema_version=2)),
            ("a key of no record", lambda d: processor(d).update(extra=0)),
            ("a record's key gone", lambda d: processor(d)["tlevel2"].pop("UnitCount")),
            ("a flag of 2", lambda d: processor(d)["tCPUfeatures"].update(SSE=2)),
            ("a register in lower case", lambda d: processor(d)["tCPUdata"][0].update(eax="0000000a")),
            ("26 legacy leaves", lambda d: processor(d)["tCPUdata"].pop()),
            ("31 feature bits", lambda d: processor(d)["tFeaturesFlags"]["StdEDX"]["Bits"].pop()),
            ("a byte past 255", lambda d: processor(d)["tCPUid_m"].update(Family=256)),
            ("a clock as text", lambda d: processor(d)["tClocks"].update(CoreClock="0")),
            ("an unknown vendor key", lambda d: processor(d).update(tFlagBrand="via")),
            ("an unknown cache type", lambda d: processor(d)["caches"].append(
                {"level": 1, "type": "code", "size_kb": 1, "ways": 1, "line_bytes": 64,
                 "sets": 16, "shared_by": 1})),
            ("a machine count below 0", lambda d: d["machine"].update(cores=-1)),
            ("driver_loaded as a number", lambda d: d.update(driver_loaded=0)),
        ]
        for name, change in breaks:
            with self.subTest(name=name):
                broken = copy.deepcopy(document)
                change(broken)
                self.assertFalse(self.validator.is_valid(broken))

    def test_the_report_of_this_machine_conforms(self):
        document = report("-nodriver")
        self.assertEqual(document["schema_version"], self.schema["properties"]["schema_version"]["const"])
        self.assert_valid(document, "this machine's report")

    def test_the_report_of_every_fixture_listing_conforms(self):
        files = listings()
        self.assertGreater(len(files), 300)
        for path in files:
            with self.subTest(listing=os.path.relpath(path, FIXTURES)):
                self.assert_valid(report("--load", path), path)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--schema", required=True)
    parser.add_argument("--fixtures", required=True)
    options, rest = parser.parse_known_args()
    BINARY, SCHEMA, FIXTURES = options.binary, options.schema, options.fixtures
    result = unittest.main(argv=[sys.argv[0], *rest], verbosity=2, exit=False).result
    print(f"validated {TALLY['documents']} documents, {TALLY['processors']} processors",
          file=sys.stderr)
    sys.exit(0 if result.wasSuccessful() else 1)
