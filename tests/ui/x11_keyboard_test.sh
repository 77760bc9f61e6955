#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Drives the real application on an X server by the keyboard alone: encrypts three files (Ctrl+E reaches the
# Encrypt command while the passphrase field has the focus, Return the sheet's OK) and decrypts them with
# Ctrl+D from the same list, whose rows now name the encrypted files; then starts a run on a large file,
# stops it with Escape 0.4 s in, which leaves the file untouched under its name, and encrypts it with a
# second run in the same window.
# Usage: x11_keyboard_test.sh PATH_TO_BRISKLET   (exit status 77: skipped, Xvfb or xdotool missing)
set -euo pipefail

app="${1:?usage: x11_keyboard_test.sh PATH_TO_BRISKLET}"
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "SKIP: this test needs Xvfb and xdotool"
    exit 77
fi
if [ -z "${BRISKLET_X11_TEST_DISPLAY_READY:-}" ]; then
    export BRISKLET_X11_TEST_DISPLAY_READY=1
    exec "$(dirname "$0")/with_xvfb.sh" "$0" "$@"
fi

# Without symbolic links, as the application's open files show it.
work="$(cd "$(mktemp -d)" && pwd -P)"
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

# Whether the application holds a journal open beside the files: unnamed while it is written (shown as
# "#INODE (deleted)" among its descriptors) where the file system can make unnamed files, named otherwise.
journal_open() {
    local fd target
    for fd in /proc/"$app_pid"/fd/*; do
        target="$(readlink "$fd" 2>/dev/null)" || continue
        case "$target" in
        "$work/#"* | "$work"/.brisklet-journal-*) return 0 ;;
        esac
    done
    return 1
}

quit_app() {
    focus "$main"
    xdotool key ctrl+q
    local deadline=$((SECONDS + 15)) status=0
    while kill -0 "$app_pid" 2>/dev/null; do
        [ "$SECONDS" -lt "$deadline" ] || fail "Ctrl+Q did not end the application"
        sleep 0.2
    done
    wait "$app_pid" || status=$?
    app_pid=""
    [ "$status" -eq 0 ] || fail "the application ended with status $status"
}

# Types the passphrase, presses Ctrl+E and confirms the passphrase in the sheet.
start_encryption() {
    focus "$main"
    xdotool type --delay 30 "$passphrase"
    xdotool key ctrl+e
    sheet="$(window_named "Confirm Passphrase")"
    focus "$sheet"
    xdotool type --delay 30 "$passphrase"
    xdotool key Return
}

# Prints the files' checksums, by name.
checksums() {
    (cd "$work" && sha256sum -- "${small[@]}")
}

# Waits until every one of the small files is there under its name, or with .brisklet after it when $1 is
# .brisklet, and not under the other.
await_small() {
    local suffix="$1" other="" deadline=$((SECONDS + 60)) name done
    [ -n "$suffix" ] || other=.brisklet
    while :; do
        done=1
        for name in "${small[@]}"; do
            if [ ! -f "$work/$name$suffix" ] || [ -e "$work/$name$other" ]; then
                done=""
            fi
        done
        if [ -n "$done" ] && ! journal_open; then
            return 0
        fi
        kill -0 "$app_pid" 2>/dev/null || fail "the application ended during the run"
        [ "$SECONDS" -lt "$deadline" ] ||
            fail "the run did not end with every file${suffix:+ as $suffix}: $(ls "$work")"
        sleep 0.2
    done
}

small=(one.txt two.bin "third file.dat")
printf 'The first file.\n' >"$work/one.txt"
head -c 5000 /dev/urandom >"$work/two.bin"
head -c 70000 /dev/urandom >"$work/third file.dat"
small_sums="$(checksums)"
passphrase="keyboard only 42"

# Settings and state of its own: the defaults apply (the passphrase is asked twice), and neither the user's
# settings nor the user's pending rewrites are touched.
export XDG_CONFIG_HOME="$work/config"
export XDG_STATE_HOME="$work/state"
QT_QPA_PLATFORM=xcb "$app" "${small[@]/#/$work/}" >"$work/app.log" 2>&1 &
app_pid=$!

main="$(window_named Brisklet)"
# Launching with files puts the focus in the passphrase field.
start_encryption
await_small .brisklet
[ "$(stat -c %s "$work/two.bin.brisklet")" -gt 5000 ] || fail "two.bin.brisklet is too short to be encrypted"
echo "PASS: encrypted with Ctrl+E and Return on an X server"

# Let the window take in the end of the run (it empties the field) before the passphrase is typed again.
sleep 1
focus "$main"
xdotool type --delay 30 "$passphrase"
xdotool key ctrl+d
await_small ""
[ "$(checksums)" = "$small_sums" ] || fail "the decrypted files differ from the originals: $(checksums)"
quit_app
echo "PASS: decrypted with Ctrl+D from the same list, byte for byte the originals"

# Large enough that its encryption is still being worked out, not yet written back, 0.4 s in.
big="$work/big.bin"
head -c 300M /dev/urandom >"$big"
big_sum="$(sha256sum <"$big")"
QT_QPA_PLATFORM=xcb "$app" "$big" >"$work/app.log" 2>&1 &
app_pid=$!
main="$(window_named Brisklet)"
start_encryption
xdotool windowfocus --sync "$main"
sleep 0.4
# The journal being written beside the file shows that the run is under way.
journal_open || fail "the run was not under way 0.4 s in"
xdotool key Escape

deadline=$((SECONDS + 60))
while journal_open; do
    kill -0 "$app_pid" 2>/dev/null || fail "the application ended while stopping"
    [ "$SECONDS" -lt "$deadline" ] || fail "the stopped run did not end"
    sleep 0.2
done
! compgen -G "$work/.brisklet-journal-*" >/dev/null || fail "the stopped run left a journal: $(ls -A "$work")"
[ ! -e "$big.brisklet" ] || fail "Escape did not stop the run: big.bin was encrypted"
[ "$(sha256sum <"$big")" = "$big_sum" ] || fail "the stopped file is not its original"
# Let the window take in the end of the run before the next one is asked for.
sleep 1

start_encryption
deadline=$((SECONDS + 240))
until [ -f "$big.brisklet" ] && [ ! -e "$big" ]; do
    kill -0 "$app_pid" 2>/dev/null || fail "the application ended during the second run"
    [ "$SECONDS" -lt "$deadline" ] || fail "the second run did not encrypt big.bin: $(ls "$work")"
    sleep 0.5
done
[ "$(stat -c %s "$big.brisklet")" -eq $((300 * 1024 * 1024 + 48)) ] ||
    fail "big.bin.brisklet does not have the length of its encryption"
quit_app
! compgen -G "$work/.brisklet-journal-*" >/dev/null || fail "the completed run left a journal: $(ls -A "$work")"
echo "PASS: Escape stopped a run with the file untouched, and a second run encrypted it"
