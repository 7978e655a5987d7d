#!/usr/bin/env python3
"""Fails on an #include that reaches up the layers of src/.

Usage: check_layers.py [SRC_DIR]   (default: the src/ beside this script)

Every folder of src/ has a layer in LAYERS below. A file may include headers
of its own folder and of folders of lower layers only; folders that share a
layer (the feature subsystems) do not include each other, they talk through
the service interfaces of the screen layer. An include of a folder that is
not in the table is an error too, so a new folder must be given its layer
here. Each offence is printed as "file:line: ..." and the exit code is 1.
"""
import os
import re
import sys

# Bottom to top. Keep docs/ARCHITECTURE.md in step with this table.
LAYERS = [
    ["common"],
    ["platform"],
    ["config"],
    ["data"],
    ["backoffice"],
    ["screen"],
    ["sale"],
    ["print"],
    ["card", "office", "inventory", "forms", "transfer", "online"],
    ["register"],
    ["startup"],
    ["ui"],
    ["app"],
]

RANK = {folder: rank for rank, folders in enumerate(LAYERS) for folder in folders}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"/]+)/[^"]*"')


def check(src):
    problems = []
    for folder in sorted(os.listdir(src)):
        path = os.path.join(src, folder)
        if not os.path.isdir(path):
            continue
        if folder not in RANK:
            problems.append(f"{path}: folder '{folder}' has no layer in tools/check_layers.py")
            continue
        for root, _, files in os.walk(path):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                file = os.path.join(root, name)
                with open(file, encoding="utf-8", errors="replace") as f:
                    for lineno, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = m.group(1)
                        if target == folder:
                            continue
                        if target not in RANK:
                            if os.path.isdir(os.path.join(src, target)):
                                problems.append(f"{file}:{lineno}: includes '{target}/', a folder with no layer")
                            continue
                        if RANK[target] > RANK[folder]:
                            problems.append(f"{file}:{lineno}: '{folder}' includes '{m.group(0).strip()}' "
                                            f"of the higher layer '{target}'")
                        elif RANK[target] == RANK[folder]:
                            problems.append(f"{file}:{lineno}: '{folder}' includes '{m.group(0).strip()}' "
                                            f"of '{target}', a folder of its own layer")
    return problems


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
    problems = check(os.path.normpath(src))
    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} include(s) against the layers", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
