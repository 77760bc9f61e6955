#!/usr/bin/env bash
# brisklet-cli on a FAT file system (mounted with fusefat where the kernel has no vfat): files encrypt to
# NAME.brisklet and decrypt back byte for byte, no journal is left, and an existing target name is refused
# with both files untouched.
#   fat_test.sh BRISKLET_CLI              on a fresh 64 MiB FAT image (exit 77, skipped, without FUSE or fusefat)
#   fat_test.sh BRISKLET_CLI --dir DIR    the same checks in DIR (any file system), to check this script
set -euo pipefail
cli="$(realpath "${1:?usage: fat_test.sh BRISKLET_CLI [--dir DIR]}")"
shift
dir=""
if (($# == 2)) && [ "$1" = --dir ]; then
    dir="$2"
elif (($# > 0)); then
    echo "usage: fat_test.sh BRISKLET_CLI [--dir DIR]" >&2
    exit 2
fi

skip() {
    echo "skipped: $*"
    exit 77
}

work="$(mktemp -d)"
mounted=""
cleanup() {
    if [ -n "$mounted" ]; then
        fusermount -u "$mounted" 2>/dev/null || umount "$mounted" || umount -l "$mounted" || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

if [ -z "$dir" ]; then
    [ -c /dev/fuse ] || skip "no FUSE (/dev/fuse)"
    command -v fusefat >/dev/null || skip "no fusefat (package fusefat)"
    command -v mkfs.vfat >/dev/null || skip "no mkfs.vfat (package dosfstools)"
    truncate -s 64M "$work/fat.img"
    mkfs.vfat "$work/fat.img" >/dev/null
    mkdir "$work/mnt"
    fusefat -o rw+ "$work/fat.img" "$work/mnt" >"$work/fusefat.out" 2>&1 || skip "fusefat cannot mount here: $(cat "$work/fusefat.out")"
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

journals="$(find "$dir" -name '.brisklet-journal-*' -printf '%P ')"
[ -z "$journals" ] || fail "journals left: $journals"
rmdir "$test_dir" 2>/dev/null || fail "the test folder holds: $(ls -A "$test_dir" | tr '\n' ' ')"

where="$dir"
[ -z "$mounted" ] || where="FAT (fusefat)"
if ((failures > 0)); then
    echo "fat test on $where: $failures failed"
    exit 1
fi
echo "fat test on $where: passed"
