#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# brisklet-cli in a pipeline: 1 GiB through `encrypt -` and `decrypt -`, each reading a pipe and writing a
# pipe; prints seconds, throughput and peak resident memory (GNU time's maximum RSS) of each, after checking
# that the round trip gives the input back.
#   bench/pipe_bench.sh [PATH/TO/brisklet-cli] [MiB]
# Without a program it builds build-bench (Release, no tests, no desktop application) and times that
# build's brisklet-cli. The encrypted data lies in a temporary directory under $TMPDIR (or /tmp) while
# decrypt - is timed, removed at the end.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
mib="${2:-1024}"

"$root/scripts/deps.sh" time openssl >&2
cli="${1:-}"
if [ -z "$cli" ]; then
    "$root/scripts/build.sh" "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        -DBRISKLET_BUILD_UI=OFF >&2
    cli="$root/build-bench/cli/brisklet-cli"
fi
[ -x "$cli" ] || { echo "not an executable: $cli" >&2; exit 2; }

work="$(mktemp -d "${TMPDIR:-/tmp}/brisklet-pipe.XXXXXX")"
trap 'rm -rf "$work"' EXIT
pw="$work/passphrase"
echo "benchmark passphrase" >"$pw"
bytes=$((mib << 20))

# Pseudo-random input, the same every run, without waiting for /dev/urandom; the generator is stopped by
# SIGPIPE once head has enough, which is no failure.
input() {
    { openssl enc -aes-128-ctr -nosalt -pass pass:pipe-bench -pbkdf2 </dev/zero 2>/dev/null || true; } |
        head -c "$bytes"
}

# Runs the command under GNU time with standard input and output as given, and leaves "seconds maxKiB" in
# $work/time.
timed() {
    /usr/bin/time -f '%e %M' -o "$work/time" "$@"
}

row() {
    local pass="$1" seconds kib
    read -r seconds kib <"$work/time"
    awk -v p="$pass" -v s="$seconds" -v k="$kib" -v m="$mib" \
        'BEGIN { printf "| %s | %d MiB | %.2f s | %.0f MiB/s | %.1f MiB |\n", p, m, s, m / s, k / 1024 }'
}

printf '| pass | data | time | throughput | peak RSS |\n| --- | --- | --- | --- | --- |\n'

input | timed "$cli" encrypt - --passphrase-file "$pw" | cat >"$work/encrypted"
row "encrypt - (pipe to pipe)"

# Through cat, so that decrypt - reads a pipe, whose end it only learns by reaching it.
cat "$work/encrypted" | timed "$cli" decrypt - --passphrase-file "$pw" | cmp - <(input)
row "decrypt - (pipe to pipe)"

# The same through a redirected file, which is checked by its end first.
timed "$cli" decrypt - --passphrase-file "$pw" <"$work/encrypted" | cat >/dev/null
row "decrypt - (file to pipe)"
