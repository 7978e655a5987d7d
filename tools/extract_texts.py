#!/usr/bin/env python3
"""Extract the register's text tables from the quoted table rows of a markdown
document into the data files under src/config/texts/.

usage: extract_texts.py DOCUMENT.md OUTDIR

Each data file holds one entry per line: the integer keys separated by TABs,
then the text between double quotes with visible escapes (\\r, \\n, \\\\).
Texts keep every blank exactly as the markdown source has it.
"""
import re
import sys

TOKEN = re.compile(r'\s*("([^"]*)"|CR LF|CR|LF|empty|\(unset\))')


def parse_cell(cell):
    """A cell is a sequence of quoted strings and line-break words.
    Returns the text, or None for an unset cell."""
    cell = cell.strip()
    if cell == "(unset)":
        return None
    if cell == "empty" or cell == "-":
        return ""
    m = re.fullmatch(r'"([^"]*)" directly followed by "([^"]*)" \(one line, no separator\)', cell)
    if m:
        return m.group(1) + m.group(2)
    out, pos = [], 0
    while pos < len(cell):
        m = TOKEN.match(cell, pos)
        if not m:
            raise ValueError("cannot read cell: %r" % cell)
        tok = m.group(1)
        if tok.startswith('"'):
            out.append(m.group(2))
        elif tok == "CR LF":
            out.append("\r\n")
        elif tok == "CR":
            out.append("\r")
        elif tok == "LF":
            out.append("\n")
        else:
            raise ValueError("unexpected word in cell: %r" % cell)
        pos = m.end()
    return "".join(out)


def escape(text):
    return '"' + text.replace("\\", "\\\\").replace("\r", "\\r").replace("\n", "\\n").replace("\t", "\\t") + '"'


def rows(lines):
    """Table body rows as lists of cells (header and ruler rows skipped)."""
    for line in lines:
        if not line.startswith("|"):
            continue
        cells = [c for c in line.strip().strip("|").split(" | ")]
        cells = [c.strip() for c in cells]
        if re.fullmatch(r"-+", cells[0]) or not re.fullmatch(r"\d+", cells[0]):
            continue
        yield cells


def section(lines, start_pat, end_pat):
    """Lines after the first line matching start_pat up to one matching end_pat."""
    out, on = [], False
    for line in lines:
        if on and re.match(end_pat, line):
            break
        if on:
            out.append(line)
        elif re.match(start_pat, line):
            on = True
    if not on:
        raise ValueError("section not found: " + start_pat)
    return out


def main():
    doc, outdir = sys.argv[1], sys.argv[2]
    with open(doc, encoding="utf-8", newline="") as f:
        lines = f.read().split("\n")
    part = section(lines, r"# Part 1\.107:", r"# Part 1\.109|# Part 2\.101")

    # Messages: English rows, then the French rows the table gives.
    msgs = {}
    eng = section(part, r"\| No\. \| English text \|$", r"\S*French texts")
    for cells in rows(eng):
        msgs[(int(cells[0]), 1)] = parse_cell(cells[1])
    fr = section(part, r"\| No\. \| English text \| French text \|", r"\*\*State")
    for cells in rows(fr):
        k = int(cells[0])
        if parse_cell(cells[1]) != msgs[(k, 1)]:
            raise ValueError("English text of %d differs between the two lists" % k)
        t = parse_cell(cells[2])
        if t is not None:
            msgs[(k, 2)] = t
    write(outdir + "/messages_en.txt", "message\tlanguage\ttext",
          [(k, l, t) for (k, l), t in sorted(msgs.items()) if l == 1])
    write(outdir + "/messages_fr_given.txt", "message\tlanguage\ttext",
          [(k, l, t) for (k, l), t in sorted(msgs.items()) if l == 2])

    # Soft-key captions by group.
    caps = []
    for g in range(1, 7):
        body = section(part, r"Group %d \(" % g, r"Group %d \(|Extras keys 1, 2, 8|\*\*Register mode" % (g + 1))
        for cells in rows(body):
            key = int(cells[0])
            en, frc = cells[1], cells[2]
            if en.startswith("a four-letter site-specific"):
                en = frc = '"Shop"'      # the web-shop key: same label in both languages
            for lang, cell in ((1, en), (2, frc)):
                t = parse_cell(cell)
                if t:
                    caps.append((g, key, lang, t))
    write(outdir + "/softkey_captions.txt", "group\tkey\tlanguage\ttext", caps)

    def two_lang(start, end, name, header):
        out = []
        for cells in rows(section(part, start, end)):
            for lang, cell in ((1, cells[1]), (2, cells[2])):
                t = parse_cell(cell)
                if t:
                    out.append((int(cells[0]), lang, t))
        write(outdir + "/" + name, header, out)

    two_lang(r"\*\*Register mode names", r"\*\*Month names", "mode_names.txt", "mode\tlanguage\ttext")
    two_lang(r"\*\*Month names", r"\*\*List column titles", "month_names.txt", "month\tlanguage\ttext")

    def by_kind(start, end, kind_pat, name, header):
        body = section(part, start, end)
        out, kind = [], None
        for line in body:
            m = re.match(kind_pat, line)
            if m:
                kind = int(m.group(1))
                continue
            for cells in rows([line]):
                for lang, cell in ((1, cells[1]), (2, cells[2])):
                    t = parse_cell(cell)
                    if t:
                        out.append((kind, int(cells[0]), lang, t))
        write(outdir + "/" + name, header, out)

    by_kind(r"\*\*List column titles", r"\*\*Entry-field help", r"Kind (\d+) \(", "list_column_titles.txt",
            "kind\tcolumn\tlanguage\ttext")
    by_kind(r"\*\*Entry-field help", r"\*\*Entry-field widths", r"Form (\d+) \(", "entry_field_prompts.txt",
            "form\tfield\tlanguage\ttext")

    widths = []
    for cells in rows(section(part, r"\*\*Entry-field widths", r"\*\*State")):
        for kind in range(1, 5):
            m = re.match(r"(\d+) ", cells[kind])
            if m:
                widths.append((kind, int(cells[0]), int(m.group(1))))
    write(outdir + "/entry_field_widths.txt", "kind\tfield\twidth", widths)


def write(path, header, entries):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("# " + header + "\n")
        for e in entries:
            f.write("\t".join(str(x) if isinstance(x, int) else escape(x) for x in e) + "\n")


if __name__ == "__main__":
    main()
