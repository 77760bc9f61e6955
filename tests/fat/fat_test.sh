#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# brisklet-cli on the FAT family that USB sticks carry: files encrypt to NAME.brisklet and decrypt back
# byte for byte, no journal is left, an existing target name is refused with both files untouched, and
# copies made there with --output-dir decrypt back.
# There is no O_TMPFILE, no RENAME_NOREPLACE, no fallocate and no stable inode number there.
#   fat_test.sh BRISKLET_CLI [--fs exfat]  a fresh 64 MiB exFAT image through exfat-fuse (exit 77, skipped,
#                                          without FUSE or exfat-fuse)
#   fat_test.sh BRISKLET_CLI --fs vfat     a fresh FAT image through the kernel's vfat on a loop device
#                                          (skipped where the kernel has no vfat)
#   fat_test.sh BRISKLET_CLI --dir DIR     the same checks in DIR (any file system), to check this script
# fusefat is not used: it hands back other bytes than were written when a file is written and read through
# two descriptors, which the engine's read-back then rightly refuses to report as done.
set -euo pipefail
cli="$(realpath "${1:?usage: fat_test.sh BRISKLET_CLI [--dir DIR]}")"
shift
dir=""
fs="exfat"
if (($# == 2)) && [ "$1" = --dir ]; then
    dir="$2"
elif (($# == 2)) && [ "$1" = --fs ] && [[ "$2" == exfat || "$2" == vfat ]]; then
    fs="$2"
elif (($# > 0)); then
    echo "usage: fat_test.sh BRISKLET_CLI [--fs exfat|vfat | --dir DIR]" >&2
    exit 2
fi

skip() {
    echo "skipped: $*"
    exit 77
}

work="$(mktemp -d)"
mounted=""
loop=""
cleanup() {
    if [ -n "$mounted" ]; then
        fusermount -u "$mounted" 2>/dev/null || umount "$mounted" 2>/dev/null || umount -l "$mounted" || true
    fi
    if [ -n "$loop" ]; then
        losetup -d "$loop" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

if [ -z "$dir" ]; then
    truncate -s 64M "$work/fat.img"
    mkdir "$work/mnt"
    if [ "$fs" = exfat ]; then
        [ -c /dev/fuse ] || skip "no FUSE (/dev/fuse)"
        command -v mount.exfat-fuse >/dev/null || skip "no mount.exfat-fuse (package exfat-fuse)"
        command -v mkfs.exfat >/dev/null || skip "no mkfs.exfat (package exfatprogs)"
        mkfs.exfat "$work/fat.img" >/dev/null
        # exfat-fuse wants a block device.
        loop="$(losetup -f --show "$work/fat.img" 2>/dev/null)" || skip "no loop device"
        mount.exfat-fuse "$loop" "$work/mnt" >"$work/mount.out" 2>&1 ||
            skip "exfat-fuse cannot mount here: $(cat "$work/mount.out")"
    else
        grep -qw vfat /proc/filesystems || modprobe vfat 2>/dev/null || skip "the kernel has no vfat"
        command -v mkfs.vfat >/dev/null || skip "no mkfs.vfat (package dosfstools)"
        mkfs.vfat "$work/fat.img" >/dev/null
        mount -o loop "$work/fat.img" "$work/mnt" >"$work/mount.out" 2>&1 ||
            skip "vfat cannot be mounted here: $(cat "$work/mount.out")"
    fi
    mounted="$work/mnt"
    dir="$work/mnt"
fi
dir="$(realpath "$dir")"
test_dir="$dir/brisklet-fat-test.$$"
mkdir "$test_dir"
if [ -z "$mounted" ]; then
    trap 'rm -rf "$test_dir"; cleanup' EXIT
fi

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
printf 'fat test\n' >"$work/passphrase"
cli_run() {
    XDG_STATE_HOME="$work/state" "$cli" --passphrase-file "$work/passphrase" "$@" >"$work/cli.out" 2>&1
}
# The folder's names, one a line, sorted, hidden ones included.
names() {
    (cd "$test_dir" && find . -mindepth 1 -maxdepth 1 -printf '%P\n' | LC_ALL=C sort)
}
# expect_names WHEN NAME...
expect_names() {
    local when="$1" want
    shift
    want="$(printf '%s\n' "$@" | LC_ALL=C sort)"
    [ "$(names)" = "$want" ] || fail "$when the folder holds [$(names | tr '\n' '|')], not [$(echo "$want" | tr '\n' '|')]"
}

# name                bytes: empty, under a block, over a block, one of a few MiB
files=(
    "empty.txt          0"
    "note.txt           15"
    "with space.odt     4097"
    "archive.tar        3145741"
)
plain_names=()
encrypted_names=()
mkdir "$work/originals"
for row in "${files[@]}"; do
    size="${row##* }"
    name="$(echo "${row% *}" | sed 's/ *$//')"
    head -c "$size" /dev/urandom >"$work/originals/$name"
    cp "$work/originals/$name" "$test_dir/$name"
    plain_names+=("$name")
    encrypted_names+=("$name.brisklet")
done

status=0
cli_run encrypt "${plain_names[@]/#/$test_dir/}" || status=$?
((status == 0)) || fail "encrypt exited $status: $(cat "$work/cli.out")"
expect_names "after encrypt" "${encrypted_names[@]}"
for name in "${plain_names[@]}"; do
    encrypted="$test_dir/$name.brisklet"
    [ -f "$encrypted" ] || continue
    size="$(stat -c %s "$work/originals/$name")"
    # The format: 16·⌊L/16⌋ + 48 bytes for L plain bytes.
    [ "$(stat -c %s "$encrypted")" -eq $((size / 16 * 16 + 48)) ] || fail "$name.brisklet has the wrong length"
    if cmp -s "$encrypted" "$work/originals/$name"; then
        fail "$name.brisklet is not encrypted"
    fi
done

status=0
cli_run decrypt "${encrypted_names[@]/#/$test_dir/}" || status=$?
((status == 0)) || fail "decrypt exited $status: $(cat "$work/cli.out")"
expect_names "after decrypt" "${plain_names[@]}"
for name in "${plain_names[@]}"; do
    if [ -f "$test_dir/$name" ] && ! cmp -s "$test_dir/$name" "$work/originals/$name"; then
        fail "$name does not decrypt to its original"
    fi
done

# A target name in the way: encrypting a refuses, and neither a nor a.brisklet changes.
rm -f "${plain_names[@]/#/$test_dir/}"
printf 'plain a\n' >"$test_dir/a"
printf 'already here\n' >"$test_dir/a.brisklet"
status=0
cli_run encrypt "$test_dir/a" || status=$?
((status == 1)) || fail "encrypting a with a.brisklet in the way exited $status, not 1: $(cat "$work/cli.out")"
grep -q "already exists" "$work/cli.out" || fail "the refusal does not say the name exists: $(cat "$work/cli.out")"
[ "$(cat "$test_dir/a")" = "plain a" ] || fail "a changed"
[ "$(cat "$test_dir/a.brisklet")" = "already here" ] || fail "a.brisklet changed"
expect_names "after the refusal" a a.brisklet
rm -f "$test_dir/a" "$test_dir/a.brisklet"

# Copies made here from elsewhere (--output-dir): without O_TMPFILE each is a hidden named file until it is
# complete, then renamed without replacing; none of them may be left, and the copies decrypt back.
status=0
cli_run encrypt --output-dir "$test_dir/out" "$work/originals" || status=$?
((status == 0)) || fail "encrypt --output-dir exited $status: $(cat "$work/cli.out")"
status=0
cli_run decrypt --output-dir "$work/back" "$test_dir/out/originals" || status=$?
((status == 0)) || fail "decrypt --output-dir exited $status: $(cat "$work/cli.out")"
for name in "${plain_names[@]}"; do
    cmp -s "$work/back/originals/$name" "$work/originals/$name" || fail "the copy of $name does not decrypt back"
done
left="$(find "$test_dir/out" -name '.brisklet-*' -printf '%P ')"
[ -z "$left" ] || fail "left in the output folder: $left"
rm -rf "$test_dir/out"

journals="$(find "$dir" -name '.brisklet-journal-*' -printf '%P ')"
[ -z "$journals" ] || fail "journals left: $journals"
rmdir "$test_dir" 2>/dev/null || fail "the test folder holds: $(ls -A "$test_dir" | tr '\n' ' ')"

where="$dir"
[ -z "$mounted" ] || where="$fs"
if ((failures > 0)); then
    echo "fat test on $where: $failures failed"
    exit 1
fi
echo "fat test on $where: passed"
