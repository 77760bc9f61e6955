#!/usr/bin/env bash
# Takes docs/screenshot.png: the real application under Xvfb with a few demo files after a run (one file of
# each outcome) and a new passphrase being typed, so that the colour bars show.
#   scripts/screenshot.sh [BUILD_DIR]      BUILD_DIR defaults to build-app, holding ui/brisklet
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-app}"
app="$build/ui/brisklet"
output="$root/docs/screenshot.png"

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

window_named() {
    local deadline=$((SECONDS + 30)) id
    while :; do
        id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)"
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        [ "$SECONDS" -lt "$deadline" ] || { echo "no window \"$1\" appeared" >&2; exit 1; }
        sleep 0.2
    done
}

focus() {
    xdotool windowfocus --sync "$1"
    sleep 0.5
}

demo="$work/Documents"
mkdir -p "$demo/Holiday photos"
printf 'Quarterly figures\n' >"$demo/Quarterly report.pdf"
printf 'Minutes\n' >"$demo/Meeting notes.txt"
head -c 20000 /dev/urandom >"$demo/Holiday photos/beach.jpg"
head -c 20000 /dev/urandom >"$demo/Holiday photos/harbour.jpg"
# An encrypted copy already in the way keeps this one from being renamed; the last file does not exist.
printf 'Draft\n' >"$demo/Draft letter.odt"
printf 'in the way\n' >"$demo/Draft letter.odt.brisklet"

export XDG_CONFIG_HOME="$work/config"
QT_QPA_PLATFORM=xcb "$app" "$demo/Quarterly report.pdf" "$demo/Meeting notes.txt" "$demo/Holiday photos" \
    "$demo/Draft letter.odt" "$demo/Budget 2024.ods" >"$work/app.log" 2>&1 &
app_pid=$!

main="$(window_named Brisklet)"
focus "$main"
xdotool type --delay 20 "demo passphrase"
xdotool key ctrl+e
sheet="$(window_named "Confirm Passphrase")"
focus "$sheet"
xdotool type --delay 20 "demo passphrase"
xdotool key Return

deadline=$((SECONDS + 60))
until [ -f "$demo/Meeting notes.txt.brisklet" ] && [ -f "$demo/Holiday photos/harbour.jpg.brisklet" ]; do
    [ "$SECONDS" -lt "$deadline" ] || { echo "the demo run did not finish" >&2; exit 1; }
    sleep 0.2
done
sleep 1
focus "$main"
xdotool type --delay 20 "another one"
# Let the last typed character turn into a bullet.
sleep 2
mkdir -p "$(dirname "$output")"
import -window "$main" "$output"
echo "wrote $output"
