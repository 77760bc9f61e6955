#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds the project: scripts/build.sh BUILD_DIR [cmake options...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:?usage: scripts/build.sh BUILD_DIR [cmake options...]}"
shift
cmake -S "$root" -B "$dir" -G Ninja "$@"
cmake --build "$dir" --parallel "$(nproc)"
