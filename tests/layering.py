#!/usr/bin/env python3
"""Checks who includes whom: every program folder includes only the folders its row allows,
no two folders include each other, only the window includes Qt, and every folder says in a
README what it holds and may include.

Usage: layering.py [--root DIR]    (DIR: the project's top folder; default: this file's parent's)
Prints one line per breach and exits 1 when there is any; 0 and a tally otherwise.
"""
import argparse
import pathlib
import re
import subprocess
import sys

# What each folder of the program may include besides itself. A folder not listed here is an
# error: a new folder gets its row (and its README) when it is made. "engine/*" stands for the
# engine's stage folders.
ALLOWED = {
    "platform": [],
    "protocol": [],
    "device": ["protocol"],
    "smbios": ["protocol"],
    "driver": ["device", "protocol", "smbios"],
    "hw": ["device", "protocol", "smbios", "platform"],
    "engine/store": ["platform"],
    "engine/capture": ["engine/store", "platform"],
    "engine/listings": ["engine/store", "platform"],
    "engine/decode": ["engine/store", "platform"],
    "engine/clocks": ["engine/store", "protocol", "platform"],
    "engine/naming": ["engine/store", "engine/decode", "engine/clocks", "platform"],
    "engine": ["engine/*", "platform", "protocol", "smbios"],
    "view": ["engine", "engine/*", "platform"],
    "images": [],
    "images/tools": ["images"],
    "data/Icon": ["images", "images/tools"],
    "data/Logo": ["images", "images/tools", "view"],
    "ui": ["app", "view", "engine", "engine/*", "hw", "protocol", "smbios", "platform", "images",
           "data/Icon"],
    "app": ["view", "engine", "engine/*", "hw", "protocol", "smbios", "platform"],
}

# The one folder whose code may include Qt.
QT_FOLDERS = {"ui"}

# The engine is one object, cCPUid, whose members each stage defines in its own .cpp files:
# those may include the engine's own headers (the class, the version); a stage's headers may not.
ENGINE_ROOT_FOR_STAGE_SOURCES = "engine"

# Folders that are not the program: they may include anything.
OUTSIDE = ("tests", "bench", "fuzz", ".git", "docs", "scripts", ".ci")

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
QT_HEADER = re.compile(r"^(Q[A-Za-z]+|Qt[A-Za-z]*/.*)$")


def folder_of(path):
    """The folder a file belongs to in the table: its parent, relative to the root."""
    return str(pathlib.PurePosixPath(path).parent)


def allowed(source_folder, target_folder):
    for pattern in ALLOWED[source_folder]:
        if pattern == target_folder:
            return True
        if pattern.endswith("/*") and target_folder.startswith(pattern[:-1]):
            return True
    return False


def is_engine_stage(folder):
    return folder.startswith("engine/")


def tree_files(root):
    """The files of the tree: git's (tracked, and new ones it does not ignore) where the root is a
    checkout's top, else every file under the root but the build folders."""
    try:
        top = subprocess.run(["git", "-C", str(root), "rev-parse", "--show-toplevel"],
                             capture_output=True, text=True, check=True).stdout.strip()
        if pathlib.Path(top).resolve() == root.resolve():
            listed = subprocess.run(["git", "-C", str(root), "ls-files", "-co", "--exclude-standard"],
                                    capture_output=True, text=True, check=True).stdout
            return sorted(pathlib.PurePosixPath(line) for line in listed.splitlines())
    except (OSError, subprocess.CalledProcessError):
        pass
    return sorted(path.relative_to(root) for path in root.rglob("*")
                  if path.is_file() and not path.relative_to(root).parts[0].startswith("build"))


def program_files(root):
    for relative in tree_files(root):
        if relative.parts[0] in OUTSIDE or not (root / relative).is_file():
            continue
        if relative.suffix in (".cpp", ".h"):
            yield relative


def check(root):
    breaches = []
    edges = {}  # (from folder, to folder) -> an example "file: include"
    folders = set()
    count = 0
    for relative in program_files(root):
        source = folder_of(relative)
        folders.add(source)
        if source not in ALLOWED:
            breaches.append(f"{relative}: folder {source}/ has no row in the layering table")
            continue
        text = (root / relative).read_text(encoding="utf-8", errors="replace")
        for number, line in enumerate(text.splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            count += 1
            kind, name = match.groups()
            where = f"{relative}:{number}"
            if kind == "<":
                if QT_HEADER.match(name) and source not in QT_FOLDERS:
                    breaches.append(f"{where}: {source}/ includes Qt (<{name}>)")
                continue
            if not (root / name).is_file():
                breaches.append(f"{where}: includes \"{name}\", which is not a file of the tree")
                continue
            target = folder_of(name)
            if target == source:
                continue
            stage_source = (is_engine_stage(source) and target == ENGINE_ROOT_FOR_STAGE_SOURCES
                            and relative.suffix == ".cpp")
            if stage_source:
                continue
            if not allowed(source, target):
                breaches.append(f"{where}: {source}/ may not include {target}/ (\"{name}\")")
            edges.setdefault((source, target), f"{where}")
    for (source, target), where in sorted(edges.items()):
        if source < target and (target, source) in edges:
            breaches.append(f"{source}/ and {target}/ include each other ({where} and "
                            f"{edges[(target, source)]})")
    # Every top folder, and every stage of the engine, says in a README what it holds.
    for folder in sorted({f for f in ALLOWED if "/" not in f or is_engine_stage(f)}):
        if (root / folder).is_dir() and not (root / folder / "README.md").is_file():
            breaches.append(f"{folder}/ has no README.md saying what it holds and may include")
    return breaches, count, len(folders)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", type=pathlib.Path,
                        default=pathlib.Path(__file__).resolve().parent.parent)
    arguments = parser.parse_args()
    breaches, includes, folders = check(arguments.root)
    for breach in breaches:
        print(breach)
    if breaches:
        print(f"layering: {len(breaches)} breaches")
        return 1
    print(f"layering: {includes} includes of {folders} folders, all as the table allows")
    return 0


if __name__ == "__main__":
    sys.exit(main())
