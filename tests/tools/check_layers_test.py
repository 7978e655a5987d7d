#!/usr/bin/env python3
"""The layer check: a clean tree passes; an upward include, an include
between two feature folders and a folder with no layer each fail, named by
file and line."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECKER = sys.argv.pop(1) if len(sys.argv) > 1 else os.path.join(
    os.path.dirname(__file__), "..", "..", "tools", "check_layers.py")


def tree(root, files):
    for path, text in files.items():
        full = os.path.join(root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w") as f:
            f.write(text)


def run(root):
    r = subprocess.run([sys.executable, CHECKER, root], capture_output=True, text=True)
    return r.returncode, r.stdout


CLEAN = {
    "common/money.h": "#pragma once\n#include <string>\n",
    "data/log.cpp": '#include "data/log.h"\n#include "common/money.h"\n',
    "data/log.h": "#pragma once\n",
    "sale/totals.cpp": '#include "sale/totals.h"\n#include "screen/controls.h"\n#include "data/log.h"\n',
    "sale/totals.h": "#pragma once\n",
    "screen/controls.h": '#pragma once\n#include "common/money.h"\n',
    "register/keys.cpp": '#include "sale/totals.h"\n#include "office/opening.h"\n',
    "office/opening.h": '#pragma once\n#include "print/receipt.h"\n',
    "print/receipt.h": '#pragma once\n#include "sale/totals.h"\n',
}


class LayerCheck(unittest.TestCase):
    def check(self, extra):
        with tempfile.TemporaryDirectory() as root:
            tree(root, {**CLEAN, **extra})
            return run(root)

    def test_clean_tree_passes(self):
        code, out = self.check({})
        self.assertEqual(code, 0, out)
        self.assertEqual(out, "")

    def test_offences_are_named_by_file_and_line(self):
        cases = [
            ("upward", {"sale/totals.cpp": '#include "sale/totals.h"\n\n#include "register/keys.h"\n'},
             "sale/totals.cpp:3:", "higher layer 'register'"),
            ("screen reaching the sale", {"screen/controls.h": '#pragma once\n#  include "sale/totals.h"\n'},
             "screen/controls.h:2:", "higher layer 'sale'"),
            ("between features", {"office/opening.h": '#pragma once\n#include "online/pages.h"\n'},
             "office/opening.h:2:", "a folder of its own layer"),
            ("folder with no layer", {"gadgets/thing.cpp": "int x;\n"}, "gadgets", "has no layer"),
        ]
        for name, files, where, why in cases:
            with self.subTest(name):
                code, out = self.check(files)
                self.assertEqual(code, 1, out)
                self.assertIn(where, out)
                self.assertIn(why, out)

    def test_system_and_same_folder_includes_are_free(self):
        code, out = self.check({"common/text.cpp": '#include <vector>\n#include "common/money.h"\n#include "local.h"\n'})
        self.assertEqual(code, 0, out)

    def test_the_real_tree_passes(self):
        code, out = run(os.path.join(os.path.dirname(CHECKER), "..", "src"))
        self.assertEqual(code, 0, out)


if __name__ == "__main__":
    unittest.main()
