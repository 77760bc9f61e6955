#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the real application and checks that it shows its window, or explains itself without a display.
# Usage: app_start_test.sh offscreen|xvfb|nodisplay PATH_TO_BRISKLET   (exit status 77: skipped)
set -euo pipefail

mode="${1:?usage: app_start_test.sh offscreen|xvfb|nodisplay PATH_TO_BRISKLET}"
app="${2:?usage: app_start_test.sh offscreen|xvfb|nodisplay PATH_TO_BRISKLET}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
# A state directory of its own: the launch completes pending rewrites, and must never find the user's.
export XDG_STATE_HOME="$work/state"
printf 'listed\n' >"$work/listed.txt"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The window grabs itself once shown and the program ends; the picture proves the window was painted.
check_screenshot() {
    [ -s "$work/shot.png" ] || fail "no screenshot was written"
    [ "$(head -c 8 "$work/shot.png" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] ||
        fail "the screenshot is no PNG file"
}

case "$mode" in
offscreen)
    # A display name of its own, so that no other running instance takes the files over.
    DISPLAY=":brisklet-start-test-$$" QT_QPA_PLATFORM=offscreen BRISKLET_SCREENSHOT="$work/shot.png" \
        timeout 60 "$app" "$work/listed.txt" || fail "the application ended with status $?"
    check_screenshot
    ;;
xvfb)
    if ! command -v xvfb-run >/dev/null; then
        echo "SKIP: this test needs xvfb-run"
        exit 77
    fi
    QT_QPA_PLATFORM=xcb BRISKLET_SCREENSHOT="$work/shot.png" \
        timeout 60 xvfb-run -a "$app" "$work/listed.txt" || fail "the application ended with status $?"
    check_screenshot
    ;;
nodisplay)
    status=0
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 60 "$app" "$work/listed.txt" \
        2>"$work/stderr" || status=$?
    [ "$status" -eq 1 ] || fail "expected status 1 without a display, got $status"
    grep -q "brisklet-cli" "$work/stderr" || fail "the message does not point to brisklet-cli: $(cat "$work/stderr")"
    ;;
*)
    fail "unknown mode $mode"
    ;;
esac
echo "PASS: $mode"
