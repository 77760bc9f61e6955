#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the Exec line of every file-manager menu entry (Dolphin's service menus, Nemo's actions) on an X
# server, on two files each: the first starts the window, the later ones hand their files to it. Each time
# the window must list the files with the entry's direction preselected and the passphrase field focused,
# and nothing may have run. A later launch's startup id must reach the window.
# Usage: file_manager_menu_test.sh PACKAGING_DIR PATH_TO_BRISKLET   (exit status 77: skipped)
set -euo pipefail

packaging="${1:?usage: file_manager_menu_test.sh PACKAGING_DIR PATH_TO_BRISKLET}"
app="${2:?usage: file_manager_menu_test.sh PACKAGING_DIR PATH_TO_BRISKLET}"
if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null || ! command -v xprop >/dev/null; then
    echo "SKIP: this test needs xvfb-run, xdotool and xprop"
    exit 77
fi
if [ -z "${BRISKLET_MENU_TEST_DISPLAY_READY:-}" ]; then
    export BRISKLET_MENU_TEST_DISPLAY_READY=1
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

# Without symbolic links, as the window lists the files.
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
        cat -v "$work/app.log" >&2
    fi
    exit 1
}

# Byte by byte: the file names hold bytes that are no UTF-8.
g() { LC_ALL=C grep "$@"; }

export XDG_CONFIG_HOME="$work/config"
export XDG_STATE_HOME="$work/state"
export QT_QPA_PLATFORM=xcb
export BRISKLET_WINDOW_REPORT=1
# The program as the menus name it.
mkdir "$work/bin"
ln -s "$app" "$work/bin/brisklet"
export PATH="$work/bin:$PATH"

# The command an Exec line stands for, one argument per line (NUL-separated). Dolphin follows the desktop
# entry specification: %F gives each path as an argument of its own. Nemo writes the paths into the command
# line, space-separated, with quotes, backslashes and tabs escaped and, where the action says EscapeSpaces,
# spaces too, then splits the line as a shell would.
expand_exec() {
    local menu="$1" line word path text escape_spaces="" words=()
    shift
    line="$(exec_line "$menu")"
    if [[ "$menu" == *.nemo_action ]]; then
        g -qx 'EscapeSpaces=true' "$menu" && escape_spaces=1
        text=""
        for path in "$@"; do
            path="$(printf '%s' "$path" | LC_ALL=C sed -e 's/[\\"'"'"'\t]/\\&/g')"
            [ -n "$escape_spaces" ] && path="${path// /\\ }"
            text+="${text:+ }$path"
        done
        line="${line//%F/$text}"
        eval "words=($line)"
        printf '%s\0' "${words[@]}"
        return
    fi
    for word in $line; do
        case "$word" in
        %F) for path in "$@"; do printf '%s\0' "$path"; done ;;
        %*) fail "unexpected field code $word in: $line" ;;
        *) printf '%s\0' "$word" ;;
        esac
    done
}

exec_line() {
    local line
    line="$(g -m1 '^Exec=' "$1")" || fail "no Exec line in $1"
    printf '%s' "${line#Exec=}"
}

# Waits for the window's report number N (ui/WindowReport.h) and prints it.
report() {
    local n="$1" deadline=$((SECONDS + 30))
    until [ "$(g -c '^window: end$' "$work/app.log" 2>/dev/null || true)" -ge "$n" ]; do
        kill -0 "$app_pid" 2>/dev/null || fail "the application ended before its report $n"
        [ "$SECONDS" -lt "$deadline" ] || fail "no report $n from the window"
        sleep 0.2
    done
    LC_ALL=C awk -v n="$n" '/^window: end$/ { seen++; next } seen == n - 1 && /^window: / { print }' "$work/app.log"
}

# The report must name every file (each listed once), the direction's button and hint, and the focus.
check_report() {
    local text="$1" direction="$2" file
    shift 2
    g -qxF "window: default=${direction}Button" <<<"$text" || fail "$direction is not the default button: $text"
    g -qxF "window: hint=Type the passphrase, then press Return to $direction" <<<"$text" ||
        fail "the hint does not name $direction: $text"
    g -qxF "window: focus=passPhraseField" <<<"$text" || fail "the passphrase field has no focus: $text"
    g -qxF "window: running=no" <<<"$text" || fail "a run started by itself: $text"
    for file in "$@"; do
        [ "$(g -cxF "window: row=$file" <<<"$text")" -eq 1 ] || fail "$file is not listed once: $text"
    done
}

files_for() {
    local name="$1" suffix="$2"
    # Spaces, a quote, and a byte that is no UTF-8: the paths must reach the window as they are.
    printf '%s\n' "$work/$name it's one$suffix" "$work/$name caf$(printf '\351')$suffix"
}

declare -A sums=()
make_files() {
    local file
    while IFS= read -r file; do
        printf 'content of %s\n' "$file" >"$file"
        sums["$file"]="$(sha256sum <"$file")"
    done
}

count=0
for menu in "$packaging"/dolphin/brisklet-encrypt.desktop "$packaging"/dolphin/brisklet-decrypt.desktop \
    "$packaging"/nemo/brisklet-encrypt.nemo_action "$packaging"/nemo/brisklet-decrypt.nemo_action; do
    case "$menu" in
    *encrypt*) direction=encrypt suffix=.txt ;;
    *) direction=decrypt suffix=.brisklet ;;
    esac
    name="$(basename "$menu" | tr . -)"
    mapfile -t files < <(files_for "$name" "$suffix")
    printf '%s\n' "${files[@]}" | make_files
    mapfile -d '' -t command < <(expand_exec "$menu" "${files[@]}")
    count=$((count + 1))
    if [ "$count" -eq 1 ]; then
        "${command[@]}" >"$work/app.log" 2>&1 &
        app_pid=$!
    else
        status=0
        DESKTOP_STARTUP_ID="menu-test-$count-$$_TIME0" timeout 30 "${command[@]}" >>"$work/app.log" 2>&1 ||
            status=$?
        [ "$status" -eq 0 ] || fail "$(basename "$menu"): the hand-off to the running window ended with $status"
    fi
    check_report "$(report "$count")" "$direction" "${files[@]}"
    echo "PASS: $(basename "$menu") lists its files for $direction"
done

window="$(xdotool search --onlyvisible --name '^Brisklet$' | head -n1)"
[ -n "$window" ] || fail "no window named Brisklet"
xprop -id "$window" _NET_STARTUP_ID | grep -qF "\"menu-test-$count-$$_TIME0\"" ||
    fail "the last launch's startup id did not reach the window: $(xprop -id "$window" _NET_STARTUP_ID)"

for file in "${!sums[@]}"; do
    [ "$(sha256sum <"$file")" = "${sums[$file]}" ] || fail "$file changed, though no run was confirmed"
done
echo "PASS: every menu entry's files were listed with its direction, and nothing ran"
