#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Reads the real application's passphrase field through the accessibility bus, as a screen reader would:
# on an X server of its own, with a D-Bus session and an accessibility bus of its own. at_spi_test.py
# beside this script does the reading.
# Usage: at_spi_test.sh PATH_TO_BRISKLET   (exit status 77: skipped, the accessibility bus cannot start)
set -euo pipefail

app="${1:?usage: at_spi_test.sh PATH_TO_BRISKLET}"
here="$(cd "$(dirname "$0")" && pwd)"
# Debian's interpreter, which has the accessibility bindings, whatever else is first on the path.
python=/usr/bin/python3
launcher=/usr/libexec/at-spi-bus-launcher

skip() {
    echo "SKIP: $*"
    exit 77
}

if [ -z "${BRISKLET_AT_SPI_TEST_SESSION:-}" ]; then
    for tool in Xvfb xdotool dbus-run-session dbus-send; do
        command -v "$tool" >/dev/null || skip "this test needs $tool"
    done
    [ -x "$launcher" ] || skip "this test needs at-spi2-core ($launcher)"
    "$python" -c 'import pyatspi' 2>/dev/null || skip "this test needs python3-pyatspi"
    export BRISKLET_AT_SPI_TEST_SESSION=1
    exec dbus-run-session -- "$here/with_xvfb.sh" "$0" "$@"
fi

work="$(mktemp -d)"
launcher_pid=""
cleanup() {
    if [ -n "$launcher_pid" ]; then
        kill "$launcher_pid" 2>/dev/null || true
        wait "$launcher_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Its output goes to a file: the bus it starts must not hold the test's output open once the test ends.
"$launcher" --launch-immediately >"$work/launcher.log" 2>&1 &
launcher_pid=$!

deadline=$((SECONDS + 30))
# Asked without starting it: the session bus could start another one of its own.
until dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true'; do
    if ! kill -0 "$launcher_pid" 2>/dev/null || [ "$SECONDS" -ge "$deadline" ]; then
        cat "$work/launcher.log"
        skip "the accessibility bus did not start"
    fi
    sleep 0.2
done

status=0
"$python" "$here/at_spi_test.py" "$app" "$work" || status=$?
exit "$status"
