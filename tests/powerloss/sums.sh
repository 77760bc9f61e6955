# SPDX-License-Identifier: GPL-3.0-or-later
# The content sums the power-loss test records and compares (sourced by run.sh and check_point.sh).

# Prints "NAME CRC-SIZE" for each file: a CRC finds any accidental change, and is quick on 16 MiB.
sums_of() {
    local crc size name
    cksum -a crc -- "$@" 2>/dev/null | while read -r crc size name; do
        echo "${name##*/} $crc-$size"
    done
}
