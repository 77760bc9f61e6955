#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds in Release and starts the desktop application with any files given.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DBRISKLET_BUILD_UI=ON
exec "$root/build-release/ui/brisklet" "$@"
