#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The catalogues hold exactly the window's words as the sources have them now, and every language but
# English (which gives only plural forms) translates all of them. The same extraction as the
# update_translations target, into copies, so that the sources are not touched.
#   translations_current_test.sh LUPDATE GENERATOR PROJECT.cmake "OPTIONS" TS_FILE...
set -euo pipefail
lupdate="$1"
generator="$2"
project="$3"
read -r -a options <<<"$4"
shift 4

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cmake -DIN_FILE="$project" -DOUT_FILE="$work/project.json" -P "$generator"
copies=()
for ts in "$@"; do
    cp "$ts" "$work/"
    copies+=("$work/$(basename "$ts")")
done
"$lupdate" -project "$work/project.json" "${options[@]}" -ts "${copies[@]}" >/dev/null

status=0
for ts in "$@"; do
    copy="$work/$(basename "$ts")"
    if ! diff -u "$ts" "$copy"; then
        echo "$ts is out of date: run cmake --build BUILD_DIR --target update_translations" >&2
        status=1
    fi
    # English needs only the plural forms of the source texts; every other language needs everything.
    if [[ "$(basename "$ts")" == *_en.ts ]]; then
        unfinished=$(awk '/<message numerus="yes">/ { plural = 1 }
                          plural && /type="unfinished"/ { count++ }
                          /<\/message>/ { plural = 0 }
                          END { print count + 0 }' "$copy")
    else
        unfinished=$(grep -c 'type="unfinished"' "$copy" || true)
    fi
    if [ "$unfinished" -gt 0 ]; then
        echo "$ts: $unfinished message(s) still to translate" >&2
        status=1
    fi
done
exit "$status"
