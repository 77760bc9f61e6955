#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package and installs it with apt into a minimal Debian 12 made by debootstrap, then
# uses both programs there: brisklet-cli encrypts and decrypts a file, and brisklet starts offscreen and
# quits. Needs root and Debian's mirror; the system is made in a temporary folder and removed at the end.
#   packaging/try_in_debian12.sh [BUILD_DIR]     (default build-package)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-package}"
[ "$(id -u)" = 0 ] || { echo "debootstrap and chroot need root" >&2; exit 2; }

"$root/scripts/deps.sh"
command -v debootstrap >/dev/null || apt-get install -y debootstrap >&2
"$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DBRISKLET_BUILD_UI=ON
(cd "$build" && cpack -G DEB >&2)
package="$(ls -t "$build"/brisklet_*.deb | head -n 1)"

system="$(mktemp -d "${TMPDIR:-/tmp}/brisklet-debian12.XXXXXX")"
cleanup() {
    umount "$system/proc" 2>/dev/null || true
    rm -rf "$system"
}
trap cleanup EXIT
# The archive this machine's own apt is configured with (deb822 sources, or a one-line sources.list).
mirror="$(
    {
        grep -hs '^URIs:' /etc/apt/sources.list.d/*.sources | awk '{ print $2 }'
        grep -hs '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list | awk '{ print $2 }'
    } | grep -v -- '-security' | head -n 1
)"
[ -n "$mirror" ] || { echo "no Debian archive is configured for apt on this machine" >&2; exit 2; }
debootstrap --variant=minbase bookworm "$system" "$mirror" >&2
cp /etc/resolv.conf "$system/etc/resolv.conf"
mount -t proc proc "$system/proc"
cp "$package" "$system/tmp/"

chroot "$system" /bin/bash -euo pipefail -s "/tmp/$(basename "$package")" <<'INSIDE'
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "$1" >/dev/null
brisklet-cli --version
cd "$(mktemp -d)"
head -c 100000 /dev/urandom >sample
cp sample original
echo "a passphrase" >passphrase
brisklet-cli encrypt --passphrase-file passphrase sample
brisklet-cli decrypt --passphrase-file passphrase sample.brisklet
cmp sample original
for file in /usr/share/applications/brisklet.desktop /usr/share/mime/packages/brisklet.xml \
    /usr/share/icons/hicolor/scalable/apps/brisklet.svg /usr/share/man/man1/brisklet-cli.1.gz \
    /usr/share/bash-completion/completions/brisklet-cli /usr/share/kio/servicemenus/brisklet-encrypt.desktop \
    /usr/share/kio/servicemenus/brisklet-decrypt.desktop /usr/share/nemo/actions/brisklet-encrypt.nemo_action \
    /usr/share/nemo/actions/brisklet-decrypt.nemo_action /usr/share/nautilus-python/extensions/brisklet.py; do
    [ -f "$file" ] || { echo "missing: $file" >&2; exit 1; }
done
# The window, with no display server: offscreen, it comes up, saves a picture of itself and ends.
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$(mktemp -d)" BRISKLET_SCREENSHOT="$PWD/window.png" \
    timeout 30 brisklet
[ -s window.png ] || { echo "the window never came up" >&2; exit 1; }
echo "installed and ran: $(dpkg-query -W -f='${Package} ${Version}' brisklet)"
INSIDE
