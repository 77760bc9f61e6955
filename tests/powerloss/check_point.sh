#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks one rebuilt disk (run by powerloss_replay): after recovery every file is whole once, either its
# original or its complete transformed form under the transformed name, no journal is left, and after an
# encryption no plain-text marker of an encrypted file is left anywhere on the device. Exit 0 passes.
# The case comes from the environment that run.sh sets:
#   PL_IMAGE PL_MNT PL_CLI PL_PASSFILE PL_FS PL_DIRECTION (encrypt|decrypt) PL_EXPECT PL_SCRATCH [PL_KEEP]
# PL_EXPECT has a line "NAME PLAIN_SUM ENCRYPTED_SUM" per file (the last only for decrypt cases), each sum
# as sums_of prints it.
set -euo pipefail

source "$(dirname "$0")/sums.sh"

problems=()
dev=""
mounted=0
cleanup() {
    if ((mounted)); then
        umount "$PL_MNT" || umount -l "$PL_MNT" || true
    fi
    if [ -n "$dev" ]; then
        losetup -d "$dev" || true
    fi
}
trap cleanup EXIT

# Prints the point's problems on one line and keeps the first failing disk where PL_KEEP asks for it.
report() {
    local shown=("${problems[@]:0:3}")
    if ((${#problems[@]} > 3)); then
        shown+=("and $((${#problems[@]} - 3)) more")
    fi
    echo "FAIL ${POWERLOSS_POINT:-?}: $(IFS=';'; echo "${shown[*]}")"
    if [ -n "${PL_KEEP:-}" ] && [ ! -e "$PL_KEEP" ] && [ -e "$PL_SCRATCH/before-recovery.img" ]; then
        mv "$PL_SCRATCH/before-recovery.img" "$PL_KEEP"
        echo "  its disk, before recovery: $PL_KEEP"
    fi
    exit 1
}

# The disk as rebuilt, for PL_KEEP; recovery changes PL_IMAGE.
if [ -n "${PL_KEEP:-}" ] && [ ! -e "$PL_KEEP" ]; then
    cp "$PL_IMAGE" "$PL_SCRATCH/before-recovery.img"
fi

dev="$(losetup -f --show "$PL_IMAGE")"
if [ "$PL_FS" = ext4 ]; then
    # Exit status 1 and 2 mean errors corrected; 4 and above are left uncorrected.
    fsck_status=0
    e2fsck -p "$dev" >"$PL_SCRATCH/fsck.out" 2>&1 || fsck_status=$?
    if ((fsck_status >= 4)); then
        problems+=("e2fsck -p exited $fsck_status: $(tr '\n' ' ' <"$PL_SCRATCH/fsck.out")")
        report
    fi
fi
if ! mount "$dev" "$PL_MNT" 2>"$PL_SCRATCH/mount.out"; then
    problems+=("mount failed: $(cat "$PL_SCRATCH/mount.out")")
    report
fi
mounted=1

data="$PL_MNT/data"
recover_status=0
XDG_STATE_HOME="$PL_MNT/state" "$PL_CLI" recover "$data" >"$PL_SCRATCH/recover.out" 2>&1 || recover_status=$?
# --- Fallback for a brisklet-cli whose recover takes no PATH; delete once recover DIR is in every binary.
if ((recover_status == 2)); then
    recover_status=0
    XDG_STATE_HOME="$PL_MNT/state" "$PL_CLI" recover >"$PL_SCRATCH/recover.out" 2>&1 || recover_status=$?
fi
# --- End of the fallback.
if ((recover_status != 0)); then
    problems+=("recover exited $recover_status: $(tr '\n' ' ' <"$PL_SCRATCH/recover.out" | cut -c1-240)")
fi

shopt -s nullglob dotglob
declare -A sums=()
entries=("$data"/*)
if ((${#entries[@]} > 0)); then
    while read -r name sum; do
        sums["$name"]="$sum"
    done < <(sums_of "${entries[@]}")
fi
declare -A expected_names=()
encrypted_ids=()
rm -rf "$PL_SCRATCH/copies" "$PL_SCRATCH/state"
mkdir -p "$PL_SCRATCH/copies"
while read -r name plain_sum encrypted_sum; do
    if [ "$PL_DIRECTION" = encrypt ]; then
        from="$name" to="$name.brisklet" from_sum="$plain_sum"
    else
        from="$name.brisklet" to="$name" from_sum="$encrypted_sum"
    fi
    expected_names["$from"]=1
    expected_names["$to"]=1
    if [ -e "$data/$from" ] && [ -e "$data/$to" ]; then
        problems+=("both $from and $to exist")
    elif [ -e "$data/$from" ]; then
        [ "${sums[$from]:-}" = "$from_sum" ] || problems+=("$from is not its original")
    elif [ -e "$data/$to" ]; then
        if [ "$PL_DIRECTION" = decrypt ]; then
            [ "${sums[$to]:-}" = "$plain_sum" ] || problems+=("$to is not the decrypted original")
        else
            cp "$data/$to" "$PL_SCRATCH/copies/"
            encrypted_ids+=("${name##*-}")
        fi
    else
        problems+=("neither $from nor $to exists")
    fi
done <"$PL_EXPECT"
for entry in "${entries[@]}"; do
    [ -n "${expected_names[${entry##*/}]:-}" ] || problems+=("left behind: ${entry##*/}")
done
journals="$(find "$PL_MNT" -xdev -name '.brisklet-journal-*' -printf '%P ' 2>/dev/null || true)"
[ -z "$journals" ] || problems+=("journals left: $journals")

umount "$PL_MNT"
mounted=0
losetup -d "$dev"
dev=""

if ((${#encrypted_ids[@]} > 0)); then
    # Decrypted on the scratch file system, so the content is compared without touching the device.
    copies=("$PL_SCRATCH/copies"/*)
    decrypt_status=0
    XDG_STATE_HOME="$PL_SCRATCH/state" "$PL_CLI" --passphrase-file "$PL_PASSFILE" decrypt "${copies[@]}" \
        >"$PL_SCRATCH/decrypt.out" 2>&1 || decrypt_status=$?
    ((decrypt_status == 0)) || problems+=("decrypting the encrypted files exited $decrypt_status")
    declare -A decrypted=()
    while read -r name sum; do
        decrypted["$name"]="$sum"
    done < <(sums_of "$PL_SCRATCH/copies"/*)
    while read -r name plain_sum _; do
        if [ -e "$PL_SCRATCH/copies/$name" ] && [ "${decrypted[$name]:-}" != "$plain_sum" ]; then
            problems+=("$name.brisklet does not decrypt to the original")
        fi
    done <"$PL_EXPECT"

    # Each plain file carries the marker PLAINMARK-<its number> in every 4 KiB block.
    declare -A left=()
    while read -r marker; do
        left["${marker#PLAINMARK-}"]=1
    done < <(grep -aoE 'PLAINMARK-[0-9]{3}' "$PL_IMAGE" | sort -u || true)
    for id in "${encrypted_ids[@]}"; do
        [ -z "${left[$id]:-}" ] || problems+=("plain text of file-$id is still on the device")
    done
fi

if ((${#problems[@]} > 0)); then
    report
fi
