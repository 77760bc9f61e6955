#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts the program.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
echo "Built the crypto core in build-release/; the front ends are not part of this build yet."
