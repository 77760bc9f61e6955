// SPDX-License-Identifier: GPL-3.0-or-later
// Key handling, block calls, opening, the replacement in the journal, and a file rewritten alone.
#include "engine/FileOperation.h"

#include "engine/BatchRewrite.h"
#include "engine/CopyTarget.h"
#include "engine/FileBuffer.h"
#include "engine/Journal.h"
#include "engine/LogMessages.h"
#include "engine/StatusCode.h"
#include "engine/TempBuffer.h"
#include "platform/ErrorText.h"
#include "platform/FileStatus.h"
#include "platform/FileSystemTraits.h"
#include "platform/Log.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace engine {

FileOperation::FileOperation(std::filesystem::path url, std::shared_ptr<const RunKeys> keys,
                             OperationMaster* master, int64_t index)
    : ReportingOperation(master, index), m_url(std::move(url)), m_runKeys(std::move(keys)) {}

FileOperation::~FileOperation() = default;

void FileOperation::finish() noexcept {
    m_key.reset();
    m_runKeys.reset();
    // Released before the report, so that a front end told the outcome finds no open file; the file's
    // lock goes with it.
    m_temp.reset();
    m_copy.reset();
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
    if (m_copyFolder) {
        return copy();
    }
    std::optional<int32_t> outcome;
    BatchRewrite({this}, this).run([&](FileOperation&, int32_t code) { outcome = code; });
    return outcome.value_or(StatusFailed);
}

std::optional<int32_t> FileOperation::prepare(const JournalSource& journal) {
    // A journal is completed or discarded through recovery, never rewritten as if it were a file.
    if (m_url.filename().string().starts_with(kJournalPrefix)) {
        note(logmsg::kJournalNamed);
        return StatusFailed;
    }
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
    if (isCancelled()) {
        return stopped();
    }
    m_journalSource = &journal;
    m_key.emplace(m_runKeys->key(0));
    auto ended = transform();
    m_key.reset();
    m_runKeys.reset();
    m_journalSource = nullptr;
    if (!ended) {
        ended = describe();
    }
    m_temp.reset();
    return ended;
}

int32_t FileOperation::copy() {
    if (m_url.filename().string().starts_with(kJournalPrefix)) {
        note(logmsg::kJournalNamed);
        return StatusFailed;
    }
    // Refused before anything is made; the link at the end refuses a name taken meanwhile.
    m_target = *m_copyFolder / targetName().filename();
    const std::string name = m_target.filename().string();
    if (platform::statusOfPath(m_target, platform::FollowLinks::No)) {
        note(logmsg::targetAlreadyExists(name));
        return StatusFailed;
    }
    FileError error;
    m_file = FileBuffer::initWithURL(m_url, &error, FileBuffer::Mode::ReadOnly);
    if (!m_file) {
        noteRefusal(error);
        return StatusFailed;
    }
    if (isCancelled()) {
        return stopped();
    }
    m_key.emplace(m_runKeys->key(0));
    const auto ended = transform();
    m_key.reset();
    m_runKeys.reset();
    if (ended) {
        return *ended;
    }
    if (!m_temp->flush() || m_temp->length() != m_finalLength) {
        platform::log(logmsg::kWritingToFileFailed);
        return StatusFailed;
    }
    if (!m_file->isUnchangedSinceOpening()) {
        platform::log(logmsg::kFileChangedWhileRead);
        return StatusFailed;
    }
    m_temp.reset();
    switch (m_copy->publish()) {
    case CopyTarget::Published::Done:
        break;
    case CopyTarget::Published::NameTaken:
        note(logmsg::targetAlreadyExists(name));
        return StatusFailed;
    case CopyTarget::Published::Failed:
        return StatusFailed;
    }
    row().renamedTo(m_target);
    return StatusDone;
}

TempBuffer* FileOperation::newTempBuffer(uint64_t expectedLength) {
    if (m_copyFolder) {
        // Made only now, once the file has proved to open: a wrong passphrase leaves nothing behind.
        m_copy = CopyTarget::create(*m_copyFolder, m_target.filename().string());
        m_temp = m_copy ? TempBuffer::init(m_copy->handle(), expectedLength) : nullptr;
        return m_temp.get();
    }
    Journal* journal = m_journalSource != nullptr ? (*m_journalSource)() : nullptr;
    m_temp = journal != nullptr ? TempBuffer::init(*journal, expectedLength) : nullptr;
    return m_temp.get();
}

std::optional<int32_t> FileOperation::describe() {
    // A length that disagrees with what was appended means the buffer lost bytes; writing it would
    // replace the user's file with less than its full content.
    if (!m_temp->flush() || m_temp->length() != m_finalLength) {
        platform::log(logmsg::kWritingToFileFailed);
        return StatusFailed;
    }
    if (!m_file->isUnchangedSinceOpening()) {
        platform::log(logmsg::kFileChangedWhileRead);
        return StatusFailed;
    }
    const platform::FileStatus& read = m_file->statusAtOpening();
    const int descriptor = m_file->handle().descriptor();
    m_entry = JournalEntry{
        .direction = m_direction,
        .name = m_url.filename().string(),
        .target = m_target.filename().string(),
        .inode = read.identity.inode,
        .generation = platform::inodeGeneration(descriptor),
        .birthNanoseconds = read.identity.birthNanoseconds != 0
                                ? std::optional(read.identity.birthNanoseconds)
                                : std::nullopt,
        .stableInodes = platform::fileSystemTraits(descriptor).stableInodes,
        .originalLength = read.length,
        .finalLength = m_finalLength,
        .beforeProbe = FileTimes::of(m_file->statusBeforeProbe()),
        .afterProbe = FileTimes::of(read),
        .payloadOffset = m_temp->offset(),
        .payloadChecksum = m_temp->checksum(),
        .originalBlocks = m_originalBlocks.finish(),
    };
    return std::nullopt;
}

std::unique_ptr<platform::FileHandle> FileOperation::takeFile() {
    auto handle = m_file ? m_file->takeHandle() : nullptr;
    m_file.reset();
    return handle;
}

void FileOperation::closeFile() {
    m_file.reset();
}

void FileOperation::written(uint64_t bytes) {
    // The second half of the file's progress: its length again, in proportion to what is in place.
    const uint64_t length = m_entry.originalLength;
    const uint64_t finalLength = std::max<uint64_t>(m_entry.finalLength, 1);
    const auto share = static_cast<long double>(bytes) / static_cast<long double>(finalLength);
    progress(length + static_cast<uint64_t>(share * static_cast<long double>(length)), 2 * length);
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

} // namespace engine
