// Key handling, block calls, opening and the durable replacement shared by both file operations.
#include "engine/FileOperation.h"

#include "crypto/wipe.h"
#include "engine/FileBuffer.h"
#include "engine/InPlaceRewrite.h"
#include "engine/LogMessages.h"
#include "engine/Recovery.h"
#include "engine/RewriteStore.h"
#include "engine/StatusCode.h"
#include "engine/TempBuffer.h"
#include "platform/Log.h"

#include <algorithm>
#include <utility>

namespace engine {

namespace {

constexpr int32_t kBlockBits = 128;

} // namespace

FileOperation::FileOperation(std::filesystem::path url, const twofish::keyInstance& key,
                             OperationMaster* master, int64_t index)
    : ReportingOperation(master, index), m_url(std::move(url)), m_key(key) {}

void FileOperation::finish() noexcept {
    crypto::secureWipe(&m_key, sizeof m_key);
}

bool FileOperation::encryptBlock(twofish::cipherInstance& cipher, const uint8_t* input, uint8_t* output) {
    if (twofish::blockEncrypt(&cipher, &m_key, input, kBlockBits, output) != kBlockBits) {
        platform::log(logmsg::kBadNumberOfBitsProcessed);
        return false;
    }
    return true;
}

bool FileOperation::decryptBlock(twofish::cipherInstance& cipher, const uint8_t* input, uint8_t* output) {
    if (twofish::blockDecrypt(&cipher, &m_key, input, kBlockBits, output) != kBlockBits) {
        platform::log(logmsg::kBadNumberOfBitsProcessed);
        return false;
    }
    return true;
}

bool FileOperation::encryptBlocks(twofish::cipherInstance& cipher, uint8_t* blocks, uint64_t length) {
    const auto bits = static_cast<int32_t>(length * 8);
    if (twofish::blockEncrypt(&cipher, &m_key, blocks, bits, blocks) != bits) {
        platform::log(logmsg::kBadNumberOfBitsProcessed);
        return false;
    }
    return true;
}

bool FileOperation::decryptBlocks(twofish::cipherInstance& cipher, uint8_t* blocks, uint64_t length) {
    const auto bits = static_cast<int32_t>(length * 8);
    if (twofish::blockDecrypt(&cipher, &m_key, blocks, bits, blocks) != bits) {
        platform::log(logmsg::kBadNumberOfBitsProcessed);
        return false;
    }
    return true;
}

std::unique_ptr<FileBuffer> FileOperation::openFile() {
    FileError error;
    auto file = FileBuffer::initWithURL(m_url, &error);
    if (!file && error.inUse) {
        platform::log(logmsg::kInUseByAnotherRun);
    }
    return file;
}

std::optional<int32_t> FileOperation::completePendingRewrite(FileBuffer& file) {
    const auto store = RewriteStore::open();
    if (!store) {
        return StatusFailed;
    }
    PendingRewrite record;
    switch (store->find(file.statusAtOpening().identity, record)) {
    case RewriteStore::Lookup::None:
        return std::nullopt;
    case RewriteStore::Lookup::Unreadable:
        return StatusFailed;
    case RewriteStore::Lookup::Found:
        break;
    }
    return recoverRewrite(record, *store, &file.handle(), m_url);
}

int32_t FileOperation::replaceFile(FileBuffer& file, TempBuffer& temp, uint64_t expectedLength,
                                   RewriteDirection direction, const std::filesystem::path& target) {
    // A length that disagrees with what was appended means the buffer lost bytes; writing it would
    // replace the user's file with less than its full content.
    if (temp.length() != expectedLength || temp.failed()) {
        platform::log(logmsg::kWritingToFileFailed);
        return StatusFailed;
    }
    if (!file.isUnchangedSinceOpening()) {
        platform::log(logmsg::kFileChangedWhileRead);
        return StatusFailed;
    }
    if (!temp.sync()) {
        return StatusFailed;
    }
    const auto store = RewriteStore::open();
    if (!store) {
        return StatusFailed;
    }
    const platform::FileStatus& read = file.statusAtOpening();
    const PendingRewrite record{
        .direction = direction,
        .file = std::filesystem::absolute(m_url),
        .target = std::filesystem::absolute(target),
        .identity = read.identity,
        .originalLength = read.length,
        .originalModifiedNanoseconds = read.modifiedNanoseconds,
        .finalLength = expectedLength,
        .replacement = std::filesystem::absolute(temp.path()),
        .replacementLength = expectedLength,
    };
    // The last moment to stop: from the record on, the file is committed to its new content.
    if (isCancelled()) {
        return stopped();
    }
    // Kept unless the rewrite says otherwise, so that even an exception leaves the record its replacement.
    temp.keep(true);
    if (!store->writeRecord(record)) {
        temp.keep(false);
        return StatusFailed;
    }
    const InPlaceRewrite::Outcome outcome =
        InPlaceRewrite(file.handle(), temp.handle(), record, *store).run();
    temp.keep(outcome.pending);
    if (outcome.pending && outcome.status == StatusFailed) {
        platform::log(logmsg::replacementKeptAt(record.replacement.string()));
        platform::log(logmsg::kInterruptedRewritePending);
    }
    return outcome.status;
}

} // namespace engine
