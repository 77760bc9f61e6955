#!/usr/bin/env bash
# Encrypts two files with the real application on an X server, driven by the keyboard alone: proves that
# Ctrl+E reaches the Encrypt command while the passphrase field has the focus, and Return the sheet's OK.
# Usage: x11_keyboard_test.sh PATH_TO_BRISKLET   (exit status 77: skipped, xvfb-run or xdotool missing)
set -euo pipefail

app="${1:?usage: x11_keyboard_test.sh PATH_TO_BRISKLET}"
if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null; then
    echo "SKIP: this test needs xvfb-run and xdotool"
    exit 77
fi
if [ -z "${BRISKLET_X11_TEST_DISPLAY_READY:-}" ]; then
    export BRISKLET_X11_TEST_DISPLAY_READY=1
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

work="$(mktemp -d)"
app_pid=""
cleanup() {
    if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; then
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -s "$work/app.log" ]; then
        echo "--- application output:" >&2
        cat "$work/app.log" >&2
    fi
    exit 1
}

# Prints the id of the visible window with exactly this title, waiting for it for at most 30 seconds.
window_named() {
    local deadline=$((SECONDS + 30)) id
    while :; do
        id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)"
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        kill -0 "$app_pid" 2>/dev/null || fail "the application ended before showing \"$1\""
        [ "$SECONDS" -lt "$deadline" ] || fail "no window \"$1\" appeared"
        sleep 0.2
    done
}

focus() {
    xdotool windowfocus --sync "$1"
    sleep 0.5
}

printf 'The first file.\n' >"$work/one.txt"
head -c 5000 /dev/urandom >"$work/two.bin"
passphrase="keyboard only 42"

# Settings of its own: the defaults apply (the passphrase is asked twice) and the user's stay untouched.
export XDG_CONFIG_HOME="$work/config"
QT_QPA_PLATFORM=xcb "$app" "$work/one.txt" "$work/two.bin" >"$work/app.log" 2>&1 &
app_pid=$!

main="$(window_named Brisklet)"
focus "$main"
# Launching with files puts the focus in the passphrase field.
xdotool type --delay 30 "$passphrase"
xdotool key ctrl+e

sheet="$(window_named "Confirm Passphrase")"
focus "$sheet"
xdotool type --delay 30 "$passphrase"
xdotool key Return

deadline=$((SECONDS + 60))
until [ -f "$work/one.txt.brisklet" ] && [ -f "$work/two.bin.brisklet" ] &&
    [ ! -e "$work/one.txt" ] && [ ! -e "$work/two.bin" ]; do
    kill -0 "$app_pid" 2>/dev/null || fail "the application ended during the run"
    [ "$SECONDS" -lt "$deadline" ] || fail "the files were not encrypted: $(ls "$work")"
    sleep 0.2
done
[ "$(stat -c %s "$work/two.bin.brisklet")" -gt 5000 ] || fail "two.bin.brisklet is too short to be encrypted"

focus "$main"
xdotool key ctrl+q
deadline=$((SECONDS + 15))
while kill -0 "$app_pid" 2>/dev/null; do
    [ "$SECONDS" -lt "$deadline" ] || fail "Ctrl+Q did not end the application"
    sleep 0.2
done
status=0
wait "$app_pid" || status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "the application ended with status $status"
echo "PASS: encrypted with Ctrl+E and Return on an X server"
