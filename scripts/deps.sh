#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building and testing need, and any named as arguments, and only those
# that are missing.
#   scripts/deps.sh [PACKAGE...]
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    googletest libgtest-dev libgmock-dev libbenchmark-dev libgcrypt20-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev fonts-dejavu-core libzxcvbn-dev
    qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    xvfb xauth xdotool x11-utils python3
    dbus-daemon dbus-bin at-spi2-core python3-pyatspi
    fuse3 libfuse3-dev exfat-fuse exfatprogs dosfstools e2fsprogs libxxhash-dev libutf8proc-dev
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} > 0)); then
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    echo "Installing: ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
