#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The block-level power-loss test: records every block write and flush of brisklet-cli runs on a file system
# over a logging FUSE file, rebuilds the disk at every flush and at random prefixes and subsets of the writes,
# and checks after `brisklet-cli recover DIR` that no file was lost (tests/powerloss/check_point.sh).
#   tests/powerloss/run.sh [BUILD_DIR] [options]      BUILD_DIR defaults to build
#     --seed N          the replays' seed (default: random, printed; or POWERLOSS_SEED)
#     --prefixes N      random prefixes per case (default 50)      --subsets N   random subsets (default 50)
#     --all-prefixes    every prefix instead of random ones (slow; or POWERLOSS_ALL_PREFIXES=1)
#     --fs TYPE         the file system on the device (default ext4)
#     --cases LIST      comma-separated case names (default: all, see the table below)
#     --keep DIR        keep each case's first failing disk (as rebuilt, before recovery) in DIR
# Needs root, loop devices and FUSE; where any is missing it says "skipped: ..." and exits 0. The last line
# is "N passed, N failed" over the replay points of all cases.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
here="$root/tests/powerloss"

build="$root/build"
if (($# > 0)) && [[ "$1" != --* ]]; then
    build="$(cd "$1" && pwd)"
    shift
fi
seed="${POWERLOSS_SEED:-$(((RANDOM << 15) | RANDOM))}"
prefixes=50
subsets=50
all_prefixes="${POWERLOSS_ALL_PREFIXES:-}"
fs=ext4
wanted=""
keep=""
while (($# > 0)); do
    case "$1" in
    --seed) seed="$2"; shift ;;
    --prefixes) prefixes="$2"; shift ;;
    --subsets) subsets="$2"; shift ;;
    --all-prefixes) all_prefixes=1 ;;
    --fs) fs="$2"; shift ;;
    --cases) wanted="$2"; shift ;;
    --keep) keep="$(mkdir -p "$2" && cd "$2" && pwd)"; shift ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
    esac
    shift
done

# name          files  size of each (bytes; "mixed" is 1 to 8 KiB)  direction  image size (MiB)
cases=(
    "large-encrypt  1      16777216                                     encrypt    72"
    "large-decrypt  1      16777216                                     decrypt    72"
    "small-encrypt  50     mixed                                        encrypt    16"
    "small-decrypt  50     mixed                                        decrypt    16"
)

cli="$build/cli/brisklet-cli"
blocklog="$build/tests/powerloss/blocklog"
replay="$build/tests/powerloss/powerloss_replay"

skip() {
    echo "power-loss test skipped: $*"
    exit 0
}
[ "$(id -u)" -eq 0 ] || skip "needs root for loop devices and mounts"
[ -e /dev/loop-control ] || skip "no loop devices (/dev/loop-control)"
[ -c /dev/fuse ] || skip "no FUSE (/dev/fuse)"
command -v fusermount3 >/dev/null || skip "no fusermount3 (package fuse3)"
command -v "mkfs.$fs" >/dev/null || skip "no mkfs.$fs"
[ -x "$blocklog" ] || skip "$blocklog was not built (package libfuse3-dev)"
for program in "$cli" "$replay"; do
    [ -x "$program" ] || { echo "no $program: build the targets brisklet-cli and powerloss_replay" >&2; exit 1; }
done

scratch_parent="${TMPDIR:-/tmp}"
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    scratch_parent=/dev/shm
fi
work="$(mktemp -d -p "$scratch_parent" brisklet-powerloss.XXXXXX)"
# The replays mount the disk elsewhere and on another loop device than the recorded run, as a reboot may:
# recovery must find the files by what is on the disk, not by a path or a device number.
mnt="$work/mnt"
replay_mnt="$work/mnt-after-reboot"
fuse="$work/fuse"
mkdir -p "$mnt" "$replay_mnt" "$fuse" "$work/scratch"
dev=""
placeholder=""
blocklog_pid=""

# Whatever was left mounted or attached, also by a check that was killed, goes: the mounts, then every loop
# device over a file in the work folder, then the logger.
cleanup() {
    local point loop file
    for point in "$mnt" "$replay_mnt"; do
        if mountpoint -q "$point"; then
            umount "$point" || umount -l "$point" || true
        fi
    done
    losetup -nl -O NAME,BACK-FILE | while read -r loop file; do
        if [[ "$file" == "$work"/* ]]; then
            losetup -d "$loop" || true
        fi
    done
    if mountpoint -q "$fuse"; then
        fusermount3 -u "$fuse" || fusermount3 -uz "$fuse" || true
    fi
    if [ -n "$blocklog_pid" ]; then
        kill "$blocklog_pid" 2>/dev/null || true
        wait "$blocklog_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if ! probe="$(losetup -f 2>&1)"; then
    skip "no free loop device ($probe)"
fi

printf 'power loss\n' >"$work/passphrase"
cli_run() {
    XDG_STATE_HOME="$mnt/state" "$cli" --passphrase-file "$work/passphrase" "$@"
}

source "$here/sums.sh"

# Files of random bytes with the marker PLAINMARK-<number> at the start of every 4 KiB block, so that any
# block of plain text left on the device is found.
make_files() {
    local count="$1" size="$2" i bytes
    for ((i = 0; i < count; i++)); do
        bytes="$size"
        if [ "$size" = mixed ]; then
            bytes=$((1024 + (i * 2741) % 7169))
        fi
        head -c "$bytes" /dev/urandom | perl -e '
            local $/; my $d = <STDIN>; my $m = sprintf("PLAINMARK-%03d", $ARGV[0]);
            for (my $o = 0; $o + length($m) <= length($d); $o += 4096) { substr($d, $o, length($m)) = $m }
            print $d' "$i" >"$mnt/data/$(printf 'file-%03d' "$i")"
    done
}

# Sets up the case's pre-state image and records the run's writes; then replays them. Sets case_passed and
# case_failed.
run_case() {
    local name="$1" count="$2" size="$3" direction="$4" mib="$5"
    local image="$work/disk.img" log="$work/writes.log" start=$SECONDS status=0
    rm -f "$image" "$log"
    truncate -s "${mib}M" "$image"
    "mkfs.$fs" -q "$image" >/dev/null

    dev="$(losetup -f --show "$image")"
    mount "$dev" "$mnt"
    mkdir -p "$mnt/data" "$mnt/state"
    make_files "$count" "$size"
    sums_of "$mnt/data"/* >"$work/expect"
    if [ "$direction" = decrypt ]; then
        cli_run encrypt "$mnt/data" >/dev/null
        join "$work/expect" <(sums_of "$mnt/data"/* | sed 's/\.brisklet / /') >"$work/expect.both"
        mv "$work/expect.both" "$work/expect"
    fi
    umount "$mnt"
    losetup -d "$dev"
    dev=""
    cp "$image" "$work/prestate.img"

    # The first free loop device stays free for the replays.
    truncate -s 1M "$work/placeholder.img"
    placeholder="$(losetup -f --show "$work/placeholder.img")"
    "$blocklog" "$image" "$log" "$fuse" &
    blocklog_pid=$!
    local deadline=$((SECONDS + 10))
    until [ -e "$fuse/disk" ]; do
        [ "$SECONDS" -lt "$deadline" ] || { echo "the write logger did not start" >&2; exit 1; }
        sleep 0.05
    done
    dev="$(losetup -f --show "$fuse/disk")"
    mount "$dev" "$mnt"
    cli_run "$direction" "$mnt/data" >"$work/run.out" 2>&1 || status=$?
    umount "$mnt"
    losetup -d "$dev"
    dev=""
    fusermount3 -u "$fuse"
    wait "$blocklog_pid"
    blocklog_pid=""
    losetup -d "$placeholder"
    placeholder=""
    if ((status != 0)); then
        echo "$name: brisklet-cli $direction exited $status while recorded:" >&2
        cat "$work/run.out" >&2
    fi

    local options=(--seed "$seed" --prefixes "$prefixes" --subsets "$subsets")
    if [ -n "$all_prefixes" ]; then
        options+=(--all-prefixes)
    fi
    local keep_image=""
    if [ -n "$keep" ]; then
        keep_image="$keep/$name.img"
        rm -f "$keep_image"
    fi
    PL_IMAGE="$work/replay.img" PL_MNT="$replay_mnt" PL_CLI="$cli" PL_PASSFILE="$work/passphrase" PL_FS="$fs" \
        PL_DIRECTION="$direction" PL_EXPECT="$work/expect" PL_SCRATCH="$work/scratch" PL_KEEP="$keep_image" \
        "$replay" "${options[@]}" "$work/prestate.img" "$log" "$work/replay.img" -- "$here/check_point.sh" \
        | awk -v name="$name" -v shown=20 '
            /^FAIL/ && ++fails > shown { if (fails == shown + 1) print name ": (further failures not shown)"; fflush(); next }
            { print name ": " $0; fflush() }' | tee "$work/replay.out" || true
    local summary
    summary="$(tail -n1 "$work/replay.out")"
    if [[ "$summary" =~ ([0-9]+)\ passed,\ ([0-9]+)\ failed$ ]]; then
        case_passed="${BASH_REMATCH[1]}" case_failed="${BASH_REMATCH[2]}"
    else
        echo "$name: the replay did not finish" >&2
        case_passed=0 case_failed=1
    fi
    if ((status != 0)); then
        case_failed=$((case_failed + 1))
    fi
    summaries+=("$(printf '%-14s %5d passed %5d failed  %4d s' "$name" "$case_passed" "$case_failed" \
        $((SECONDS - start)))")
}

echo "power-loss test on $fs, seed $seed (rerun with --seed $seed)"
passed=0
failed=0
summaries=()
for row in "${cases[@]}"; do
    read -r name count size direction mib <<<"$row"
    if [ -n "$wanted" ] && [[ ",$wanted," != *",$name,"* ]]; then
        continue
    fi
    run_case "$name" "$count" "$size" "$direction" "$mib"
    passed=$((passed + case_passed))
    failed=$((failed + case_failed))
done

echo "power-loss summary (seed $seed, $fs):"
printf '  %s\n' "${summaries[@]}"
echo "$passed passed, $failed failed"
((failed == 0))
