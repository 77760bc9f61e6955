#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The file managers' menu files as their readers take them: Dolphin's service menus and Nemo's actions.

desktop-file-validate refuses both formats (a service menu is Type=Service, an action has no [Desktop
Entry]), so they are read here: each line a comment, a group or a key, no key twice in a group, the keys
each format needs, the names in every language the project speaks, and an Exec line that starts brisklet
with the right direction and passes the selection as paths (%F) after the end of the options.

Usage: menu_entries_test.py PACKAGING_DIR
"""

import re
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
from pathlib import Path

PACKAGING = Path(sys.argv.pop(1) if len(sys.argv) > 1 else Path(__file__).parents[2] / "packaging")
LANGUAGES = ("de", "es", "fr")
NAMES = {"encrypt": "Encrypt with Brisklet", "decrypt": "Decrypt with Brisklet"}
KEY = re.compile(r"^([A-Za-z0-9-]+)(\[[A-Za-z_@.]+\])?\s*=\s*(.*)$")
# The field codes of the desktop entry specification (Nemo's actions add their own few).
FIELD_CODE = re.compile(r"%[fFuUdDnNickvmpPe%]")


def read_groups(path):
    """{group: {key: value}}; fails on a line that is none of comment, group or key, and on repeats."""
    groups = {}
    current = None
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        where = f"{path.name}:{number}"
        if not line.strip() or line.startswith("#"):
            continue
        if line.startswith("["):
            if not line.endswith("]"):
                raise AssertionError(f"{where}: a group header without its ]")
            current = line[1:-1]
            if current in groups:
                raise AssertionError(f"{where}: group [{current}] given twice")
            groups[current] = {}
            continue
        match = KEY.match(line)
        if match is None or current is None:
            raise AssertionError(f"{where}: neither a comment, a group nor a key: {line!r}")
        key = match.group(1) + (match.group(2) or "")
        if key in groups[current]:
            raise AssertionError(f"{where}: key {key} given twice in [{current}]")
        groups[current][key] = match.group(3)
    return groups


def split_list(value):
    if not value.endswith(";"):
        raise AssertionError(f"a list must end with ';': {value!r}")
    return value[:-1].split(";")


def exec_arguments(value):
    """The Exec line's arguments; quoting is not needed by these lines, so any quote is refused."""
    if any(c in value for c in "\"'\\`$"):
        raise AssertionError(f"Exec needs no quoting here, and the readers differ in it: {value!r}")
    return value.split()


class ExecLineCheck:
    def check_exec(self, value, direction):
        arguments = exec_arguments(value)
        codes = [a for a in arguments if FIELD_CODE.search(a)]
        self.assertEqual(codes, ["%F"], f"the selection goes as paths, each its own argument: {value!r}")
        self.assertEqual(arguments, ["brisklet", "--" + direction, "--", "%F"])


class ServiceMenuTest(unittest.TestCase, ExecLineCheck):
    def check_service_menu(self, direction):
        path = PACKAGING / "dolphin" / f"brisklet-{direction}.desktop"
        groups = read_groups(path)
        entry = groups["Desktop Entry"]
        self.assertEqual(entry["Type"], "Service")
        # KF5 looks for this service type; KF6 ignores it and goes by Type and MimeType.
        self.assertIn("KonqPopupMenu/Plugin", split_list(entry["X-KDE-ServiceTypes"] + ";"))
        self.assertEqual(split_list(entry["Actions"]), [direction])
        action = groups[f"Desktop Action {direction}"]
        self.assertEqual(action["Name"], NAMES[direction])
        for language in LANGUAGES:
            self.assertTrue(action.get(f"Name[{language}]"), f"{path.name}: no Name[{language}]")
        self.assertEqual(action["Icon"], "brisklet")
        self.check_exec(action["Exec"], direction)
        self.assertEqual(set(groups), {"Desktop Entry", f"Desktop Action {direction}"})
        return split_list(entry["MimeType"])

    def test_encrypt_is_offered_on_every_file_and_folder(self):
        self.assertEqual(self.check_service_menu("encrypt"), ["all/all"])

    def test_decrypt_is_offered_on_encrypted_files_and_folders_only(self):
        encrypted = ElementTree.parse(PACKAGING / "brisklet-mime.xml").getroot()[0].get("type")
        self.assertEqual(sorted(self.check_service_menu("decrypt")), sorted([encrypted, "inode/directory"]))


class NemoActionTest(unittest.TestCase, ExecLineCheck):
    def check_action(self, direction):
        path = PACKAGING / "nemo" / f"brisklet-{direction}.nemo_action"
        groups = read_groups(path)
        self.assertEqual(list(groups), ["Nemo Action"])
        action = groups["Nemo Action"]
        self.assertEqual(action["Name"], NAMES[direction])
        for language in LANGUAGES:
            self.assertTrue(action.get(f"Name[{language}]"), f"{path.name}: no Name[{language}]")
            self.assertTrue(action.get(f"Comment[{language}]"), f"{path.name}: no Comment[{language}]")
        self.assertEqual(action.get("Active", "true"), "true")
        self.assertIn(action["Selection"].lower(), ("s", "m", "any", "notnone"))
        self.assertNotEqual(action["Selection"].lower(), "s", "a menu entry takes the whole selection")
        self.assertEqual(split_list(action["Dependencies"]), ["brisklet"])
        # Nemo writes the paths into the command line unquoted; only escaped spaces keep a name whole, and
        # quotes around a name would keep the escapes Nemo adds to quotes inside it.
        self.assertEqual(action.get("EscapeSpaces"), "true")
        self.assertNotIn("Quote", action)
        self.check_exec(action["Exec"], direction)
        self.assertNotIn("Mimetypes", action, "Extensions alone says where the entry is offered")
        return split_list(action["Extensions"])

    def test_encrypt_is_offered_on_every_file_and_folder(self):
        self.assertEqual(self.check_action("encrypt"), ["any"])

    def test_decrypt_is_offered_on_encrypted_files_and_folders_only(self):
        self.assertEqual(sorted(self.check_action("decrypt")), ["brisklet", "dir"])


class ReaderTest(unittest.TestCase):
    """The reader above refuses what the file managers' readers would misread."""

    def read(self, text):
        with tempfile.TemporaryDirectory() as directory:
            path = Path(directory) / "entry"
            path.write_text(text, encoding="utf-8")
            return read_groups(path)

    def test_a_key_given_twice_is_refused(self):
        with self.assertRaises(AssertionError):
            self.read("[Nemo Action]\nName=a\nName=b\n")

    def test_a_key_before_any_group_is_refused(self):
        with self.assertRaises(AssertionError):
            self.read("Name=a\n[Nemo Action]\n")

    def test_an_exec_line_with_quotes_is_refused(self):
        with self.assertRaises(AssertionError):
            exec_arguments('brisklet --encrypt "%F"')

    def test_localised_keys_are_kept_apart(self):
        self.assertEqual(self.read("[G]\nName=a\nName[de]=b\n"), {"G": {"Name": "a", "Name[de]": "b"}})


if __name__ == "__main__":
    unittest.main()
