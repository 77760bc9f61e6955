#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the decryption fuzzer's seed corpus (tests/fuzz/corpus/) with a built brisklet-cli: files the
# program itself encrypted with the fuzzing passphrase, the same files damaged, and files described by
# their plain text with chosen count bytes. The input layout is explained in decrypt_harness.h.
#   tests/fuzz/make_corpus.sh PATH/TO/brisklet-cli
set -euo pipefail
cli="${1:?usage: tests/fuzz/make_corpus.sh PATH/TO/brisklet-cli}"
corpus="$(cd "$(dirname "$0")" && pwd)/corpus"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_STATE_HOME="$work/state"
printf 'fuzzing passphrase\n' >"$work/passphrase"

rm -rf "$corpus"
mkdir -p "$corpus"

# seed NAME MODE FILE...: the mode byte, then the files' bytes.
seed() {
    local name="$1" mode="$2"
    shift 2
    { printf "\\x$mode"; cat "$@"; } >"$corpus/$name"
}

for length in 0 1 15 16 17 1000; do
    head -c "$length" /dev/urandom >"$work/plain-$length"
    "$cli" encrypt --passphrase-file "$work/passphrase" "$work/plain-$length" >/dev/null
    seed "encrypted-$length" 00 "$work/plain-$length.brisklet"
done
seed wrong-passphrase-16 01 "$work/plain-16.brisklet"

# Damaged: lengths no encrypted file has, a lost last block, altered check and data blocks.
: >"$work/empty"
seed empty-file 00 "$work/empty"
head -c 32 "$work/plain-17.brisklet" >"$work/two-blocks"
seed two-blocks 00 "$work/two-blocks"
head -c 47 "$work/plain-17.brisklet" >"$work/ragged-47"
seed ragged-47 00 "$work/ragged-47"
{ cat "$work/plain-1000.brisklet"; printf 'x'; } >"$work/ragged-1041"
seed ragged-1041 00 "$work/ragged-1041"
head -c 1024 "$work/plain-1000.brisklet" >"$work/lost-check-block"
seed lost-check-block 00 "$work/lost-check-block"
# flip FILE OFFSET: inverts the byte at OFFSET.
flip() {
    local byte
    byte=$(od -An -tu1 -j "$2" -N1 "$1" | tr -d ' ')
    printf "\\x$(printf '%02x' $((byte ^ 0xff)))" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
cp "$work/plain-17.brisklet" "$work/altered-check"
flip "$work/altered-check" 60
seed altered-check 00 "$work/altered-check"
cp "$work/plain-1000.brisklet" "$work/altered-data"
flip "$work/altered-data" 20
seed altered-data 00 "$work/altered-data"

# Built from plain text: IV, count byte, the check block's unchecked half, plain text.
build() {
    local name="$1" count="$2" plain="$3"
    { head -c 16 /dev/urandom; printf "\\x$count"; printf 'ignored!'; printf '%s' "$plain"; } >"$work/$name"
    seed "$name" 02 "$work/$name"
}
build count-0-of-3 00 'abc'
build count-3-of-3 03 'abc'
build count-15-of-3 0f 'abc'
build count-16-of-15 10 '0123456789abcde'
build count-255-of-20 ff '0123456789abcdefghij'
echo "wrote $(ls "$corpus" | wc -l) seeds to $corpus"
