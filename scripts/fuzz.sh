#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the decryption fuzzer with clang in build-fuzz/ and runs it from the seed corpus for SECONDS
# (default 60), one job per core. A finding fails the script; its input is kept in build-fuzz/fuzz-artifacts/
# and can be replayed with: build-fuzz/tests/fuzz/decrypt_fuzzer FILE
#   scripts/fuzz.sh [SECONDS [libFuzzer option...]]      e.g. scripts/fuzz.sh 3600 -runs=5000000
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift $(($# > 0 ? 1 : 0))

"$root/scripts/deps.sh" clang-14 libclang-rt-14-dev llvm-14

dir="$root/build-fuzz"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBRISKLET_FUZZ=ON -DBRISKLET_WERROR=ON -DBUILD_TESTING=OFF -DBRISKLET_BUILD_UI=OFF
cmake --build "$dir" --target decrypt_fuzzer --parallel "$(nproc)"

# Every input is a file written, decrypted and renamed: keep them in memory where a tmpfs is at hand. The
# corpus the jobs grow stays in the build directory, so that later local runs go on from it.
scratch_parent="${TMPDIR:-/tmp}"
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    scratch_parent=/dev/shm
fi
work="$(mktemp -d -p "$scratch_parent" brisklet-fuzz.XXXXXX)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$dir/fuzz-corpus" "$dir/fuzz-artifacts"
symbolizer=/usr/lib/llvm-14/bin/llvm-symbolizer
if [ -x "$symbolizer" ]; then
    export ASAN_SYMBOLIZER_PATH="$symbolizer"
fi
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

jobs="$(nproc)"
status=0
start=$SECONDS
(cd "$work" && TMPDIR="$work" "$dir/tests/fuzz/decrypt_fuzzer" -max_total_time="$seconds" -jobs="$jobs" \
    -workers="$jobs" -print_final_stats=1 -artifact_prefix="$dir/fuzz-artifacts/" "$@" \
    "$dir/fuzz-corpus" "$root/tests/fuzz/corpus") || status=$?
elapsed=$((SECONDS - start))

# libFuzzer has copied each job's log to standard error already; add up what the jobs ran.
executions=0
for log in "$work"/fuzz-*.log; do
    count="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    executions=$((executions + ${count:-0}))
done
if [ "$status" -ne 0 ]; then
    echo "decrypt_fuzzer: a finding after $executions executions in ${elapsed} s; inputs in $dir/fuzz-artifacts/" >&2
    exit 1
fi
echo "decrypt_fuzzer: $executions executions in ${elapsed} s on $jobs jobs, no findings"
