// Key handling, block calls, opening and the durable replacement shared by both file operations.
#include "engine/FileOperation.h"

#include "engine/FileBuffer.h"
#include "engine/LogMessages.h"
#include "engine/Recovery.h"
#include "engine/StatusCode.h"
#include "engine/TempBuffer.h"
#include "platform/ErrorText.h"
#include "platform/FileStatus.h"
#include "platform/Log.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace engine {

FileOperation::FileOperation(std::filesystem::path url, RunKey key, OperationMaster* master, int64_t index)
    : ReportingOperation(master, index), m_url(std::move(url)), m_runKey(std::move(key)) {}

FileOperation::~FileOperation() = default;

void FileOperation::finish() noexcept {
    m_key.reset();
    m_runKey.reset();
    // Released before the report, so that a front end told the outcome finds no open file and no stray
    // replacement; the file's lock goes with it.
    m_rewrite.reset();
    m_temp.reset();
    m_file.reset();
}

bool FileOperation::encryptBlocks(twofish::cipherInstance& cipher, const uint8_t* input, uint8_t* output,
                                  uint64_t length) {
    const auto bits = static_cast<int32_t>(length * 8);
    if (twofish::blockEncrypt(&cipher, &m_key->get(), input, bits, output) != bits) {
        platform::log(logmsg::kBadNumberOfBitsProcessed);
        return false;
    }
    return true;
}

bool FileOperation::decryptBlocks(twofish::cipherInstance& cipher, const uint8_t* input, uint8_t* output,
                                  uint64_t length) {
    const auto bits = static_cast<int32_t>(length * 8);
    if (twofish::blockDecrypt(&cipher, &m_key->get(), input, bits, output) != bits) {
        platform::log(logmsg::kBadNumberOfBitsProcessed);
        return false;
    }
    return true;
}

int32_t FileOperation::process() {
    if (const auto ended = prepare()) {
        return *ended;
    }
    return replaceFile();
}

std::optional<int32_t> FileOperation::prepare() {
    // The names first: they need no open file, and a refusal then leaves even the modification time.
    m_target = targetName();
    if (const auto refused = checkTargetName()) {
        return refused;
    }
    FileError error;
    m_file = FileBuffer::initWithURL(m_url, &error);
    if (!m_file) {
        noteRefusal(error);
        return StatusFailed;
    }
    if (const auto recovered = completePendingRewrite()) {
        return recovered;
    }
    if (isCancelled()) {
        return stopped();
    }
    m_key.emplace(m_runKey->get());
    m_runKey.reset();
    const auto ended = transform();
    m_key.reset();
    return ended;
}

std::optional<int32_t> FileOperation::checkTargetName() {
    if (m_target == m_url) {
        return std::nullopt;
    }
    const std::filesystem::path folder = m_target.has_parent_path() ? m_target.parent_path() : ".";
    if (platform::statusOfPath(m_target, platform::FollowLinks::No)) {
        note(logmsg::targetAlreadyExists(m_target.filename().string()));
        return StatusFailed;
    }
    const long nameLimit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    if (nameLimit > 0 && m_target.filename().native().size() > static_cast<size_t>(nameLimit)) {
        note(logmsg::kNameTooLong);
        return StatusFailed;
    }
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK, AT_EACCESS) != 0) {
        note(errno == EROFS ? platform::errorText(EROFS) : std::string(logmsg::kFolderNotWritable));
        return StatusFailed;
    }
    return std::nullopt;
}

void FileOperation::noteRefusal(const FileError& error) {
    switch (error.refusal) {
    case OpenRefusal::SystemError:
        note(platform::errorText(error.systemError));
        break;
    case OpenRefusal::InUse:
        platform::log(logmsg::kInUseByAnotherRun);
        break;
    case OpenRefusal::SymbolicLink:
        note(logmsg::kSymbolicLinkNamed);
        break;
    case OpenRefusal::NotRegularFile:
        note(logmsg::kNotRegularFile);
        break;
    case OpenRefusal::SeveralNames:
        note(logmsg::severalNames(error.linkCount));
        break;
    case OpenRefusal::ReadOnly:
        note(logmsg::kReadOnlyFile);
        break;
    }
}

const RewriteStore* FileOperation::store() {
    if (!m_store) {
        m_store = RewriteStore::open();
    }
    return m_store ? &*m_store : nullptr;
}

std::optional<int32_t> FileOperation::completePendingRewrite() {
    if (!store()) {
        return StatusFailed;
    }
    PendingRewrite record;
    switch (m_store->find(m_file->statusAtOpening().identity, record)) {
    case RewriteStore::Lookup::None:
        return std::nullopt;
    case RewriteStore::Lookup::Unreadable:
        return StatusFailed;
    case RewriteStore::Lookup::Found:
        break;
    }
    return recoverRewrite(record, *m_store, &m_file->handle(), m_url);
}

std::optional<int32_t> FileOperation::readyToCommit(RewriteStore::Durability durability) {
    // A length that disagrees with what was appended means the buffer lost bytes; writing it would
    // replace the user's file with less than its full content.
    if (m_temp->length() != m_finalLength || m_temp->failed()) {
        platform::log(logmsg::kWritingToFileFailed);
        return StatusFailed;
    }
    if (!m_file->isUnchangedSinceOpening()) {
        platform::log(logmsg::kFileChangedWhileRead);
        return StatusFailed;
    }
    const bool onDisk = durability == RewriteStore::Durability::Now ? m_temp->sync() : m_temp->flush();
    if (!onDisk || !store()) {
        return StatusFailed;
    }
    const platform::FileStatus& read = m_file->statusAtOpening();
    m_record = PendingRewrite{
        .direction = m_direction,
        .file = std::filesystem::absolute(m_url),
        .target = std::filesystem::absolute(m_target),
        .identity = read.identity,
        .originalLength = read.length,
        .originalModifiedNanoseconds = read.modifiedNanoseconds,
        .finalLength = m_finalLength,
        .replacement = std::filesystem::absolute(m_temp->path()),
        .replacementLength = m_finalLength,
    };
    // The last moment to stop: from the record on, the file is committed to its new content.
    if (isCancelled()) {
        return stopped();
    }
    // Kept unless the rewrite says otherwise, so that even an exception leaves the record its replacement.
    m_temp->keep(true);
    if (!m_store->writeRecord(m_record, durability)) {
        m_temp->keep(false);
        return StatusFailed;
    }
    // The second half of the file's progress: its length again, in proportion to what is in place.
    const uint64_t length = read.length;
    const uint64_t finalLength = std::max<uint64_t>(m_finalLength, 1);
    const auto written = [this, length, finalLength](uint64_t bytes) {
        const auto share = static_cast<long double>(bytes) / static_cast<long double>(finalLength);
        progress(length + static_cast<uint64_t>(share * static_cast<long double>(length)), 2 * length);
    };
    m_rewrite =
        std::make_unique<InPlaceRewrite>(m_file->handle(), m_temp->handle(), m_record, *m_store, written);
    return std::nullopt;
}

int32_t FileOperation::settle(const InPlaceRewrite::Outcome& outcome) {
    m_temp->keep(outcome.pending);
    if (outcome.pending && outcome.status == StatusFailed) {
        platform::log(logmsg::replacementKeptAt(m_record.replacement.string()));
        platform::log(logmsg::kInterruptedRewritePending);
    }
    return outcome.status;
}

int32_t FileOperation::replaceFile() {
    if (const auto ended = readyToCommit(RewriteStore::Durability::Now)) {
        return *ended;
    }
    return settle(m_rewrite->run());
}

std::optional<int32_t> FileOperation::stage() {
    return readyToCommit(RewriteStore::Durability::ByTheCaller);
}

std::optional<int32_t> FileOperation::place() {
    if (const auto failed = m_rewrite->place(InPlaceRewrite::Syncs::Deferred)) {
        return settle(*failed);
    }
    return std::nullopt;
}

bool FileOperation::rename() {
    return m_rewrite->rename();
}

int32_t FileOperation::complete(bool renamed) {
    return settle(m_rewrite->complete(renamed));
}

int32_t FileOperation::abandon() {
    platform::log(logmsg::kCouldNotWriteToTempFile);
    // A record that cannot be removed still needs its replacement.
    m_temp->keep(!m_store->removeRecord(m_record));
    return StatusFailed;
}

int32_t FileOperation::interrupted() {
    platform::log(logmsg::kCouldNotSyncFile);
    return settle({StatusFailed, true});
}

} // namespace engine
