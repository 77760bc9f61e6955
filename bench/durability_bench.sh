#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The cost of durability: brisklet-cli on one 256 MiB file and on 2000 files of 4 KiB, encrypting and
# decrypting, as it ships (every journal, file and folder synced before the next step) and
# with every sync turned into a no-op by eatmydata; prints seconds and the difference.
#   bench/durability_bench.sh [PATH/TO/brisklet-cli]
# Without an argument it builds build-bench (Release, no tests, no desktop application) and times that build's brisklet-cli.
# The inputs live in a temporary directory under $TMPDIR (or /tmp), removed at the end, as does the state
# directory the runs use.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
big_mib=256
small_count=2000
small_kib=4
repeats=3

"$root/scripts/deps.sh" eatmydata >&2
cli="${1:-}"
if [ -z "$cli" ]; then
    "$root/scripts/build.sh" "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        -DBRISKLET_BUILD_UI=OFF >&2
    cli="$root/build-bench/cli/brisklet-cli"
fi
[ -x "$cli" ] || { echo "not an executable: $cli" >&2; exit 2; }

work="$(mktemp -d "${TMPDIR:-/tmp}/brisklet-durability.XXXXXX")"
trap 'rm -rf "$work"' EXIT
export XDG_STATE_HOME="$work/state"
pw="$work/passphrase"
echo "benchmark passphrase" >"$pw"

head -c $((big_mib << 20)) /dev/urandom >"$work/big.orig"
mkdir "$work/small.orig"
for i in $(seq 1 "$small_count"); do
    head -c $((small_kib << 10)) /dev/urandom >"$work/small.orig/f$i"
done

# The median wall-clock seconds of `repeats` runs of: fresh copy of the input, then the command.
median_of() {
    local input="$1" direction="$2" wrapper="$3" times=() start end target
    for _ in $(seq 1 "$repeats"); do
        rm -rf "$work/in" "$work/in.brisklet"
        cp -r "$input" "$work/in"
        target="$work/in"
        if [ "$direction" = decrypt ]; then
            "$cli" encrypt --passphrase-file "$pw" "$work/in" >/dev/null
            [ -f "$input" ] && target="$work/in.brisklet"
        fi
        sync
        start=$(date +%s.%N)
        $wrapper "$cli" "$direction" --passphrase-file "$pw" "$target" >/dev/null
        end=$(date +%s.%N)
        times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')")
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((repeats + 1) / 2))p"
}

printf '| input | direction | durable | syncs off (eatmydata) | cost of the syncs |\n'
printf '| --- | --- | --- | --- | --- |\n'
for input in big small; do
    label="one $big_mib MiB file"
    [ "$input" = small ] && label="$small_count files of $small_kib KiB"
    for direction in encrypt decrypt; do
        durable=$(median_of "$work/$input.orig" "$direction" "")
        unsynced=$(median_of "$work/$input.orig" "$direction" eatmydata)
        cost=$(awk -v a="$durable" -v b="$unsynced" 'BEGIN { printf "%+.3f s", a - b }')
        printf '| %s | %s | %.3f s | %.3f s | %s |\n' "$label" "$direction" "$durable" "$unsynced" "$cost"
    done
done
