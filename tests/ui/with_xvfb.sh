#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command on an X server of its own, 1280x800, and ends the server with it. Xvfb takes the first free
# display number itself, so servers started side by side by tests run in parallel never pick the same one,
# as xvfb-run -a can.
# Usage: with_xvfb.sh COMMAND [ARGUMENT...]   (exit status: the command's)
set -euo pipefail

work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# The number comes on a line of its own once the server takes connections.
: >"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
deadline=$((SECONDS + 30))
until read -r number <"$work/display"; do
    if ! kill -0 "$xvfb_pid" 2>/dev/null || [ "$SECONDS" -ge "$deadline" ]; then
        echo "with_xvfb.sh: Xvfb did not start" >&2
        cat "$work/xvfb.log" >&2
        exit 1
    fi
    sleep 0.1
done

status=0
DISPLAY=":$number" "$@" || status=$?
exit "$status"
