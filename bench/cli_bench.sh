#!/usr/bin/env bash
# Whole-file benchmark: brisklet-cli against gpg's symmetric Twofish on the same inputs, one 256 MiB file
# and 2000 files of 4 KiB, encrypting and decrypting; prints seconds, MB/s (10^6 bytes) and their ratio.
#   bench/cli_bench.sh [PATH/TO/brisklet-cli]
# Without an argument it builds build-release (Release, no tests) and times that build's brisklet-cli.
# The inputs live in a temporary directory under $TMPDIR (or /tmp), removed at the end; the disk needs
# about 1.3 GB there. brisklet-cli runs all files in one process, as a user would; gpg takes one process
# per file (its --symmetric has no --multifile) and stretches the passphrase for every file (S2K), while
# brisklet's key is a single hash: on small files that difference dominates.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
big_mib=256
small_count=2000
small_kib=4

cli="${1:-}"
if [ -z "$cli" ]; then
    "$root/scripts/build.sh" "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
    cli="$root/build-release/cli/brisklet-cli"
fi
if [ ! -x "$cli" ]; then
    echo "not an executable: $cli" >&2
    exit 2
fi

if ! command -v gpg >/dev/null; then
    if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null; then
        apt-get install -y gnupg >&2
    else
        echo "gpg is missing: install gnupg" >&2
        exit 2
    fi
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/brisklet-bench.XXXXXX")"
cleanup() {
    gpgconf --homedir "$work/gnupg" --kill gpg-agent >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

pw="$work/passphrase"
echo "benchmark passphrase" >"$pw"
mkdir -m 700 "$work/gnupg"
gpg_options=(--homedir "$work/gnupg" --batch --yes --quiet --pinentry-mode loopback --passphrase-file "$pw")

# Runs a command with its standard output discarded and leaves its wall-clock time in $seconds.
seconds=0
timed() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
}

# Same content before and after a round trip, for a file or a directory.
digest_of() {
    if [ -d "$1" ]; then
        (cd "$1" && find . -type f ! -name '.*' | sort | xargs sha256sum) | sha256sum
    else
        sha256sum <"$1"
    fi
}
expect_same() {
    if [ "$(digest_of "$1")" != "$(digest_of "$2")" ]; then
        echo "round trip changed $2" >&2
        exit 1
    fi
}

gpg_encrypt_each() {
    local f
    for f in "$1"/*; do
        gpg "${gpg_options[@]}" --symmetric --cipher-algo TWOFISH -z 0 -o "$2/$(basename "$f").gpg" "$f"
    done
}
gpg_decrypt_each() {
    local f name
    for f in "$1"/*.gpg; do
        name="$(basename "$f")"
        gpg "${gpg_options[@]}" -o "$2/${name%.gpg}" --decrypt "$f"
    done
}

echo "preparing inputs in $work" >&2
head -c $((big_mib * 1024 * 1024)) /dev/urandom >"$work/big.bin"
mkdir "$work/small"
for i in $(seq 1 "$small_count"); do
    head -c $((small_kib * 1024)) /dev/urandom >"$work/small/file$i"
done
big_bytes=$((big_mib * 1024 * 1024))
small_bytes=$((small_count * small_kib * 1024))

declare -A result
echo "brisklet-cli: $cli" >&2
mkdir "$work/b"
cp "$work/big.bin" "$work/b/big.bin"
cp -r "$work/small" "$work/b/small"
timed "$cli" encrypt --passphrase-file "$pw" "$work/b/big.bin"
result[b_big_enc]=$seconds
timed "$cli" decrypt --passphrase-file "$pw" "$work/b/big.bin.brisklet"
result[b_big_dec]=$seconds
expect_same "$work/big.bin" "$work/b/big.bin"
timed "$cli" encrypt --passphrase-file "$pw" "$work/b/small"
result[b_small_enc]=$seconds
timed "$cli" decrypt --passphrase-file "$pw" "$work/b/small"
result[b_small_dec]=$seconds
expect_same "$work/small" "$work/b/small"
rm -rf "$work/b"

echo "gpg: $(gpg --version | head -n 1)" >&2
mkdir "$work/g" "$work/g/small" "$work/g/small-out"
# Starts the agent outside the timings.
gpg "${gpg_options[@]}" --symmetric --cipher-algo TWOFISH -z 0 -o "$work/g/warm.gpg" "$pw"
timed gpg "${gpg_options[@]}" --symmetric --cipher-algo TWOFISH -z 0 -o "$work/g/big.bin.gpg" "$work/big.bin"
result[g_big_enc]=$seconds
timed gpg "${gpg_options[@]}" -o "$work/g/big.bin" --decrypt "$work/g/big.bin.gpg"
result[g_big_dec]=$seconds
expect_same "$work/big.bin" "$work/g/big.bin"
rm -f "$work/g/big.bin" "$work/g/big.bin.gpg"
echo "gpg on $small_count files: one process and one S2K per file, this takes minutes" >&2
timed gpg_encrypt_each "$work/small" "$work/g/small"
result[g_small_enc]=$seconds
timed gpg_decrypt_each "$work/g/small" "$work/g/small-out"
result[g_small_dec]=$seconds
expect_same "$work/small" "$work/g/small-out"

# One row: label, bytes, brisklet seconds, gpg seconds.
row() {
    awk -v label="$1" -v bytes="$2" -v b="$3" -v g="$4" 'BEGIN {
        printf "  %-9s %9.3f s %9.2f MB/s   %9.3f s %9.2f MB/s   %7.2f\n", label, b, bytes / b / 1e6, g,
            bytes / g / 1e6, g / b
    }'
}
echo
printf "%-11s %-25s   %-25s   %7s\n" "" "brisklet-cli" "gpg --symmetric TWOFISH" "ratio"
echo "one $big_mib MiB file"
row encrypt "$big_bytes" "${result[b_big_enc]}" "${result[g_big_enc]}"
row decrypt "$big_bytes" "${result[b_big_dec]}" "${result[g_big_dec]}"
echo "$small_count files of $small_kib KiB"
row encrypt "$small_bytes" "${result[b_small_enc]}" "${result[g_small_enc]}"
row decrypt "$small_bytes" "${result[b_small_dec]}" "${result[g_small_dec]}"
echo "(ratio: gpg seconds / brisklet-cli seconds; above 1 means brisklet-cli is faster)"
