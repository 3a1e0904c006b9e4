#!/usr/bin/env python3
"""The generators in tools/ and the shipped files they produce.

Run: python3 tests/data/setting_files_test.py   (no network, no npm; temporary folders only)
"""
import json
import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
TOOLS = os.path.join(ROOT, "tools")


def run(script, *args):
    return subprocess.run([sys.executable, os.path.join(TOOLS, script), *args],
                          capture_output=True, text=True)


class SettingFilesGeneratorTest(unittest.TestCase):
    def test_shipped_files_are_what_the_generator_writes(self):
        # A hand edit of a shipped file, or a generator change not run, shows up here.
        with tempfile.TemporaryDirectory() as out:
            result = run("make_setting_files.py", "--out", out)
            self.assertEqual(result.returncode, 0, result.stderr)
            written = []
            for folder, _, names in os.walk(out):
                for name in names:
                    written.append(os.path.relpath(os.path.join(folder, name), out))
            self.assertIn(os.path.join("Setting", "HeaderInfo.dat"), written)
            self.assertIn("利用規約.txt", written)
            for rel in written:
                with open(os.path.join(out, rel), "rb") as f, open(os.path.join(ROOT, rel), "rb") as g:
                    self.assertEqual(f.read(), g.read(), rel + " differs from tools/make_setting_files.py")

    def test_header_lines_are_tab_terminated_names(self):
        with open(os.path.join(ROOT, "Setting", "HeaderInfo.dat"), "rb") as f:
            lines = f.read().decode("cp932").split("\r\n")
        self.assertEqual(lines[-1], "")
        self.assertEqual(len(lines[:-1]), 10)
        for line in lines[:-1]:
            self.assertTrue(line.endswith("\t"))
            self.assertEqual(line.count("\t"), 30)


def fixture_codes():
    """A small codes.json of the package's shape: prefectures, municipalities, wards."""
    return [
        {"code": "270008", "type": "prefecture", "name": "大阪府", "ruby": "おおさかふ", "municipalities": [
            {"code": "271004", "type": "municipality", "name": "大阪市", "ruby": "おおさかし", "wards": [
                {"code": "271284", "type": "ward", "name": "中央区", "ruby": "ちゅうおうく"}]},
            {"code": "272035", "type": "municipality", "name": "豊中市", "ruby": "とよなかし"}]},
        {"code": "220001", "type": "prefecture", "name": "静岡県", "ruby": "しずおかけん", "municipalities": [
            {"code": "221309", "type": "municipality", "name": "浜松市", "ruby": "はままつし", "wards": [
                {"code": "221317", "type": "ward", "name": "中区", "ruby": "なかく"},
                {"code": "221376", "type": "ward", "name": "天竜区", "ruby": "てんりゅうく"}]}]},
    ]


class ZipCodeGeneratorTest(unittest.TestCase):
    def generate(self, data):
        with tempfile.TemporaryDirectory() as folder:
            codes = os.path.join(folder, "codes.json")
            out = os.path.join(folder, "zip_code.txt")
            with open(codes, "w", encoding="utf-8") as f:
                json.dump(data, f, ensure_ascii=False)
            result = run("make_zip_code.py", "--codes", codes, "--out", out)
            body = None
            if os.path.exists(out):
                with open(out, "rb") as f:
                    body = f.read()
            return result, body

    def test_writes_five_digit_codes_with_wards_named_by_their_city(self):
        result, body = self.generate(fixture_codes())
        self.assertEqual(result.returncode, 0, result.stderr)
        lines = body.decode("cp932").split("\r\n")
        self.assertEqual(lines[-1], "")
        self.assertEqual(lines[:3], [
            "27100\t大阪府\t大阪市\tおおさかし",
            "27128\t大阪府\t大阪市中央区\tおおさかしちゅうおうく",
            "27203\t大阪府\t豊中市\tとよなかし",
        ])
        self.assertNotIn(b"\n", body.replace(b"\r\n", b""))

    def test_replaces_the_wards_of_a_reorganised_city(self):
        result, body = self.generate(fixture_codes())
        self.assertEqual(result.returncode, 0, result.stderr)
        hamamatsu = [l for l in body.decode("cp932").split("\r\n") if "浜松市" in l]
        self.assertEqual([l.split("\t")[0] for l in hamamatsu], ["22130", "22137", "22138", "22139"])
        self.assertIn("22138\t静岡県\t浜松市中央区\tはままつしちゅうおうく", hamamatsu)
        self.assertFalse(any("中区\t" in l and "中央区" not in l for l in hamamatsu))

    def test_refuses_a_code_given_twice(self):
        data = fixture_codes()
        data[0]["municipalities"].append(
            {"code": "272035", "type": "municipality", "name": "豊中市", "ruby": "とよなかし"})
        result, _ = self.generate(data)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("27203", result.stderr)

    def test_refuses_a_name_that_code_page_932_cannot_hold(self):
        data = fixture_codes()
        data[0]["municipalities"][1]["name"] = "\U00020BB7野市"  # a character outside cp932
        result, _ = self.generate(data)
        self.assertNotEqual(result.returncode, 0)

    def test_refuses_an_entry_without_a_reading(self):
        data = fixture_codes()
        data[0]["municipalities"][1]["ruby"] = ""
        result, _ = self.generate(data)
        self.assertNotEqual(result.returncode, 0)


if __name__ == "__main__":
    unittest.main()
