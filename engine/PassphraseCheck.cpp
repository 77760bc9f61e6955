// SPDX-License-Identifier: GPL-3.0-or-later
// The check-block test behind the command line's check and the window's Check.
#include "engine/PassphraseCheck.h"

#include "engine/EncryptedFormat.h"
#include "engine/PendingFiles.h"
#include "engine/RunKeys.h"
#include "engine/Secret.h"
#include "platform/FileHandle.h"
#include "platform/FileStatus.h"

#include <cerrno>
#include <cstdint>

namespace engine {

using format::kBlockSize;

std::optional<CheckResult> readCheckBlocks(const std::filesystem::path& path,
                                           uint8_t (&lastTwo)[2 * kBlockSize], PendingFiles* pending) {
    if (pending != nullptr && pending->isPending(path)) {
        return CheckResult{CheckOutcome::RewritePending};
    }
    // Only a regular file is opened for reading: a FIFO would block, and a device has no place here.
    platform::FileHandle::Refusal refusal = platform::FileHandle::Refusal::None;
    const auto file =
        platform::FileHandle::openRegular(path, platform::FileHandle::Access::ReadOnly, refusal);
    if (!file) {
        switch (refusal) {
        case platform::FileHandle::Refusal::SymbolicLink:
            return CheckResult{CheckOutcome::SymbolicLink};
        case platform::FileHandle::Refusal::NotRegularFile:
            return CheckResult{CheckOutcome::NotRegularFile};
        default:
            return CheckResult{CheckOutcome::Unreadable, errno};
        }
    }
    const auto status = platform::statusOfDescriptor(file->descriptor());
    if (!status) {
        return CheckResult{CheckOutcome::Unreadable, errno};
    }
    if (status->length % kBlockSize != 0 || status->length < format::encryptedLength(0)) {
        return CheckResult{CheckOutcome::NotEncrypted};
    }
    const auto got = file->readAt(lastTwo, sizeof lastTwo, status->length - sizeof lastTwo);
    if (!got || *got != sizeof lastTwo) {
        // A file that shrank meanwhile reads short.
        return CheckResult{CheckOutcome::Unreadable, got ? EIO : errno};
    }
    return std::nullopt;
}

CheckResult checkFile(const std::filesystem::path& path, const RunKeys& keys, PendingFiles* pending) {
    uint8_t tail[2 * kBlockSize];
    if (const auto ended = readCheckBlocks(path, tail, pending)) {
        return *ended;
    }
    for (std::size_t index = 0; index < keys.count(); ++index) {
        // A copy of its own, as an operation takes: the cipher may reorder a schedule's round keys.
        Secret<twofish::keyInstance> key(keys.key(index));
        if (format::checkBlockOpens(key.get(), tail)) {
            return {CheckOutcome::Opens, 0, keys.form(index)};
        }
    }
    return {CheckOutcome::WrongPassphrase};
}

} // namespace engine
