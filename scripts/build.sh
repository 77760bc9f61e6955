#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds the project: scripts/build.sh BUILD_DIR [cmake options...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:?usage: scripts/build.sh BUILD_DIR [cmake options...]}"
shift
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$dir" -G Ninja "${launcher[@]}" "$@"
cmake --build "$dir" --parallel "$(nproc)"
