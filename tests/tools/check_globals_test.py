#!/usr/bin/env python3
"""The program-wide object check: a small tree that matches its allow-list
passes; a new global, a new static member or function static fails, named by
file and line; constants, functions, types and extern declarations pass; an
allowed object that is gone fails and asks for its line to be removed; the
real tree matches tools/globals_allowed.txt."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECKER = sys.argv.pop(1) if len(sys.argv) > 1 else os.path.join(
    os.path.dirname(__file__), "..", "..", "tools", "check_globals.py")

CLEAN = {
    "data/sale_state.h": "#pragma once\nnamespace tarvo {\nstruct SaleState { int gItemCount = 0; };\n"
                         "extern SaleState gSale;\n}  // namespace tarvo\n",
    "data/sale_state.cpp": '#include "data/sale_state.h"\nnamespace tarvo {\nSaleState gSale;\n}\n',
    "data/log.cpp": "namespace tarvo {\nLogFile& ProgramLog() {\n    static LogFile log;\n    return log;\n}\n}\n",
    "common/money.h": "#pragma once\n#include <string>\nnamespace tarvo {\n"
                      "inline constexpr int kCents = 100;\n"
                      "inline const std::string kName = \"x\";\n"
                      "constexpr const char* kTitle = \"T\";\n"
                      "const char* const kOther = \"O\";\n"
                      "static const std::array<std::array<const char*, 3>, 2> kTable = {{}};\n"
                      "int Round(int a, int b = 0);\n"
                      "std::string Text(const std::string& s);\n"
                      "using Cents = long;\n"
                      "enum class Kind { A, B };\n"
                      "struct Money { long units = 0; static constexpr int kScale = 4; int Get() const; };\n"
                      "}  // namespace tarvo\n",
    "common/money.cpp": '#include "common/money.h"\n#include <map>\nnamespace tarvo {\nnamespace {\n'
                        "constexpr int kLimit = 5;\n"
                        "const std::map<int, const char*> kNames = {{1, \"a\"}};\n"
                        "}  // namespace\n"
                        "int Round(int a, int b) {\n    static const int kTen = 10;\n"
                        "    int local = a + b;\n    for (int i = 0; i < 3; ++i) local += i;\n"
                        "    auto f = [&](int x) { return x + local; };\n"
                        "    return f(kTen);\n}\n"
                        "int Money::Get() const { return static_cast<int>(units); }\n"
                        "}  // namespace tarvo\n",
    "platform/process.cpp": "extern char** environ;\nnamespace tarvo {\nchar** Env() { return environ; }\n}\n",
}
ALLOWED = "data/log.cpp: ProgramLog()::log\ndata/sale_state.cpp: gSale\n"


def tree(root, files):
    for path, text in files.items():
        full = os.path.join(root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w") as f:
            f.write(text)


def run(root, allowed):
    r = subprocess.run([sys.executable, CHECKER, root, "--allowed", allowed], capture_output=True, text=True)
    return r.returncode, r.stdout


class GlobalsCheck(unittest.TestCase):
    def check(self, extra, allowed=ALLOWED):
        with tempfile.TemporaryDirectory() as root:
            src = os.path.join(root, "src")
            tree(src, {**CLEAN, **extra})
            allowed_file = os.path.join(root, "globals_allowed.txt")
            with open(allowed_file, "w") as f:
                f.write(allowed)
            return run(src, allowed_file)

    def test_clean_tree_passes(self):
        code, out = self.check({})
        self.assertEqual(code, 0, out)
        self.assertEqual(out, "")

    def test_new_objects_are_named_by_file_and_line(self):
        cases = [
            ("a global beside gSale", {"data/sale_state.cpp": '#include "data/sale_state.h"\nnamespace tarvo {\n'
                                                              "SaleState gSale;\nint gCount = 0;\n}\n"},
             "data/sale_state.cpp:4:", "'gCount'"),
            ("a static in an anonymous namespace",
             {"print/slip.cpp": "namespace tarvo {\nnamespace {\n\nstatic std::string lastSlip;\n}\n}\n"},
             "print/slip.cpp:4:", "'lastSlip'"),
            ("a mutable function static", {"sale/totals.cpp": "namespace tarvo {\nint Next() {\n    if (true) {\n"
                                                              "        static int counter = 0;\n"
                                                              "        return ++counter;\n    }\n}\n}\n"},
             "sale/totals.cpp:4:", "'Next()::counter'"),
            ("a static data member", {"office/state.h": "#pragma once\nstruct Office {\n    int a;\n"
                                                        "    static int open;\n    static void Reset();\n};\n"},
             "office/state.h:4:", "'Office::open'"),
            ("a pointer to constant text", {"forms/form.cpp": "namespace tarvo {\nconst char* gCaption = \"A\";\n}\n"},
             "forms/form.cpp:2:", "'gCaption'"),
            ("two at once", {"card/card.cpp": "namespace tarvo {\nstd::string gA, gB = \"b\";\n}\n"},
             "card/card.cpp:2:", "'gB'"),
        ]
        for name, files, where, what in cases:
            with self.subTest(name):
                code, out = self.check(files)
                self.assertEqual(code, 1, out)
                self.assertIn(where, out)
                self.assertIn(what, out)
                self.assertIn("new program-wide mutable object", out)

    def test_an_allowed_object_that_is_gone_must_leave_the_list(self):
        code, out = self.check({"data/log.cpp": "namespace tarvo {\nLogFile& ProgramLog(LogFile& log) {\n"
                                                "    return log;\n}\n}\n"})
        self.assertEqual(code, 1, out)
        self.assertIn("globals_allowed.txt:1: 'data/log.cpp: ProgramLog()::log' no longer exists: remove the line",
                      out)

    def test_the_real_tree_matches_its_list(self):
        here = os.path.dirname(os.path.abspath(CHECKER))
        code, out = run(os.path.join(here, "..", "src"), os.path.join(here, "globals_allowed.txt"))
        self.assertEqual(code, 0, out)


if __name__ == "__main__":
    unittest.main()
