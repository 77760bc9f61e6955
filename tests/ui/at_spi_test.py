# SPDX-License-Identifier: GPL-3.0-or-later
"""Starts the application with one file listed, so that its passphrase field has the focus, and reads that
field through AT-SPI while Alt+R, Alt+S and Alt+T and then a passphrase are typed into it with xdotool: the
field is a password text, the mnemonics insert nothing, and neither its text nor any text-changed event
ever holds a typed character, not even the one still readable on the screen.

Run by at_spi_test.sh, inside the X server, D-Bus session and accessibility bus that it starts.
Usage: at_spi_test.py PATH_TO_BRISKLET WORK_FOLDER
"""

import os
import signal
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

TYPED = "secret"
MNEMONICS = ["alt+r", "alt+s", "alt+t"]


class Failure(Exception):
    pass


def pump(seconds):
    """Lets the accessibility events that arrive meanwhile reach their listeners."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.02)


def wait_for(condition, what, timeout=30):
    """Polls condition() until it gives something true, for at most timeout seconds."""
    end = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > end:
            raise Failure(f"{what} within {timeout} s")
        pump(0.2)


def descendants(root):
    found = []
    stack = [root]
    while stack:
        node = stack.pop()
        found.append(node)
        stack.extend(child for child in node if child is not None)
    return found


def xdotool(*arguments):
    subprocess.run(["xdotool", *arguments], check=True, stdout=subprocess.PIPE)


def describe(node):
    return f"{node.getRoleName()} \"{node.name}\""


def field_text(field):
    text = field.queryText()
    return text.getText(0, -1)


def leaked(value):
    """The typed characters that value gives away."""
    return sorted(set(value or "") & set(TYPED))


def application_of(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for application in desktop:
        if application is not None and application.get_process_id() == pid:
            return application
    return None


def check(app_path, work):
    listed = os.path.join(work, "listed.txt")
    with open(listed, "w") as file:
        file.write("listed\n")
    env = dict(os.environ,
               QT_QPA_PLATFORM="xcb",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               XDG_CONFIG_HOME=os.path.join(work, "config"),
               XDG_STATE_HOME=os.path.join(work, "state"))
    log = open(os.path.join(work, "app.log"), "w")
    process = subprocess.Popen([app_path, listed], stdout=log, stderr=subprocess.STDOUT, env=env)
    try:
        run_checks(process)
    except Failure:
        log.flush()
        with open(os.path.join(work, "app.log")) as output:
            sys.stderr.write("--- application output:\n" + output.read())
        raise
    finally:
        if process.poll() is None:
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        log.close()


def run_checks(process):
    def started():
        if process.poll() is not None:
            raise Failure(f"the application ended with status {process.returncode}")
        return application_of(process.pid)

    try:
        application = wait_for(started, "the application did not appear on the accessibility bus",
                               timeout=60)
    except Failure as failure:
        desktop = pyatspi.Registry.getDesktop(0)
        shown = [(a.name, a.get_process_id()) for a in desktop if a is not None]
        raise Failure(f"{failure}; its applications: {shown} (pid {process.pid})")
    print(f"PASS: the application is on the accessibility bus as \"{application.name}\"")

    def password_fields():
        return [node for node in descendants(application) if node.getRole() == pyatspi.ROLE_PASSWORD_TEXT]

    def editable_fields():
        return [node for node in descendants(application)
                if node.getState().contains(pyatspi.STATE_EDITABLE)]

    # The window is shown once its controls are on the bus; only the main window is open.
    wait_for(editable_fields, "no editable field appeared")
    fields = password_fields()
    if len(fields) != 1:
        raise Failure("expected one password text, found "
                      f"{[describe(node) for node in editable_fields()]}")
    field = fields[0]
    print("PASS: the passphrase field's role is password text")

    seen = []  # every text-changed event's text, and the field's text when it came

    def on_text_changed(event):
        seen.append((event.type, event.any_data, field_text(field)))

    pyatspi.Registry.registerEventListener(on_text_changed, "object:text-changed")

    window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Brisklet$"],
                            check=True, stdout=subprocess.PIPE, text=True, timeout=60).stdout.split()[0]
    xdotool("windowfocus", "--sync", window)
    wait_for(lambda: field.getState().contains(pyatspi.STATE_FOCUSED),
             "the passphrase field did not have the focus")

    described = (field.name, field.description)
    xdotool("key", "--delay", "50", *MNEMONICS)
    xdotool("type", "--delay", "50", TYPED)
    # The mnemonics went first: had they typed anything, the field would hold more than the passphrase.
    wait_for(lambda: field.queryText().characterCount >= len(TYPED), "the passphrase did not arrive")
    readings = [field_text(field)]
    pump(1.0)
    readings.append(field_text(field))
    count = field.queryText().characterCount
    if count != len(TYPED):
        raise Failure(f"after {' '.join(MNEMONICS)} and \"{TYPED}\" the field holds {count} characters, "
                      f"not {len(TYPED)}: {readings}")
    print(f"PASS: {', '.join(MNEMONICS)} inserted nothing into the empty field")

    for reading in readings:
        if leaked(reading):
            raise Failure(f"the field's accessible text right after typing read {reading!r}")
    if (field.name, field.description) != described:
        raise Failure(f"typing changed the field's name or description to {(field.name, field.description)}")
    if not seen:
        raise Failure("no text-changed event came while typing")
    for event_type, data, text in seen:
        if leaked(data if isinstance(data, str) else str(data)) or leaked(text):
            raise Failure(f"{event_type} carried {data!r} with the field reading {text!r}")
    carried = sorted({str(data) for _, data, _ in seen})
    print(f"PASS: right after typing the field's text read {readings[0]!r}, and its {len(seen)} text-changed "
          f"events carried only {carried}")


def main():
    app_path, work = sys.argv[1], sys.argv[2]
    try:
        check(app_path, work)
    except Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
