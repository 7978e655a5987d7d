#!/usr/bin/env python3
"""Turn the text-table data files into a C++ source of constant arrays.

usage: gen_texts.py TEXTS_DIR OUTPUT.cpp [MESSAGES.h]

Data files hold UTF-8 with visible escapes; the generated arrays hold the
windows-1252 bytes the register works with. MESSAGES.h gets the `Message`
enumeration: one name per row of the English message table, made of the
text's words, so a call names its message and a misspelt one does not compile.
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


# Signs that carry meaning in a message's text, spelt out in its name.
NAME_SIGNS = [("(+)", " Plus "), ("(-)", " Minus "), ("%", " Percent "), ("$", " Dollar "), ("&", " And "),
              ("#", " No "), ("'", "")]


def message_name(text):
    """The enumerator for one English message: its words run together.

    A text all in capitals is a printout heading and gets "Title"."""
    for sign, word in NAME_SIGNS:
        text = text.replace(sign, word)
    heading = text.upper() == text and re.search("[A-Z]{2}", text)
    words = re.findall(r"[A-Za-z0-9]+", text)
    if heading:
        return "".join(w.capitalize() for w in words) + "Title"
    return "".join(w[0].upper() + w[1:] for w in words)


def message_names(rows):
    """Number and name of every English message, names unique.

    Where two texts give the same name, a label (text ending in ":" or "=")
    gets "Label"; a text that repeats an earlier one word for word gets its
    number."""
    english = [(keys[0], data.decode("cp1252")) for keys, data in rows if keys[1] == 1]
    base = [(n, message_name(t), t) for n, t in english]
    count = {}
    for _, name, _ in base:
        count[name] = count.get(name, 0) + 1
    out, taken = [], set()
    for n, name, text in base:
        if count[name] > 1 and re.search(r"[:=]\s*$", text):
            name += "Label"
        if name in taken:
            name += str(n)
        if name in taken or not name:
            raise SystemExit("messages_en.txt:%d: no unique name for the message" % n)
        taken.add(name)
        out.append((n, name, text))
    return out


def write_if_changed(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if not os.path.exists(path) or open(path).read() != text:
        with open(path, "w") as f:
            f.write(text)


def messages_header(rows):
    lines = ["// Generated from src/config/texts/messages_en.txt by tools/gen_texts.py: do not edit.",
             "#pragma once", "", "namespace tarvo {", "",
             "// The register's messages by name; each value is the message's number in",
             "// the message table (the number the documentation gives).",
             "enum class Message : short {",
             "    None = 0,  // no message"]
    for n, name, text in message_names(rows):
        shown = text.replace("\r\n", " ").replace("\\", "/")
        lines.append("    %s = %d,  // \"%s\"" % (name, n, shown.strip()))
    lines += ["};", "", "}  // namespace tarvo", ""]
    return "\n".join(lines)


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
    write_if_changed(out, "\n".join(lines) + "\n")
    if len(sys.argv) > 3:
        write_if_changed(sys.argv[3], messages_header(tables["messages_en"]))


if __name__ == "__main__":
    main()
