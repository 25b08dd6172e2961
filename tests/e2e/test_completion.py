#!/usr/bin/env python3
"""The bash completion (data/completion/lumarian) under bash-completion's own functions: it offers
every option of `lumarian --help`, -nodmi and -nodriver only where the program honours them,
file names after --load (also as --load=FILE), and nothing after --help or --version."""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

BINARY = None
COMPLETION = None
BASH_COMPLETION = "/usr/share/bash-completion/bash_completion"


def help_options():
    usage = subprocess.run([BINARY, "--help"], capture_output=True, text=True, timeout=60,
                           check=True).stdout
    return set(re.findall(r"^  (-{1,2}[a-z]+)", usage, re.M))


def complete(line, folder):
    """What the completion offers at the end of the command line `line`, run in `folder`."""
    script = "\n".join([
        f"source {BASH_COMPLETION}",
        'source "$1"',
        'read -r -a COMP_WORDS <<< "$2"',
        '[[ $2 == *" " ]] && COMP_WORDS+=("")',
        "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))",
        'COMP_LINE="$3"',
        "COMP_POINT=${#COMP_LINE}",
        'registered=$(complete -p "${COMP_WORDS[0]}") || exit 3',
        'function=${registered#*-F }',
        '"${function%% *}" "${COMP_WORDS[0]}" "${COMP_WORDS[COMP_CWORD]}" '
        '"${COMP_WORDS[COMP_CWORD-1]}"',
        'printf "%s\\n" "${COMPREPLY[@]}"',
    ])
    # Readline breaks words at "=" too: "--load=x" reaches the completion as "--load", "=", "x".
    result = subprocess.run(["bash", "--norc", "--noprofile", "-c", script, "bash", COMPLETION,
                             line.replace("=", " = "), line],
                            cwd=folder, capture_output=True, text=True, timeout=60)
    assert result.returncode == 0, (line, result.stderr)
    return set(filter(None, result.stdout.split("\n")))


class Completion(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp()
        for name in ("intel.txt", "amd.test"):
            open(os.path.join(cls.folder, name), "w").close()
        os.mkdir(os.path.join(cls.folder, "listings"))

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder)

    def setUp(self):
        self.assertTrue(os.path.isfile(BASH_COMPLETION),
                        "bash-completion is needed (scripts/test.sh installs it)")

    def test_offers_every_option_of_the_help_text(self):
        options = help_options()
        self.assertGreaterEqual(len(options), 8)
        self.assertEqual(complete("lumarian ", self.folder), options)
        self.assertEqual(complete("lumarian-window ", self.folder), options)

    def test_offers_each_option_where_the_program_honours_it(self):
        options = help_options()
        late = options - {"-nodmi", "-nodriver"}
        cases = [
            ("lumarian -", options),
            ("lumarian --r", {"--report"}),
            ("lumarian --report --j", {"--json"}),
            ("lumarian -nodmi ", late | {"-nodriver"}),
            ("lumarian -nodriver ", late),
            ("lumarian -nodmi -nodriver ", late),
            ("lumarian --report ", late),
            ("lumarian --report -nod", set()),
            ("lumarian --help ", set()),
            ("lumarian --version ", set()),
        ]
        for line, expected in cases:
            with self.subTest(line=line):
                self.assertEqual(complete(line, self.folder), expected)

    def test_offers_file_names_after_load(self):
        files = {"intel.txt", "amd.test", "listings"}
        cases = [
            ("lumarian --load ", files),
            ("lumarian --report --json --load i", {"intel.txt"}),
            ("lumarian --load=", files),
            ("lumarian --dump --load=a", {"amd.test"}),
            ("lumarian --load l", {"listings"}),
        ]
        for line, expected in cases:
            with self.subTest(line=line):
                self.assertEqual(complete(line, self.folder), expected)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--completion", required=True)
    options, rest = parser.parse_known_args()
    BINARY, COMPLETION = options.binary, os.path.abspath(options.completion)
    sys.exit(not unittest.main(argv=[sys.argv[0], *rest], verbosity=2,
                               exit=False).result.wasSuccessful())
