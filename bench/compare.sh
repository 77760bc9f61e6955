#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Side by side, medians of a few runs each, on this machine: the cipher against libgcrypt's Twofish-256-CBC
# (64 MiB in one call), one 256 MiB file through brisklet-cli against gpg --symmetric --cipher-algo TWOFISH
# -z 0, brisklet-cli's peak memory on it and the time it takes to refuse a wrong passphrase, and 2000
# files of 4 KiB in a folder against ccrypt -r. Prints a Markdown table of the ratios.
#   bench/compare.sh [BUILD_DIR]
# BUILD_DIR defaults to build-bench, configured and built here (Release, no tests) when it lacks the
# programs. brisklet-cli runs durable, as it ships; gpg and ccrypt sync nothing. The inputs live under
# $TMPDIR (or /tmp) and need about 1.2 GB there; they are removed at the end.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-bench}"
repeats=3
big_mib=256
small_count=2000
small_kib=4

# The build's needs, and the peers and the tools that time them, from Debian's packages.
"$root/scripts/deps.sh" gnupg ccrypt python3 time >&2
if [ ! -x "$build/cli/brisklet-cli" ] || [ ! -x "$build/bench/crypto_bench" ]; then
    "$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DBRISKLET_BUILD_UI=OFF >&2
fi
[ -x "$build/bench/crypto_bench" ] || { echo "crypto_bench was not built in $build" >&2; exit 2; }
cli="$build/cli/brisklet-cli"

work="$(mktemp -d "${TMPDIR:-/tmp}/brisklet-compare.XXXXXX")"
cleanup() {
    gpgconf --homedir "$work/gnupg" --kill gpg-agent >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
export XDG_STATE_HOME="$work/state"
pw="$work/passphrase"
echo "benchmark passphrase" >"$pw"
echo "another passphrase" >"$work/wrong"
mkdir -m 700 "$work/gnupg"
gpg=(gpg --homedir "$work/gnupg" --batch --yes --quiet --pinentry-mode loopback --passphrase-file "$pw")

# Wall-clock seconds of a command, its standard output discarded.
seconds_of() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}
median() { printf '%s\n' "$@" | sort -g | sed -n "$((($# + 1) / 2))p"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "cipher: crypto_bench, $repeats repetitions" >&2
cipher_json="$work/cipher.json"
"$build/bench/crypto_bench" --benchmark_filter='WholeBuffer' --benchmark_repetitions="$repeats" \
    --benchmark_report_aggregates_only=true --benchmark_format=json >"$cipher_json" 2>/dev/null
# MiB/s of the median of one benchmark.
rate_of() {
    python3 - "$cipher_json" "$1" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
for b in data["benchmarks"]:
    if b["name"] == sys.argv[2] + "_median":
        print("%.1f" % (b["bytes_per_second"] / 2**20))
        break
else:
    print("nan")
PY
}
enc=$(rate_of BM_TwofishCbcEncryptWholeBuffer)
gcrypt_enc=$(rate_of BM_GcryptTwofishCbcEncryptWholeBuffer)
declare -A dec
for path in Scalar4 Avx2 Avx512 Avx512Vbmi; do
    dec[$path]=$(rate_of "BM_TwofishCbcDecryptWholeBuffer/$path")
done
gcrypt_dec=$(rate_of BM_GcryptTwofishCbcDecryptWholeBuffer)

echo "preparing inputs in $work" >&2
head -c $((big_mib << 20)) /dev/urandom >"$work/big"
mkdir "$work/small"
for i in $(seq 1 "$small_count"); do
    head -c $((small_kib << 10)) /dev/urandom >"$work/small/f$i"
done
"${gpg[@]}" --symmetric --cipher-algo TWOFISH -z 0 -o "$work/warm.gpg" "$pw" # the agent, outside the timings

echo "one $big_mib MiB file, $repeats runs each" >&2
b_enc=() b_dec=() g_enc=() g_dec=() wrong=()
for _ in $(seq 1 "$repeats"); do
    cp "$work/big" "$work/b"
    sync
    b_enc+=("$(seconds_of "$cli" encrypt --passphrase-file "$pw" "$work/b")")
    sync
    wrong+=("$(seconds_of "$cli" decrypt --passphrase-file "$work/wrong" "$work/b.brisklet" || true)")
    b_dec+=("$(seconds_of "$cli" decrypt --passphrase-file "$pw" "$work/b.brisklet")")
    cmp -s "$work/big" "$work/b" || { echo "brisklet-cli changed the file" >&2; exit 1; }
    rm -f "$work/b"
    sync
    g_enc+=("$(seconds_of "${gpg[@]}" --symmetric --cipher-algo TWOFISH -z 0 -o "$work/g.gpg" "$work/big")")
    sync
    g_dec+=("$(seconds_of "${gpg[@]}" -o "$work/g" --decrypt "$work/g.gpg")")
    cmp -s "$work/big" "$work/g" || { echo "gpg changed the file" >&2; exit 1; }
    rm -f "$work/g" "$work/g.gpg"
done
cp "$work/big" "$work/b"
rss_kib=$( { /usr/bin/time -f '%M' "$cli" encrypt --passphrase-file "$pw" "$work/b" >/dev/null; } 2>&1 | tail -n 1)
rm -f "$work/b.brisklet"

echo "$small_count files of $small_kib KiB, $repeats runs each" >&2
bs_enc=() bs_dec=() c_enc=() c_dec=()
for _ in $(seq 1 "$repeats"); do
    rm -rf "$work/bs" "$work/cs"
    cp -r "$work/small" "$work/bs"
    cp -r "$work/small" "$work/cs"
    sync
    bs_enc+=("$(seconds_of "$cli" encrypt --passphrase-file "$pw" "$work/bs")")
    sync
    bs_dec+=("$(seconds_of "$cli" decrypt --passphrase-file "$pw" "$work/bs")")
    sync
    c_enc+=("$(seconds_of ccrypt -e -r -K "benchmark passphrase" "$work/cs")")
    sync
    c_dec+=("$(seconds_of ccrypt -d -r -K "benchmark passphrase" "$work/cs")")
    diff -r "$work/small" "$work/bs" >/dev/null || { echo "brisklet-cli changed a small file" >&2; exit 1; }
done

cpu="$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
echo
echo "$cpu, $(nproc) cores; medians of $repeats"
echo
echo "| measure | brisklet | peer | ratio |"
echo "| --- | --- | --- | --- |"
echo "| Twofish-256-CBC encrypt, 64 MiB in one call | $enc MiB/s | libgcrypt $gcrypt_enc MiB/s | $(ratio "$enc" "$gcrypt_enc")× |"
for path in Scalar4 Avx2 Avx512 Avx512Vbmi; do
    [ "${dec[$path]}" = nan ] && continue
    echo "| Twofish-256-CBC decrypt ($path path), 64 MiB in one call | ${dec[$path]} MiB/s | libgcrypt $gcrypt_dec MiB/s | $(ratio "${dec[$path]}" "$gcrypt_dec")× |"
done
b=$(median "${b_enc[@]}") g=$(median "${g_enc[@]}")
echo "| one $big_mib MiB file, encrypt | $b s | gpg $g s | $(ratio "$g" "$b")× faster |"
b=$(median "${b_dec[@]}") g=$(median "${g_dec[@]}")
echo "| one $big_mib MiB file, decrypt | $b s | gpg $g s | $(ratio "$g" "$b")× faster |"
echo "| peak RSS, $big_mib MiB file | $((rss_kib / 1024)) MiB | | |"
echo "| wrong passphrase refused, $big_mib MiB file (whole process) | $(median "${wrong[@]}") s | | |"
b=$(median "${bs_enc[@]}") c=$(median "${c_enc[@]}")
echo "| $small_count × $small_kib KiB files, encrypt | $b s | ccrypt -r $c s | $(ratio "$b" "$c")× its time |"
b=$(median "${bs_dec[@]}") c=$(median "${c_dec[@]}")
echo "| $small_count × $small_kib KiB files, decrypt | $b s | ccrypt -r $c s | $(ratio "$b" "$c")× its time |"
