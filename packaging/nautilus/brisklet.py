# SPDX-License-Identifier: GPL-3.0-or-later
"""Nautilus's "Encrypt with Brisklet" and "Decrypt with Brisklet" (a nautilus-python extension).

Encrypt is offered on any selection of local files and folders; Decrypt only where every selected item
is a folder or a file whose name ends in ".brisklet". Either starts brisklet with the selection, which
lists the files in its window (or hands them to the window already open) with that direction chosen; it
runs nothing before the user has typed the passphrase and confirmed.
"""

import os
import subprocess

import gi

# Nautilus 43 and later speak version 4.0 of the extension interface; older ones 3.0.
try:
    gi.require_version("Nautilus", "4.0")
except ValueError:
    gi.require_version("Nautilus", "3.0")

from gi.repository import GLib, GObject, Nautilus  # noqa: E402

ENCRYPTED_SUFFIX = ".brisklet"

# The entries' names in the languages that Brisklet speaks; English for every other one.
LABELS = {
    "en": ("Encrypt with Brisklet", "Decrypt with Brisklet"),
    "de": ("Mit Brisklet verschlüsseln", "Mit Brisklet entschlüsseln"),
    "es": ("Cifrar con Brisklet", "Descifrar con Brisklet"),
    "fr": ("Chiffrer avec Brisklet", "Déchiffrer avec Brisklet"),
}


def user_language(environ=os.environ):
    """The two-letter language of the first locale variable that is set, as gettext looks them up."""
    for name in ("LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"):
        value = environ.get(name, "")
        if value:
            return value.split(":")[0][:2].lower()
    return "en"


def labels(environ=os.environ):
    return LABELS.get(user_language(environ), LABELS["en"])


def local_path(file_info):
    """The item's path as the file system spells it, or None for an item that is not a local file."""
    location = file_info.get_location()
    return location.get_path() if location is not None else None


def command(direction, paths):
    """The command line that a menu entry runs: brisklet, the direction, then every path as it is."""
    return ["brisklet", "--" + direction, "--"] + list(paths)


def launch(argv):
    # Not GLib.spawn_async: it takes text, and a path in no encoding would not reach brisklet. GLib's child
    # watch reaps the process when it ends, however long its window stays open.
    process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, start_new_session=True)
    GLib.child_watch_add(GLib.PRIORITY_DEFAULT, process.pid, lambda *_: None)


class BriskletMenuProvider(GObject.GObject, Nautilus.MenuProvider):
    def get_file_items(self, *args):
        # Version 3.0 passes the window first; 4.0 only the files.
        files = args[-1]
        if not files:
            return []
        paths = [local_path(item) for item in files]
        if any(path is None for path in paths):
            return []
        encrypt_label, decrypt_label = labels()
        items = [self._item("encrypt", encrypt_label, paths)]
        if all(item.is_directory() or item.get_name().endswith(ENCRYPTED_SUFFIX) for item in files):
            items.append(self._item("decrypt", decrypt_label, paths))
        return items

    def get_background_items(self, *args):
        return []

    @staticmethod
    def _item(direction, label, paths):
        item = Nautilus.MenuItem(name="Brisklet::" + direction, label=label, icon="brisklet")
        item.connect("activate", lambda _item: launch(command(direction, paths)))
        return item
