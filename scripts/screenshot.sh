#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's pictures of the real application under Xvfb:
#   docs/screenshot-run.png   a run in progress: finished rows, two large files under way with their
#                             percentages, one waiting, the run's bar and its count of files
#   docs/screenshot-dark.png  a dark palette, as a Plasma session with Breeze Dark gives it, after a run with
#                             one file of each outcome and a new passphrase being typed
#   scripts/screenshot.sh [BUILD_DIR]      BUILD_DIR defaults to build-app, holding ui/brisklet
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-app}"
app="$build/ui/brisklet"
docs="$root/docs"

[ -x "$app" ] || { echo "no $app: build the target brisklet first" >&2; exit 1; }
for tool in xvfb-run xdotool import; do
    command -v "$tool" >/dev/null || { echo "$tool is needed (packages xvfb, xdotool, imagemagick)" >&2; exit 1; }
done
if [ -z "${BRISKLET_SCREENSHOT_DISPLAY_READY:-}" ]; then
    export BRISKLET_SCREENSHOT_DISPLAY_READY=1
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

die() {
    echo "$*" >&2
    exit 1
}

window_named() {
    local deadline=$((SECONDS + 30)) id
    while :; do
        id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)"
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        [ "$SECONDS" -lt "$deadline" ] || die "no window \"$1\" appeared"
        sleep 0.2
    done
}

focus() {
    xdotool windowfocus --sync "$1"
    sleep 0.5
}

# Starts the application on the files with settings and state of its own; sets app_pid and main.
launch() {
    QT_QPA_PLATFORM=xcb "$app" "$@" >>"$work/app.log" 2>&1 &
    app_pid=$!
    main="$(window_named Brisklet)"
}

encrypt_with() {
    focus "$main"
    xdotool type --delay 20 "$1"
    xdotool key ctrl+e
    local sheet
    sheet="$(window_named "Confirm Passphrase")"
    focus "$sheet"
    xdotool type --delay 20 "$1"
    xdotool key Return
}

quit_app() {
    focus "$main"
    xdotool key ctrl+q
    local deadline=$((SECONDS + 120))
    while kill -0 "$app_pid" 2>/dev/null; do
        [ "$SECONDS" -lt "$deadline" ] || die "the application did not quit"
        sleep 0.2
    done
    wait "$app_pid" || true
    app_pid=""
}

export XDG_CONFIG_HOME="$work/config"
export XDG_STATE_HOME="$work/state"
mkdir -p "$docs" "$XDG_CONFIG_HOME"

# The same few documents for both pictures.
make_documents() {
    mkdir -p "$1/Holiday photos"
    printf 'Quarterly figures\n' >"$1/Quarterly report.pdf"
    printf 'Minutes\n' >"$1/Meeting notes.txt"
    head -c 20000 /dev/urandom >"$1/Holiday photos/beach.jpg"
    head -c 20000 /dev/urandom >"$1/Holiday photos/harbour.jpg"
}

# (a) A run in progress. Two workers take the large files after the small ones are done; the last file
# waits for a worker.
run="$work/run/Documents"
make_documents "$run"
head -c 1200M /dev/zero >"$run/Holiday video.mp4"
head -c 800M /dev/zero >"$run/Family archive.zip"
printf 'Return\n' >"$run/Tax return 2024.pdf"
launch "$run/Quarterly report.pdf" "$run/Meeting notes.txt" "$run/Holiday photos" "$run/Holiday video.mp4" \
    "$run/Family archive.zip" "$run/Tax return 2024.pdf"
encrypt_with "demo passphrase"
deadline=$((SECONDS + 30))
until [ -f "$run/Holiday photos/harbour.jpg.brisklet" ]; do
    [ "$SECONDS" -lt "$deadline" ] || die "the small files of the run were not encrypted"
    sleep 0.2
done
# Far enough for the large files to show their percentages; far from their end.
sleep 1
import -window "$main" "$docs/screenshot-run.png"
echo "wrote $docs/screenshot-run.png"
# Stop the run: the large files are still being read, so they stay as they are.
focus "$main"
xdotool key Escape
quit_app
rm -rf "$work/run"

# (b) The dark palette: Qt reads a Plasma session's colour scheme from kdeglobals.
cat >"$XDG_CONFIG_HOME/kdeglobals" <<'COLORS'
[General]
ColorScheme=BreezeDark
[Colors:Button]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
ForegroundInactive=161,169,177
[Colors:Selection]
BackgroundNormal=61,174,233
ForegroundNormal=252,252,252
[Colors:Tooltip]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
[Colors:View]
BackgroundNormal=35,38,41
BackgroundAlternate=49,54,59
ForegroundNormal=239,240,241
ForegroundInactive=161,169,177
[Colors:Window]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
ForegroundInactive=161,169,177
COLORS
export XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5 QT_QPA_PLATFORMTHEME=kde
demo="$work/dark/Documents"
make_documents "$demo"
# An encrypted copy already in the way has this one refused untouched; the last file does not exist.
printf 'Draft\n' >"$demo/Draft letter.odt"
printf 'in the way\n' >"$demo/Draft letter.odt.brisklet"
launch "$demo/Quarterly report.pdf" "$demo/Meeting notes.txt" "$demo/Holiday photos" "$demo/Draft letter.odt" \
    "$demo/Budget 2024.ods"
encrypt_with "demo passphrase"
deadline=$((SECONDS + 60))
until [ -f "$demo/Meeting notes.txt.brisklet" ] && [ -f "$demo/Holiday photos/harbour.jpg.brisklet" ]; do
    [ "$SECONDS" -lt "$deadline" ] || die "the demo run did not finish"
    sleep 0.2
done
sleep 1
focus "$main"
xdotool type --delay 20 "another one"
# Let the last typed character turn into a bullet.
sleep 2
import -window "$main" "$docs/screenshot-dark.png"
echo "wrote $docs/screenshot-dark.png"
quit_app
