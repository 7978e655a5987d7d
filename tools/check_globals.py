#!/usr/bin/env python3
"""Fails on a program-wide mutable object of src/ that is not in the allow-list.

Usage: check_globals.py [SRC_DIR] [--allowed FILE] [--list]
  (defaults: the src/ beside this script, tools/globals_allowed.txt)

A program-wide mutable object is a variable that lives for the whole run and
can be changed: a variable at namespace scope (named or anonymous namespace,
static or not), a static data member of a class, or a static variable inside
a function. Constants (const, constexpr, a pointer that is itself const),
functions, types and an `extern` declaration whose definition is in another
file are not. Each object is named "file: name" with the file relative to
SRC_DIR (members as Class::name, function statics as Function()::name).

The allow-list holds today's objects, one "file: name" a line, sorted. A new
object fails, named by file and line: a new subsystem keeps its state in an
object it is handed. An allowed object that no longer exists fails too, so
the list only shrinks: remove its line. --list prints the objects found.
"""
import os
import re
import sys

IDENT = re.compile(r"[A-Za-z_]\w*")
SKIP_FIRST = {"using", "typedef", "static_assert", "friend", "namespace", "class", "struct", "enum", "union",
              "return", "template", "public", "private", "protected", "case", "default", "goto", "break",
              "continue", "delete", "throw", "co_return"}
NOT_NAMES = {"const", "constexpr", "constinit", "static", "inline", "extern", "thread_local", "volatile",
             "mutable", "unsigned", "signed", "long", "short", "int", "char", "bool", "float", "double", "auto",
             "void", "std", "operator"}


def strip_code(text):
    """The text with comments, string and character literals and preprocessor
    lines blanked (line breaks kept, so offsets keep their line numbers)."""
    out = []
    i, n = 0, len(text)
    at_line_start = True
    while i < n:
        c = text[i]
        if at_line_start and c in " \t":
            out.append(c)
            i += 1
            continue
        if at_line_start and c == "#":
            while i < n and text[i] != "\n":
                if text[i] == "\\" and i + 1 < n and text[i + 1] == "\n":
                    out.append(" \n")
                    i += 2
                    continue
                out.append(" ")
                i += 1
            continue
        at_line_start = False
        if text.startswith("//", i):
            while i < n and text[i] != "\n":
                out.append(" ")
                i += 1
            continue
        if text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append("".join(ch if ch == "\n" else " " for ch in text[i:end]))
            i = end
            continue
        m = re.match(r'R"([^(\s]*)\(', text[i:i + 20])
        if m and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            close = ")" + m.group(1) + '"'
            end = text.find(close, i + m.end())
            end = n if end < 0 else end + len(close)
            out.append('""' + "".join("\n" for ch in text[i:end] if ch == "\n"))
            i = end
            continue
        if c in "\"'":
            if c == "'" and i > 0 and text[i - 1].isalnum():  # a digit separator (1'000)
                out.append(" ")
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            out.append(c + " " * max(0, j - i - 1) + c)
            i = j + 1
            continue
        if c == "\n":
            at_line_start = True
        out.append(c)
        i += 1
    return "".join(out)


def top_level(text, stop_chars):
    """The index of the first of stop_chars outside (), [], {} and <>, else -1."""
    depth = 0
    angle = 0
    for i, c in enumerate(text):
        if depth == 0 and angle == 0 and c in stop_chars:
            return i
        if c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
        elif c == "<" and depth == 0:
            angle += 1
        elif c == ">" and depth == 0 and angle > 0:
            angle -= 1
    return -1


def split_top(text, sep):
    parts, start, depth, angle = [], 0, 0, 0
    for i, c in enumerate(text):
        if c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
        elif c == "<" and depth == 0:
            angle += 1
        elif c == ">" and depth == 0 and angle > 0:
            angle -= 1
        elif c == sep and depth == 0 and angle == 0:
            parts.append(text[start:i])
            start = i + 1
    parts.append(text[start:])
    return parts


def drop_template_heads(s):
    s = s.strip()
    while s.startswith("template"):
        m = re.match(r"template\s*<", s)
        if not m:
            break
        depth, i = 1, m.end()
        while i < len(s) and depth:
            depth += {"<": 1, ">": -1}.get(s[i], 0)
            i += 1
        s = s[i:].strip()
    return re.sub(r"\[\[.*?\]\]", " ", s).strip()


def declared_names(statement):
    """(names, specifiers) of a variable declaration, or None when the
    statement declares no variable (a function, a type, an alias...)."""
    s = drop_template_heads(statement)
    if not s:
        return None
    words = IDENT.findall(s[:40])
    if not words or words[0] in SKIP_FIRST or s.startswith("~"):
        return None
    if re.match(r"(static|inline|constexpr|extern)?\s*(struct|class|enum|union)\b", s):
        return None
    pointer_to_function = re.search(r"\(\s*\*\s*([A-Za-z_]\w*)\s*\)\s*\(", s)
    if pointer_to_function:
        return [pointer_to_function.group(1)], s[:pointer_to_function.start()], [s]
    eq = top_level(s, "=")
    head = s if eq < 0 else s[:eq]
    if top_level(head, "(") >= 0 or "operator" in IDENT.findall(head):
        return None  # a function (or an object built by a call, which the sources do not use)
    declarators = split_top(s, ",")
    names = []
    for k, d in enumerate(declarators):
        e = top_level(d, "={")
        d_head = d if e < 0 else d[:e]
        d_head = re.sub(r"\[[^\]]*\]\s*$", "", d_head.strip())  # arrays
        idents = [w for w in IDENT.findall(d_head) if w not in NOT_NAMES or k > 0]
        if not idents:
            return None
        # Qualified names (a member defined outside its class) keep their class.
        m = re.search(r"((?:[A-Za-z_]\w*::)*[A-Za-z_]\w*)\s*$", d_head)
        if not m:
            return None
        names.append(m.group(1))
    specifiers = declarators[0]
    cut = specifiers.rfind(names[0].split("::")[-1]) if names else -1
    return names, specifiers[:cut] if cut >= 0 else specifiers, declarators


def is_constant(specifiers, declarator):
    words = IDENT.findall(specifiers)
    if "constexpr" in words:
        return True
    if "const" not in words:
        return False
    # const T* p: the pointer itself can be changed unless "* const"
    # (a "*" inside template arguments is not the object's).
    while True:
        flat = re.sub(r"<[^<>]*>", " ", specifiers)
        if flat == specifiers:
            break
        specifiers = flat
    if "*" in specifiers:
        after = specifiers[specifiers.rfind("*") + 1:]
        return "const" in IDENT.findall(after)
    return True


def scan(text):
    """Yields (line, name, kind) for each variable definition of interest;
    kind is "extern", "definition" or "static-local"."""
    code = strip_code(text)
    found = []
    # Each scope: [kind, statement text, statement start offset, name]
    stack = [["namespace", "", 0, ""]]

    def statement_done(end):
        kind, stmt, start, owner = stack[-1]
        stack[-1][1] = ""
        stack[-1][2] = end + 1
        s = stmt.strip()
        if not s:
            return
        line = code.count("\n", 0, start + (len(stmt) - len(stmt.lstrip()))) + 1
        if kind == "function":
            if not re.match(r"(\[\[.*?\]\]\s*)?(static|thread_local)\b", s):
                return
        if kind == "class" and not re.match(r"(inline\s+)?(static|thread_local)\b", s):
            return
        decl = declared_names(s)
        if decl is None:
            return
        names, specifiers, declarators = decl
        if is_constant(specifiers, declarators[0]):
            return
        words = IDENT.findall(specifiers)
        what = "extern" if "extern" in words else "static-local" if kind == "function" else "definition"
        for name in names:
            full = name
            if kind == "class":
                full = owner + "::" + name
            elif kind == "function":
                full = owner + "()::" + name
            found.append((line, full, what))

    def owner_of(head, kind):
        if kind == "class":
            m = re.search(r"\b(?:class|struct|union)\s+(?:\[\[.*?\]\]\s*)?([A-Za-z_]\w*)", head)
            return m.group(1) if m else "?"
        paren = top_level(head, "(")
        before = head[:paren] if paren >= 0 else head
        m = re.search(r"((?:[A-Za-z_]\w*::)*~?[A-Za-z_]\w*)\s*$", before.strip())
        return m.group(1) if m else "?"

    for i, c in enumerate(code):
        if c == "{":
            kind, stmt, start, owner = stack[-1]
            head = drop_template_heads(stmt)
            if re.search(r"\bnamespace\b[\w\s:]*$", head) or re.search(r'\bextern\s+""\s*$', head):
                new = "namespace"
            elif re.match(r"(typedef\s+)?(struct|class|union)\b", head) and top_level(head, "(=") < 0:
                new = "class"
            elif re.match(r"(typedef\s+)?enum\b", head):
                new = "enum"
            elif kind in ("namespace", "class") and (re.search(r"\)[\w\s:&<>,*]*$", head) or
                                                     re.search(r"\)\s*->[^=]*$", head) or
                                                     re.search(r"\]\s*$", head)) and "=" not in head:
                new = "function"
            elif kind in ("namespace", "class") and top_level(head, "=") >= 0 and re.search(r"\)[\w\s]*$", head):
                new = "function"  # a lambda in an initialiser
            elif kind in ("namespace", "class", "enum"):
                new = "init"
            elif kind == "init":
                new = "init"
            elif re.match(r"(\[\[.*?\]\]\s*)?(static|thread_local)\b", head) and not re.search(r"\)\s*(mutable\s*)?$", head):
                new = "init"
            else:
                new = "function"  # a block of a body, or a lambda's body
            if new == "function" and kind in ("namespace", "class"):
                owner = owner_of(head, kind)
            elif new == "class":
                owner = owner_of(head, "class")
            elif new == "function":
                owner = stack[-1][3]
            stack.append([new, "", i + 1, owner])
        elif c == "}":
            if len(stack) == 1:
                continue
            closed = stack.pop()
            kind, stmt, start, owner = stack[-1]
            if closed[0] == "init" or (closed[0] == "function" and top_level(stmt, "=") >= 0):
                stack[-1][1] = stmt + "{}"
            elif closed[0] in ("class", "enum"):
                stack[-1][1] = stmt + "{}"  # a type; its statement ends at ";"
            else:
                stack[-1][1] = ""
                stack[-1][2] = i + 1
        elif c == ";":
            if stack[-1][0] in ("init", "enum"):
                stack[-1][1] += c
            else:
                statement_done(i)
        else:
            stack[-1][1] += c
            if not stack[-1][1].strip():
                stack[-1][2] = i + 1
    return found


def objects(src):
    """{(file, name): line} of every program-wide mutable object of src."""
    defined = {}
    for root, dirs, files in os.walk(src):
        dirs.sort()
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(root, name)
            rel = os.path.relpath(path, src).replace(os.sep, "/")
            with open(path, encoding="utf-8", errors="replace") as f:
                text = f.read()
            for line, var, kind in scan(text):
                # An extern declaration names an object defined elsewhere: in
                # src/ that definition is the one listed, else it is not ours.
                if kind != "extern":
                    defined.setdefault((rel, var), line)
    return defined


def read_allowed(path):
    entries = {}
    if not os.path.exists(path):
        return entries
    with open(path, encoding="utf-8") as f:
        for lineno, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            file, _, name = line.partition(":")
            entries[(file.strip(), name.strip())] = lineno
    return entries


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    src = os.path.join(here, "..", "src")
    allowed_path = os.path.join(here, "globals_allowed.txt")
    listing = False
    args = list(argv)
    while args:
        a = args.pop(0)
        if a == "--allowed":
            allowed_path = args.pop(0)
        elif a == "--list":
            listing = True
        else:
            src = a
    found = objects(src)
    if listing:
        for file, name in sorted(found):
            print(f"{file}: {name}")
        return 0
    allowed = read_allowed(allowed_path)
    problems = []
    for (file, name), line in sorted(found.items()):
        if (file, name) not in allowed:
            problems.append(f"{file}:{line}: new program-wide mutable object '{name}': keep the state in an object "
                            f"the subsystem is handed (or, for a reviewed exception, add "
                            f"'{file}: {name}' to {os.path.basename(allowed_path)})")
    for (file, name), lineno in sorted(allowed.items(), key=lambda kv: kv[1]):
        if (file, name) not in found:
            problems.append(f"{os.path.basename(allowed_path)}:{lineno}: '{file}: {name}' no longer exists: "
                            f"remove the line")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
