"""Reads the CSV files the program writes with Python's csv module (code page 932), as a
spreadsheet would, and checks every cell against what the layout asked for.

Usage: csv_readback_test.py WRITER — WRITER writes the CSV files and expected.json into the
folder it is given (see csv_readback_writer.cpp).
"""
import csv
import json
import subprocess
import sys
import tempfile


def check_file(folder, spec):
    failures = []
    name = spec["file"]
    with open(folder + "/" + name, "rb") as f:
        raw = f.read()
    # Every line ends with CR LF: no LF without its CR, no CR without its LF.
    if raw.count(b"\n") != raw.count(b"\r\n") or raw.count(b"\r") != raw.count(b"\r\n"):
        failures.append("%s: a line does not end with CR LF" % name)
    if not raw.endswith(b"\r\n"):
        failures.append("%s: the last line does not end with CR LF" % name)
    try:
        with open(folder + "/" + name, encoding="cp932", newline="") as f:
            rows = list(csv.reader(f, delimiter=spec["delimiter"], strict=True))
    except (csv.Error, UnicodeDecodeError) as e:
        return failures + ["%s: not readable as cp932 CSV: %s" % (name, e)]

    blank = spec["blank_lines"]
    want_rows = len(spec["rows"]) + 1 + blank
    if len(rows) != want_rows:
        failures.append("%s: %d lines, expected %d" % (name, len(rows), want_rows))
    # The trailing separator after the last column gives one more, empty cell.
    heading = spec["headings"] + [""]
    if rows and rows[0] != heading:
        failures.append("%s heading:\n  want %r\n  have %r" % (name, heading, rows[0]))
    for i in range(1, 1 + blank):
        if i < len(rows) and rows[i]:
            failures.append("%s line %d should be empty, has %r" % (name, i, rows[i]))
    for i, want in enumerate(spec["rows"]):
        at = 1 + blank + i
        have = rows[at] if at < len(rows) else None
        want = want + [""]
        if have != want:
            if have is None or len(have) != len(want):
                failures.append("%s record %d:\n  want %r\n  have %r" % (name, i, want, have))
                continue
            for col, (w, h) in enumerate(zip(want, have)):
                if w != h:
                    label = spec["headings"][col] if col < len(spec["headings"]) else "(after last)"
                    failures.append("%s record %d column %d %s: want %r, have %r" % (name, i, col, label, w, h))
    return failures


def main():
    writer = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([writer, folder], check=True)
        home = folder
        with open(home + "/expected.json", encoding="utf-8") as f:
            specs = json.load(f)
        failures = []
        cells = 0
        for spec in specs:
            failures += check_file(home, spec)
            cells += sum(len(r) for r in spec["rows"]) + len(spec["headings"])
    for failure in failures:
        print("FAILED " + failure)
    print("%d files, %d cells checked, %d failures" % (len(specs), cells, len(failures)))
    return 1 if failures or not specs else 0


if __name__ == "__main__":
    sys.exit(main())
