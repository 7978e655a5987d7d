#!/usr/bin/python3
"""A stand-in for the card-authorisation program, for tests and the demo store.

usage: fake_card.py EXCHANGE_FOLDER [MODE] [SEEN_LOG]

Watches EXCHANGE_FOLDER/Request for "icver001.REQ" and answers each request
once in "icver001.ANS", by MODE:
  approve         "Y" and a six-character approval (no address letter)
  approve-avs     "Y" and an approval ending in the address letter "Y"
  decline         "N" and a decline text
  no-quote        an approval line without its closing quote
  empty           an empty answer file
  directory       a directory where the answer file should be
  silent          no answer at all
  late            the answer only once the register removed its request
  demo            decline an amount ending in .13, else approve with "Y"
A settlement request ("ST") is approved, or declined in decline mode.
Each request seen is appended to SEEN_LOG (default: none) as
"<octal mode> <the request line>", written before the answer. Prints READY
once it watches.
"""
import os
import stat
import sys
import time

folder = os.path.abspath(sys.argv[1])
mode = sys.argv[2] if len(sys.argv) > 2 else "approve"
request_dir = os.path.join(folder, "Request")
os.makedirs(request_dir, exist_ok=True)
req = os.path.join(request_dir, "icver001.REQ")
ans = os.path.join(request_dir, "icver001.ANS")
seen_log = sys.argv[3] if len(sys.argv) > 3 else None
counter = 0


def write_answer(text):
    tmp = ans + ".part"
    with open(tmp, "w", newline="") as f:
        f.write(text)
    os.rename(tmp, ans)


def answer_for(line):
    global counter
    counter += 1
    approval = "%06d" % (123450 + counter)
    settle = line.strip() == '"ST"'
    if settle:
        return '"NBATCH REFUSED"\r\n' if mode == "decline" else '"YBATCH CLOSED %d"\r\n' % counter
    if mode == "approve-avs":
        return '"Y%sY"\r\n' % approval
    if mode == "decline":
        return '"NDECLINED"\r\n'
    if mode == "no-quote":
        return '"Y%sXYZ\r\n' % approval
    if mode == "demo":
        fields = line.strip().split(",")
        amount = fields[5].strip('"') if len(fields) > 5 else ""
        return '"NDECLINED"\r\n' if amount.endswith(".13") else '"Y%s"\r\n' % approval
    return '"Y%s"\r\n' % approval


print("READY", flush=True)
handled = False
pending_late = None
while True:
    try:
        st = os.stat(req)
        present = True
    except FileNotFoundError:
        present = False
    if present and not handled:
        try:
            with open(req, "rb") as f:
                line = f.read().decode("latin-1")
        except OSError:
            time.sleep(0.02)
            continue
        if seen_log:
            with open(seen_log, "a", newline="") as f:
                f.write("%o %s" % (stat.S_IMODE(st.st_mode), line if line.endswith("\n") else line + "\n"))
        handled = True
        if mode == "silent":
            pass
        elif mode == "late":
            pending_late = answer_for(line)
        elif mode == "empty":
            write_answer("")
        elif mode == "directory":
            os.mkdir(ans)
        else:
            write_answer(answer_for(line))
    elif not present:
        handled = False
        if pending_late is not None:
            write_answer(pending_late)
            pending_late = None
    time.sleep(0.02)
