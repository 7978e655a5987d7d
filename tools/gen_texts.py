#!/usr/bin/env python3
"""Turn the text-table data files into a C++ source of constant arrays.

usage: gen_texts.py TEXTS_DIR OUTPUT.cpp

Data files hold UTF-8 with visible escapes; the generated arrays hold the
windows-1252 bytes the register works with.
"""
import os
import re
import sys

# windows-1252 bytes 0x80-0x9F; the five unassigned ones map to the C1 control
# of the same value, as everywhere else in the register.
CP1252_HIGH = [0x20AC, 0x81, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039,
               0x0152, 0x8D, 0x017D, 0x8F, 0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D, 0x017E, 0x0178]
TO_1252 = {cp: 0x80 + i for i, cp in enumerate(CP1252_HIGH)}


def to_1252(text, where):
    out = bytearray()
    for ch in text:
        cp = ord(ch)
        if cp < 0x80 or 0xA0 <= cp <= 0xFF:
            out.append(cp)
        elif cp in TO_1252:
            out.append(TO_1252[cp])
        else:
            raise SystemExit("%s: character U+%04X has no windows-1252 byte" % (where, cp))
    return bytes(out)


def unescape(body, where):
    out, i = [], 0
    while i < len(body):
        c = body[i]
        if c == "\\":
            n = body[i + 1]
            out.append({"r": "\r", "n": "\n", "t": "\t", "\\": "\\", '"': '"'}.get(n))
            if out[-1] is None:
                raise SystemExit("%s: unknown escape \\%s" % (where, n))
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def c_literal(data):
    s = []
    for b in data:
        if b in (0x22, 0x5C):
            s.append("\\" + chr(b))
        elif 0x20 <= b < 0x7F:
            s.append(chr(b))
        else:
            s.append("\\%03o" % b)
    return '"' + "".join(s) + '"'


def read(path):
    rows = []
    with open(path, encoding="utf-8", newline="") as f:
        for n, line in enumerate(f.read().split("\n"), 1):
            if not line or line.startswith("#"):
                continue
            where = "%s:%d" % (os.path.basename(path), n)
            fields = line.split("\t")
            keys = [int(x) for x in fields[:-1]]
            last = fields[-1]
            if last.startswith('"'):
                if not last.endswith('"') or len(last) < 2:
                    raise SystemExit(where + ": unterminated text")
                rows.append((keys, to_1252(unescape(last[1:-1], where), where)))
            else:
                rows.append((keys, int(last)))
    return rows


def main():
    src, out = sys.argv[1], sys.argv[2]
    tables = {}
    for name in sorted(os.listdir(src)):
        if name.endswith(".txt"):
            tables[name[:-4]] = read(os.path.join(src, name))
    lines = ["// Generated from src/config/texts by tools/gen_texts.py: do not edit.",
             '#include "config/text_data.h"', "", "namespace tarvo::texts {", ""]
    for name, rows in tables.items():
        ident = "k_" + re.sub(r"\W", "_", name)
        if rows and isinstance(rows[0][1], int):
            lines.append("const NumberRow %s[] = {" % ident)
            for keys, v in rows:
                lines.append("    {%d, %d, %d}," % (keys[0], keys[1], v))
        else:
            lines.append("const TextRow %s[] = {" % ident)
            for keys, data in rows:
                k = keys + [0] * (3 - len(keys))
                lines.append("    {{%d, %d, %d}, %s, %d}," % (k[0], k[1], k[2], c_literal(data), len(data)))
        lines.append("};")
        lines.append("const std::size_t %s_count = %d;" % (ident, len(rows)))
        lines.append("")
    lines.append("}  // namespace tarvo::texts")
    os.makedirs(os.path.dirname(out), exist_ok=True)
    text = "\n".join(lines) + "\n"
    if not os.path.exists(out) or open(out).read() != text:
        with open(out, "w") as f:
            f.write(text)


if __name__ == "__main__":
    main()
