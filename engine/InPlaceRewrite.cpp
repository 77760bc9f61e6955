// The durable write-back: extend, overwrite, sync, cut, sync, rename, sync the folder, drop the record.
#include "engine/InPlaceRewrite.h"

#include "engine/LogMessages.h"
#include "engine/StatusCode.h"
#include "platform/ErrorText.h"
#include "platform/FileManager.h"
#include "platform/FileStatus.h"
#include "platform/Log.h"

#include <algorithm>
#include <cerrno>
#include <utility>

namespace engine {

namespace {

// Large enough that the copy is bound by the disk, small enough to keep memory flat.
constexpr uint64_t kChunkSize = uint64_t{1} << 20;

} // namespace

InPlaceRewrite::InPlaceRewrite(platform::FileHandle& file, platform::FileHandle& replacement,
                               const PendingRewrite& record, const RewriteStore& store, Progress written)
    : m_file(file), m_replacement(replacement), m_record(record), m_store(store),
      m_written(std::move(written)) {}

InPlaceRewrite::Outcome InPlaceRewrite::run() {
    if (const auto failed = place(Syncs::EachStep)) {
        return *failed;
    }
    const bool renamed = rename();
    // Until the folder is synced the rename may be lost; the record stays so that recovery can redo it.
    if (renamed && !platform::syncDirectory(m_record.target.parent_path())) {
        platform::log(logmsg::kCouldNotSyncFolder);
        return {StatusDone, true};
    }
    return complete(renamed);
}

std::optional<InPlaceRewrite::Outcome> InPlaceRewrite::place(Syncs syncs) {
    switch (extend()) {
    case Step::FailedUntouched:
        return failedUntouched();
    case Step::FailedTouched:
        platform::log(logmsg::kWritingToFileFailed);
        return Outcome{StatusFailed, true};
    case Step::Ok:
        break;
    }
    if (!overwrite(syncs) || !cutToLength(syncs)) {
        return Outcome{StatusFailed, true};
    }
    return std::nullopt;
}

bool InPlaceRewrite::rename() {
    if (m_record.target == m_record.file) {
        platform::log(logmsg::kCouldNotRenameFile);
        platform::note(logmsg::kNoExtensionToRemove);
        return false;
    }
    if (!platform::moveItem(m_record.file, m_record.target)) {
        const int error = errno;
        platform::log(logmsg::kCouldNotRenameFile);
        platform::note(error == EEXIST ? logmsg::targetAlreadyExists(m_record.target.filename().string())
                                       : platform::errorText(error));
        return false;
    }
    return true;
}

InPlaceRewrite::Outcome InPlaceRewrite::complete(bool renamed) {
    // Not renamed, the content is still complete and synced under the old name: nothing left to recover.
    return {renamed ? StatusDone : StatusNotRenamed, !m_store.removeRecord(m_record)};
}

InPlaceRewrite::Step InPlaceRewrite::extend() {
    const auto status = platform::statusOfDescriptor(m_file.descriptor());
    if (!status) {
        platform::log(logmsg::kWritingToFileFailed);
        return Step::FailedUntouched;
    }
    const uint64_t current = status->length;
    if (m_record.finalLength <= current) {
        return Step::Ok;
    }
    if (m_file.allocate(m_record.finalLength)) {
        return Step::Ok;
    }
    // Where space cannot be reserved, writing the new tail first claims it just as well: those bytes lie
    // past the file's old end.
    if ((errno == EOPNOTSUPP || errno == ENOSYS) && copy(current, m_record.finalLength)) {
        return Step::Ok;
    }
    const int error = errno;
    if (!m_file.truncate(current)) {
        return Step::FailedTouched;
    }
    errno = error;
    failed(logmsg::kWritingToFileFailed);
    return Step::FailedUntouched;
}

bool InPlaceRewrite::copy(uint64_t begin, uint64_t end) {
    for (uint64_t offset = begin; offset < end;) {
        const uint64_t length = std::min(kChunkSize, end - offset);
        if (m_inKernel && !m_file.copyRangeFrom(m_replacement, offset, length)) {
            if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
                return false;
            }
            // Across file systems, or where the kernel cannot: through memory from this chunk on.
            m_inKernel = false;
        }
        if (!m_inKernel && !copyThroughMemory(offset, length)) {
            return false;
        }
        m_file.startWriteback(offset, length);
        offset += length;
        if (m_written) {
            m_written(offset);
        }
    }
    return true;
}

bool InPlaceRewrite::copyThroughMemory(uint64_t offset, uint64_t length) {
    m_chunk.resize(static_cast<size_t>(kChunkSize));
    const auto got = m_replacement.readAt(m_chunk.data(), static_cast<size_t>(length), offset);
    if (got && *got != length) {
        errno = EIO; // the replacement is shorter than its record says
        return false;
    }
    return got && m_file.writeAt(m_chunk.data(), static_cast<size_t>(length), offset);
}

bool InPlaceRewrite::overwrite(Syncs syncs) {
    if (!copy(0, m_record.finalLength)) {
        failed(logmsg::kWritingToFileFailed);
        return false;
    }
    if (syncs == Syncs::EachStep && !m_file.sync()) {
        failed(logmsg::kCouldNotSyncFile);
        return false;
    }
    return true;
}

bool InPlaceRewrite::cutToLength(Syncs syncs) {
    const auto status = platform::statusOfDescriptor(m_file.descriptor());
    if (status && status->length == m_record.finalLength) {
        return true;
    }
    if (!status || !m_file.truncate(m_record.finalLength)) {
        failed(logmsg::kCouldNotTruncateFile);
        return false;
    }
    if (syncs == Syncs::EachStep && !m_file.sync()) {
        failed(logmsg::kCouldNotSyncFile);
        return false;
    }
    return true;
}

void InPlaceRewrite::failed(std::string_view line) {
    const int error = errno;
    platform::log(line);
    platform::note(platform::errorText(error));
}

InPlaceRewrite::Outcome InPlaceRewrite::failedUntouched() {
    return {StatusFailed, !m_store.removeRecord(m_record)};
}

} // namespace engine
