// The check-block test behind the command line's check and the window's Check.
#include "engine/PassphraseCheck.h"

#include "crypto/wipe.h"
#include "engine/EncryptedFormat.h"
#include "engine/RewriteStore.h"
#include "platform/FileStatus.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace engine {

namespace {

using format::kBlockSize;

// Reads exactly `length` bytes at `offset`; errno describes a failure, EIO a file that shrank meanwhile.
bool readFully(int fd, uint8_t* dest, std::size_t length, off_t offset) {
    while (length > 0) {
        const ssize_t got = ::pread(fd, dest, length, offset);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            if (got == 0) {
                errno = EIO;
            }
            return false;
        }
        dest += got;
        length -= static_cast<std::size_t>(got);
        offset += got;
    }
    return true;
}

CheckOutcome checkLastBlocks(const uint8_t (&tail)[2 * kBlockSize], twofish::keyInstance& key) {
    // Without IV text cipherInit cannot fail.
    twofish::cipherInstance cipher{};
    twofish::cipherInit(&cipher, twofish::MODE_ECB, nullptr);
    uint8_t plain[kBlockSize];
    if (twofish::blockDecrypt(&cipher, &key, tail + kBlockSize, twofish::kBlockBits, plain) !=
        twofish::kBlockBits) {
        return CheckOutcome::WrongPassphrase;
    }
    // Later blocks chain with the previous ciphertext byte for byte; only the first uses the reordered IV.
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        plain[i] ^= tail[i];
    }
    const bool valid = format::isCheckBlockValid(plain);
    crypto::secureWipe(plain, sizeof plain);
    return valid ? CheckOutcome::Opens : CheckOutcome::WrongPassphrase;
}

} // namespace

CheckResult checkFile(const std::filesystem::path& path, twofish::keyInstance& key,
                      const RewriteStore* store) {
    if (store != nullptr) {
        const auto status = platform::statusOfPath(path, platform::FollowLinks::Yes);
        PendingRewrite pending;
        if (status && store->find(status->identity, pending) != RewriteStore::Lookup::None) {
            return {CheckOutcome::RewritePending};
        }
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return {CheckOutcome::Unreadable, errno};
    }
    struct stat info {};
    CheckResult result{CheckOutcome::Unreadable};
    uint8_t tail[2 * kBlockSize];
    if (::fstat(fd, &info) != 0) {
        result.error = errno;
    } else if (!S_ISREG(info.st_mode)) {
        result.error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    } else if (const auto length = static_cast<uint64_t>(info.st_size);
               length % kBlockSize != 0 || length < format::encryptedLength(0)) {
        result.outcome = CheckOutcome::NotEncrypted;
    } else if (!readFully(fd, tail, sizeof tail, info.st_size - static_cast<off_t>(sizeof tail))) {
        result.error = errno;
    } else {
        result.outcome = checkLastBlocks(tail, key);
    }
    ::close(fd);
    return result;
}

} // namespace engine
