// SPDX-License-Identifier: GPL-3.0-or-later
// The write-back of one file from its journal, and the read-back that proves it.
#include "engine/FilePlacement.h"

#include "engine/Checksum.h"
#include "engine/LogMessages.h"
#include "platform/FileStatus.h"
#include "platform/Log.h"

#include <algorithm>
#include <cerrno>
#include <utility>

namespace engine {

namespace {

// Large enough that the copy is bound by the disk, small enough to keep memory flat.
constexpr uint64_t kChunkSize = uint64_t{1} << 20;

void logFailure(std::string_view line) {
    const int error = errno;
    platform::log(line);
    platform::note(platform::errorText(error));
}

} // namespace

FilePlacement::FilePlacement(platform::FileHandle& file, platform::FileHandle& journal,
                             const JournalEntry& entry, bool inKernel, Progress written)
    : m_file(file), m_journal(journal), m_entry(entry), m_inKernel(inKernel), m_written(std::move(written)) {}

FilePlacement::Result FilePlacement::place() {
    switch (extend()) {
    case Step::FailedUntouched:
        return Result::FailedUntouched;
    case Step::FailedTouched:
        platform::log(logmsg::kWritingToFileFailed);
        return Result::FailedTouched;
    case Step::Ok:
        break;
    }
    if (!copy(0, m_entry.finalLength)) {
        logFailure(logmsg::kWritingToFileFailed);
        return Result::FailedTouched;
    }
    const auto status = platform::statusOfDescriptor(m_file.descriptor());
    if (!status || (status->length != m_entry.finalLength && !m_file.truncate(m_entry.finalLength))) {
        logFailure(logmsg::kCouldNotTruncateFile);
        return Result::FailedTouched;
    }
    return Result::Placed;
}

FilePlacement::Step FilePlacement::extend() {
    const auto status = platform::statusOfDescriptor(m_file.descriptor());
    if (!status) {
        logFailure(logmsg::kWritingToFileFailed);
        return Step::FailedUntouched;
    }
    const uint64_t current = status->length;
    if (m_entry.finalLength <= current || m_file.allocate(m_entry.finalLength)) {
        return Step::Ok;
    }
    // Where space cannot be reserved (FAT), the overwrite claims it as it goes: a full disk then fails
    // part-way, and the journal completes the file once there is room.
    if (errno == EOPNOTSUPP || errno == ENOSYS) {
        return Step::Ok;
    }
    const int error = errno;
    if (!m_file.truncate(current)) {
        return Step::FailedTouched;
    }
    errno = error;
    logFailure(logmsg::kWritingToFileFailed);
    return Step::FailedUntouched;
}

bool FilePlacement::copy(uint64_t begin, uint64_t end) {
    for (uint64_t offset = begin; offset < end;) {
        const uint64_t length = std::min(kChunkSize, end - offset);
        if (m_inKernel && !m_file.copyRangeFrom(m_journal, m_entry.payloadOffset + offset, offset, length)) {
            if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
                return false;
            }
            // Where the kernel cannot: through memory from this chunk on.
            m_inKernel = false;
        }
        if (!m_inKernel && !copyThroughMemory(offset, length)) {
            return false;
        }
        if (length == kChunkSize) {
            m_file.startWriteback(offset, length); // so that the sync after the last chunk has less to do
        }
        offset += length;
        if (m_written) {
            m_written(offset);
        }
    }
    return true;
}

bool FilePlacement::copyThroughMemory(uint64_t offset, uint64_t length) {
    m_chunk.resize(static_cast<size_t>(std::min(kChunkSize, std::max<uint64_t>(m_entry.finalLength, 1))));
    const auto got =
        m_journal.readAt(m_chunk.data(), static_cast<size_t>(length), m_entry.payloadOffset + offset);
    if (got && *got != length) {
        errno = EIO; // the journal is shorter than its header says
        return false;
    }
    return got && m_file.writeAt(m_chunk.data(), static_cast<size_t>(length), offset);
}

bool FilePlacement::holdsReplacement(platform::FileHandle& file, const JournalEntry& entry) {
    const auto status = platform::statusOfDescriptor(file.descriptor());
    if (!status || status->length != entry.finalLength) {
        return false;
    }
    ChecksumStream sum;
    std::vector<uint8_t> chunk(
        static_cast<size_t>(std::min(kChunkSize, std::max<uint64_t>(entry.finalLength, 1))));
    for (uint64_t offset = 0; offset < entry.finalLength;) {
        const auto got = file.readAt(chunk.data(), chunk.size(), offset);
        if (!got || *got == 0) {
            return false;
        }
        sum.update({chunk.data(), *got});
        offset += *got;
    }
    return sum.digest() == entry.payloadChecksum;
}

} // namespace engine
