"""Reads a CSV written by the program with Python's csv module (cp932) and checks every cell."""
import csv
import subprocess
import sys
import tempfile

writer = sys.argv[1]
with tempfile.TemporaryDirectory() as folder:
    subprocess.run([writer, folder], check=True)
    with open(folder + "/out.csv", encoding="cp932", newline="") as f:
        rows = [r for r in csv.reader(f)]
    with open(folder + "/expected.tsv", encoding="utf-8") as f:
        expected = [line.rstrip("\n").split("\t") for line in f]

# The heading line, two blank lines, then the records.
got = [rows[0]] + [r for r in rows[1:] if r]
failures = 0
if len(rows) != 5 or rows[1] or rows[2]:
    print("FAILED: layout of lines", rows)
    failures += 1
expected[0] = expected[0][:5] + [""]
for i, (want, have) in enumerate(zip(expected, got)):
    want = want[:6]
    if want != have:
        print("FAILED row %d:\n  want %r\n  have %r" % (i, want, have))
        failures += 1
print("%d passed, %d failed" % (len(expected) - failures if failures == 0 else 0, failures))
sys.exit(1 if failures else 0)
