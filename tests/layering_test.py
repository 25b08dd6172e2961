#!/usr/bin/env python3
"""The layering check on small trees made for the purpose: each breach it must report, and a
tree that keeps every rule, which it must pass. Then the project's own tree."""
import pathlib
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import layering  # noqa: E402

ROOT = pathlib.Path(__file__).resolve().parent.parent


def make_tree(folder, files):
    """Writes `files` (path -> text) and a README in every folder of the table under `folder`."""
    for name in layering.ALLOWED:
        (folder / name).mkdir(parents=True, exist_ok=True)
        (folder / name / "README.md").write_text("what it holds\n")
    for path, text in files.items():
        (folder / path).parent.mkdir(parents=True, exist_ok=True)
        (folder / path).write_text(text)


# A tree that keeps every rule; each case below adds one file to it.
SOUND = {
    "platform/Clock.h": "#pragma once\n#include <ctime>\n",
    "engine/store/Records.h": '#include "platform/Clock.h"\n',
    "engine/decode/Caches.h": '#include "engine/store/Records.h"\n',
    "engine/CPUid.h": '#include "engine/decode/Caches.h"\n',
    "engine/decode/Decoders.cpp": '#include "engine/CPUid.h"\n',
    "view/PageText.h": '#include "engine/CPUid.h"\n',
    "ui/MainUn.cpp": '#include <QWidget>\n#include "view/PageText.h"\n',
}

CASES = [
    ("the engine includes Qt", {"engine/decode/Flags.cpp": "#include <QString>\n"},
     "engine/decode/ includes Qt"),
    ("the view includes Qt", {"view/Texts.cpp": "#include <QtCore/QString>\n"},
     "view/ includes Qt"),
    ("the engine includes the window", {"engine/decode/Flags.cpp": '#include "ui/MainUn.h"\n',
                                        "ui/MainUn.h": "#pragma once\n"},
     "engine/decode/ may not include ui/"),
    ("the engine includes the driver's client", {"engine/clocks/Read.cpp": '#include "hw/VXLDrv.h"\n',
                                                 "hw/VXLDrv.h": "#pragma once\n"},
     "engine/clocks/ may not include hw/"),
    ("the engine includes the command line", {"engine/Report.cpp": '#include "app/Report.h"\n',
                                              "app/Report.h": "#pragma once\n"},
     "engine/ may not include app/"),
    ("the client includes the driver", {"hw/LLDrv.cpp": '#include "driver/Server.h"\n',
                                        "driver/Server.h": "#pragma once\n"},
     "hw/ may not include driver/"),
    ("a stage's header includes the engine's class",
     {"engine/decode/Topology.h": '#include "engine/CPUid.h"\n'},
     "engine/decode/ may not include engine/"),
    ("two folders include each other",
     {"device/Device.h": '#include "protocol/Codes.h"\n',
      "protocol/Codes.h": '#include "device/Device.h"\n'},
     "device/ and protocol/ include each other"),
    ("a folder without a row", {"extras/Thing.cpp": "int x;\n"}, "folder extras/ has no row"),
    ("an include of a file that is not there", {"view/Texts.cpp": '#include "view/Gone.h"\n'},
     "not a file of the tree"),
]


class LayeringCheck(unittest.TestCase):
    def test_a_tree_that_keeps_every_rule_passes(self):
        with tempfile.TemporaryDirectory() as folder:
            make_tree(pathlib.Path(folder), SOUND)
            breaches, includes, _ = layering.check(pathlib.Path(folder))
            self.assertEqual(breaches, [])
            self.assertEqual(includes, 8)

    def test_every_breach_is_reported(self):
        for name, extra, expected in CASES:
            with self.subTest(name), tempfile.TemporaryDirectory() as folder:
                make_tree(pathlib.Path(folder), {**SOUND, **extra})
                breaches, _, _ = layering.check(pathlib.Path(folder))
                self.assertTrue(any(expected in b for b in breaches),
                                f"{expected!r} not among {breaches}")

    def test_a_folder_without_its_readme_is_reported(self):
        with tempfile.TemporaryDirectory() as folder:
            make_tree(pathlib.Path(folder), SOUND)
            (pathlib.Path(folder) / "engine/naming/README.md").unlink()
            breaches, _, _ = layering.check(pathlib.Path(folder))
            self.assertIn("engine/naming/ has no README.md saying what it holds and may include",
                          breaches)

    def test_the_projects_tree_keeps_every_rule(self):
        breaches, includes, _ = layering.check(ROOT)
        self.assertEqual(breaches, [], "\n".join(breaches))
        self.assertGreater(includes, 500)


if __name__ == "__main__":
    unittest.main(verbosity=2)
