#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Nautilus's menu extension against a stand-in for gi.repository: which entries a selection gets, in
which language, and the command an entry runs.

Usage: nautilus_extension_test.py PACKAGING_DIR
"""

import importlib.util
import os
import sys
import types
import unittest
from pathlib import Path

PACKAGING = Path(sys.argv.pop(1) if len(sys.argv) > 1 else Path(__file__).parents[2] / "packaging")
sys.path.insert(0, str(Path(__file__).parent))
from menu_entries_test import read_groups  # noqa: E402


class MenuItem:
    def __init__(self, name, label, icon=None):
        self.name, self.label, self.icon = name, label, icon
        self.handlers = []

    def connect(self, signal, handler):
        assert signal == "activate", signal
        self.handlers.append(handler)

    def activate(self):
        for handler in self.handlers:
            handler(self)


class Location:
    def __init__(self, path):
        self.path = path

    def get_path(self):
        return self.path


class FileInfo:
    """What the extension reads of Nautilus's file objects."""

    def __init__(self, path, directory=False):
        self.path, self.directory = path, directory

    def get_location(self):
        return Location(self.path)

    def is_directory(self):
        return self.directory

    def get_name(self):
        return os.path.basename(self.path) if self.path else "remote"


def load_extension(available_versions=("4.0",)):
    """The extension imported afresh against stand-ins for gi and its repository."""
    required = []

    def require_version(namespace, version):
        if version not in available_versions:
            raise ValueError(f"Namespace {namespace} not available for version {version}")
        required.append((namespace, version))

    gi = types.ModuleType("gi")
    gi.require_version = require_version
    repository = types.ModuleType("gi.repository")
    repository.GObject = types.SimpleNamespace(GObject=type("GObject", (), {}))
    repository.Nautilus = types.SimpleNamespace(MenuProvider=type("MenuProvider", (), {}), MenuItem=MenuItem)
    repository.GLib = types.SimpleNamespace(PRIORITY_DEFAULT=0, child_watch_add=lambda *args: None)
    gi.repository = repository
    sys.modules.update({"gi": gi, "gi.repository": repository})
    spec = importlib.util.spec_from_file_location("brisklet_extension", PACKAGING / "nautilus" / "brisklet.py")
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    module.required_versions = required
    return module


class ExtensionTest(unittest.TestCase):
    def setUp(self):
        self.extension = load_extension()
        self.launched = []
        self.extension.launch = self.launched.append
        self.provider = self.extension.BriskletMenuProvider()
        self.environ = dict(os.environ)
        for name in ("LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"):
            os.environ.pop(name, None)

    def tearDown(self):
        os.environ.clear()
        os.environ.update(self.environ)

    def offered(self, files):
        items = self.provider.get_file_items(files)
        return {item.name.split("::")[1]: item for item in items}

    def test_the_entries_a_selection_gets(self):
        folder = FileInfo("/home/u/folder", directory=True)
        cases = [
            ("plain files", [FileInfo("/home/u/a.txt"), FileInfo("/home/u/b")], ["encrypt"]),
            ("a folder", [folder], ["decrypt", "encrypt"]),
            ("encrypted files and a folder", [FileInfo("/home/u/a.brisklet"), folder], ["decrypt", "encrypt"]),
            ("an encrypted and a plain file", [FileInfo("/home/u/a.brisklet"), FileInfo("/home/u/b")],
             ["encrypt"]),
            ("the extension in capitals is another name", [FileInfo("/home/u/A.BRISKLET")], ["encrypt"]),
            ("an item that is not a local file", [FileInfo("/home/u/a.txt"), FileInfo(None)], []),
            ("nothing selected", [], []),
        ]
        for name, files, entries in cases:
            with self.subTest(name):
                self.assertEqual(sorted(self.offered(files)), entries)

    def test_an_entry_runs_brisklet_with_its_direction_and_every_path(self):
        # A name in no encoding arrives as Python spells such names: its bytes escaped as surrogates.
        odd = os.fsdecode(b"/home/u/caf\xe9.brisklet")
        files = [FileInfo("/home/u/--decrypt.brisklet"), FileInfo(odd), FileInfo("/home/u/d", directory=True)]
        items = self.offered(files)
        items["decrypt"].activate()
        items["encrypt"].activate()
        paths = ["/home/u/--decrypt.brisklet", odd, "/home/u/d"]
        self.assertEqual(self.launched, [["brisklet", "--decrypt", "--"] + paths,
                                         ["brisklet", "--encrypt", "--"] + paths])
        self.assertEqual(os.fsencode(self.launched[0][4]), b"/home/u/caf\xe9.brisklet")

    def test_nothing_runs_until_an_entry_is_chosen(self):
        self.offered([FileInfo("/home/u/a.txt")])
        self.assertEqual(self.launched, [])

    def test_the_window_argument_of_the_older_interface_is_accepted(self):
        items = self.provider.get_file_items(object(), [FileInfo("/home/u/a.txt")])
        self.assertEqual([item.label for item in items], ["Encrypt with Brisklet"])
        self.assertEqual(self.provider.get_background_items(object()), [])

    def test_the_older_interface_is_taken_where_the_newer_is_missing(self):
        self.assertEqual(self.extension.required_versions, [("Nautilus", "4.0")])
        older = load_extension(available_versions=("3.0",))
        self.assertEqual(older.required_versions, [("Nautilus", "3.0")])

    def test_the_names_follow_the_locale_as_gettext_looks_it_up(self):
        cases = [
            ({}, "en"),
            ({"LANG": "de_DE.UTF-8"}, "de"),
            ({"LANG": "de_DE.UTF-8", "LC_MESSAGES": "fr_FR.UTF-8"}, "fr"),
            ({"LANG": "de_DE.UTF-8", "LC_ALL": "es_ES.UTF-8"}, "es"),
            ({"LANG": "en_GB.UTF-8", "LANGUAGE": "fr:de"}, "fr"),
            ({"LANG": "pt_BR.UTF-8"}, "pt"),
        ]
        for environ, language in cases:
            with self.subTest(environ=environ):
                self.assertEqual(self.extension.user_language(environ), language)
        self.assertEqual(self.extension.labels({"LANG": "pt_BR.UTF-8"}), self.extension.LABELS["en"])
        os.environ["LANG"] = "de_DE.UTF-8"
        items = self.offered([FileInfo("/home/u/folder", directory=True)])
        self.assertEqual(items["encrypt"].label, "Mit Brisklet verschlüsseln")

    def test_the_names_are_those_of_the_other_file_managers(self):
        for index, direction in enumerate(("encrypt", "decrypt")):
            names = read_groups(PACKAGING / "dolphin" / f"brisklet-{direction}.desktop")[
                f"Desktop Action {direction}"]
            for language, labels in self.extension.LABELS.items():
                key = "Name" if language == "en" else f"Name[{language}]"
                with self.subTest(direction=direction, language=language):
                    self.assertEqual(labels[index], names[key])
                    nemo = read_groups(PACKAGING / "nemo" / f"brisklet-{direction}.nemo_action")["Nemo Action"]
                    self.assertEqual(labels[index], nemo[key])

    def test_launch_starts_the_command_and_has_it_reaped(self):
        extension = load_extension()
        started, watched = [], []

        class Popen:
            def __init__(self, argv, **options):
                started.append((argv, options))
                self.pid = 4242

        extension.subprocess = types.SimpleNamespace(Popen=Popen, DEVNULL=-3)
        extension.GLib.child_watch_add = lambda priority, pid, callback: watched.append(pid)
        extension.launch(["brisklet", "--encrypt", "--", "/a"])
        self.assertEqual(started, [(["brisklet", "--encrypt", "--", "/a"],
                                    {"stdin": -3, "start_new_session": True})])
        self.assertEqual(watched, [4242])


if __name__ == "__main__":
    unittest.main()
