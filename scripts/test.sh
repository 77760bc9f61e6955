#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds with warnings as errors and runs the whole test suite.
#   scripts/test.sh                 plain build in build/
#   scripts/test.sh --sanitize=address,undefined   (or =thread) in build-<sanitizers>/
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

sanitize=""
for arg in "$@"; do
    case "$arg" in
    --sanitize=*) sanitize="${arg#--sanitize=}" ;;
    *) echo "unknown option: $arg" >&2; exit 2 ;;
    esac
done

"$root/scripts/deps.sh"

dir="$root/build"
options=(-DBRISKLET_WERROR=ON)
if [ -n "$sanitize" ]; then
    dir="$root/build-${sanitize//,/-}"
    options+=(-DBRISKLET_SANITIZE="$sanitize" -DCMAKE_BUILD_TYPE=Debug)
    export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
    export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
    export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1}"
    if [[ "$sanitize" == *thread* ]]; then
        # Qt's own libraries are not instrumented: under ThreadSanitizer only the engine and the CLI run.
        options+=(-DBRISKLET_BUILD_UI=OFF)
    fi
fi

"$root/scripts/build.sh" "$dir" "${options[@]}"
exclude=()
if [[ "$sanitize" == *thread* ]]; then
    # The durability tests kill, fail and recover single runs in child processes over tens of mebibytes:
    # nothing there races that the plain and AddressSanitizer runs do not cover, and under ThreadSanitizer
    # they would take most of CI's time.
    exclude=(-E 'KillTest|CrashTest|BatchTest\.AKill|RecoveryIdentityTest|OperationFailureTest|TwoProcesses')
fi
ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)" "${exclude[@]}"
