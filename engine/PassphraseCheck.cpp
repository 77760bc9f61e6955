// The check-block test behind the command line's check and the window's Check.
#include "engine/PassphraseCheck.h"

#include "engine/EncryptedFormat.h"
#include "engine/PendingFiles.h"
#include "platform/FileHandle.h"
#include "platform/FileStatus.h"

#include <cerrno>
#include <cstdint>

namespace engine {

using format::kBlockSize;

CheckResult checkFile(const std::filesystem::path& path, twofish::keyInstance& key, PendingFiles* pending) {
    if (pending != nullptr && pending->isPending(path)) {
        return {CheckOutcome::RewritePending};
    }
    // Only a regular file is opened for reading: a FIFO would block, and a device has no place here.
    platform::FileHandle::Refusal refusal = platform::FileHandle::Refusal::None;
    const auto file =
        platform::FileHandle::openRegular(path, platform::FileHandle::Access::ReadOnly, refusal);
    if (!file) {
        switch (refusal) {
        case platform::FileHandle::Refusal::SymbolicLink:
            return {CheckOutcome::SymbolicLink};
        case platform::FileHandle::Refusal::NotRegularFile:
            return {CheckOutcome::NotRegularFile};
        default:
            return {CheckOutcome::Unreadable, errno};
        }
    }
    const auto status = platform::statusOfDescriptor(file->descriptor());
    if (!status) {
        return {CheckOutcome::Unreadable, errno};
    }
    if (status->length % kBlockSize != 0 || status->length < format::encryptedLength(0)) {
        return {CheckOutcome::NotEncrypted};
    }
    uint8_t tail[2 * kBlockSize];
    const auto got = file->readAt(tail, sizeof tail, status->length - sizeof tail);
    if (!got || *got != sizeof tail) {
        // A file that shrank meanwhile reads short.
        return {CheckOutcome::Unreadable, got ? EIO : errno};
    }
    return {format::checkBlockOpens(key, tail) ? CheckOutcome::Opens : CheckOutcome::WrongPassphrase};
}

} // namespace engine
