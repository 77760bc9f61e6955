// SPDX-License-Identifier: GPL-3.0-or-later
// FileBuffer: the read window, the open-time probe and the direct writes.
#include "engine/FileBuffer.h"

#include "engine/LogMessages.h"
#include "platform/Log.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <limits>
#include <sys/stat.h>

namespace engine {

namespace {

// dataAtOffset reads longer than this straight from the file.
constexpr uint64_t kScratchLength = 512;

template <typename T>
T littleEndianAt(FileBuffer& buffer, uint64_t offset) {
    std::array<uint8_t, sizeof(T)> bytes{};
    buffer.getBytes(bytes.data(), bytes.size(), offset);
    T value = 0;
    for (size_t i = bytes.size(); i-- > 0;) {
        value = static_cast<T>((value << 8) | bytes[i]);
    }
    return value;
}

} // namespace

FileBuffer::FileBuffer(std::unique_ptr<platform::FileHandle> fileHandle)
    : m_fileHandle(std::move(fileHandle)) {}

FileBuffer::~FileBuffer() {
    close();
}

std::unique_ptr<FileBuffer> FileBuffer::initWithURL(const std::filesystem::path& url, FileError* error,
                                                    Mode mode) {
    FileError refused{kFileReadUnknownError, url};
    std::unique_ptr<FileBuffer> buffer = open(url, refused, mode);
    if (!buffer && error != nullptr) {
        *error = std::move(refused);
    }
    return buffer;
}

std::unique_ptr<FileBuffer> FileBuffer::open(const std::filesystem::path& url, FileError& error, Mode mode) {
    using platform::FileHandle;
    const bool update = mode == Mode::Update;
    FileHandle::Refusal refusal = FileHandle::Refusal::None;
    auto handle = FileHandle::openRegular(
        url, update ? FileHandle::Access::ReadWrite : FileHandle::Access::ReadOnly, refusal);
    if (!handle) {
        error.systemError = errno;
        error.refusal = refusal == FileHandle::Refusal::SymbolicLink     ? OpenRefusal::SymbolicLink
                        : refusal == FileHandle::Refusal::NotRegularFile ? OpenRefusal::NotRegularFile
                                                                         : OpenRefusal::SystemError;
        return nullptr;
    }
    switch (handle->tryLock(update ? FileHandle::LockKind::Exclusive : FileHandle::LockKind::Shared)) {
    case FileHandle::LockResult::Locked:
        break;
    case FileHandle::LockResult::Busy:
        error.refusal = OpenRefusal::InUse;
        return nullptr;
    case FileHandle::LockResult::Failed:
        error.systemError = errno;
        return nullptr;
    }
    // Refused before the probe, which would change the modification time.
    const auto status = platform::statusOfDescriptor(handle->descriptor());
    if (!status) {
        error.systemError = errno;
        return nullptr;
    }
    if (update && status->linkCount > 1) {
        error.refusal = OpenRefusal::SeveralNames;
        error.linkCount = status->linkCount;
        return nullptr;
    }
    if (update && (status->mode & S_IWUSR) == 0) {
        error.refusal = OpenRefusal::ReadOnly;
        return nullptr;
    }
    std::unique_ptr<FileBuffer> buffer(new FileBuffer(std::move(handle)));
    if (!buffer->probe(mode)) {
        error.systemError = errno;
        return nullptr;
    }
    return buffer;
}

bool FileBuffer::probe(Mode mode) {
    const auto opened = platform::statusOfDescriptor(m_fileHandle->descriptor());
    if (!opened) {
        return false;
    }
    m_statusBeforeProbe = *opened;
    m_fileLength = opened->length;
    if (mode == Mode::Update && m_fileLength != 0) {
        uint8_t last = 0;
        if (!getBytes(&last, 1, m_fileLength - 1) || !writeBytes(&last, 1, m_fileLength - 1)) {
            return false;
        }
    }
    // Taken after the probe's own write, which changed the modification time.
    const auto status = platform::statusOfDescriptor(m_fileHandle->descriptor());
    if (!status) {
        return false;
    }
    m_statusAtOpening = *status;
    return true;
}

bool FileBuffer::isUnchangedSinceOpening() const {
    const auto now = m_fileHandle ? platform::statusOfDescriptor(m_fileHandle->descriptor()) : std::nullopt;
    return now && now->length == m_statusAtOpening.length &&
           now->modifiedNanoseconds == m_statusAtOpening.modifiedNanoseconds &&
           now->changedNanoseconds == m_statusAtOpening.changedNanoseconds;
}

std::unique_ptr<platform::FileHandle> FileBuffer::takeHandle() {
    return std::move(m_fileHandle);
}

bool FileBuffer::getBytes(void* dest, uint64_t length, uint64_t offset) {
    auto* out = static_cast<uint8_t*>(dest);
    // Keeps end from wrapping; no file reaches that far, so the result is the same.
    length = std::min(length, std::numeric_limits<uint64_t>::max() - offset);
    uint64_t end = offset + length;
    if (length >= kDirectReadLength) {
        return readDirect(out, length, offset);
    }
    uint64_t windowEnd = m_currentOffset + m_currentData.size();
    bool ok = true;
    bool progressed = true;
    while (ok && length != 0 && offset < m_fileLength) {
        if (m_currentOffset <= offset && offset < windowEnd) {
            const uint64_t count = end <= windowEnd ? length : windowEnd - offset;
            std::memcpy(out, m_currentData.data() + (offset - m_currentOffset), count);
            out += count;
            offset += count;
            length -= count;
            progressed = true;
        } else if (offset < m_currentOffset && m_currentOffset < end && end <= windowEnd) {
            // The request's tail is at the start of the window: take it before refilling for the head.
            const uint64_t count = end - m_currentOffset;
            std::memcpy(out + (m_currentOffset - offset), m_currentData.data(), count);
            length -= count;
            end = m_currentOffset;
            progressed = true;
        } else {
            refill(offset & ~(kWindowAlignment - 1));
            if (!progressed) {
                ok = false;
            }
            windowEnd = m_currentOffset + m_currentData.size();
            progressed = false;
        }
    }
    return ok;
}

bool FileBuffer::refill(uint64_t base) {
    // No bigger than the file, so that a small file costs little memory; the window keeps its allocation
    // from refill to refill.
    const uint64_t wanted = base < m_fileLength ? std::min(kWindowLength, m_fileLength - base) : 0;
    m_currentData.resize(static_cast<size_t>(wanted));
    m_currentOffset = base;
    const auto got = m_fileHandle
                         ? m_fileHandle->readAt(m_currentData.data(), static_cast<size_t>(wanted), base)
                         : std::nullopt;
    m_currentData.resize(got.value_or(0));
    if (got) {
        m_position = base + *got;
    }
    return got.has_value();
}

bool FileBuffer::readDirect(uint8_t* dest, uint64_t length, uint64_t offset) {
    if (offset >= m_fileLength || length == 0) {
        return true;
    }
    const uint64_t wanted = std::min(length, m_fileLength - offset);
    const auto got =
        m_fileHandle ? m_fileHandle->readAt(dest, static_cast<size_t>(wanted), offset) : std::nullopt;
    if (!got) {
        return false;
    }
    m_position = offset + *got;
    // A file that shrank since it was opened cannot give what its length promised.
    return *got == wanted;
}

std::optional<std::vector<uint8_t>> FileBuffer::readDataAtOffset(uint64_t offset, uint64_t length) {
    if (!m_fileHandle) {
        return std::nullopt;
    }
    auto data = m_fileHandle->readDataAt(offset, length);
    if (data) {
        m_position = offset + data->size();
    }
    return data;
}

std::vector<uint8_t> FileBuffer::dataAtOffset(uint64_t offset, uint64_t length) {
    if (length > kScratchLength) {
        return readDataAtOffset(offset, length).value_or(std::vector<uint8_t>());
    }
    std::vector<uint8_t> scratch(length, 0);
    getBytes(scratch.data(), length, offset);
    return scratch;
}

uint8_t FileBuffer::byteAtOffset(uint64_t offset) {
    return littleEndianAt<uint8_t>(*this, offset);
}

uint16_t FileBuffer::littleUnsignedShortAtOffset(uint64_t offset) {
    return littleEndianAt<uint16_t>(*this, offset);
}

uint32_t FileBuffer::littleUnsignedIntAtOffset(uint64_t offset) {
    return littleEndianAt<uint32_t>(*this, offset);
}

bool FileBuffer::writeData(const std::vector<uint8_t>& data, uint64_t offset) {
    return writeBytes(data.data(), data.size(), offset);
}

bool FileBuffer::writeBytes(const void* src, uint64_t length, uint64_t offset) {
    if (!m_fileHandle || (length != 0 && !m_fileHandle->writeAt(src, static_cast<size_t>(length), offset))) {
        return false;
    }
    m_position = offset + length;
    return true;
}

bool FileBuffer::truncateFileAtCurrentOffset() {
    if (!m_fileHandle || !m_fileHandle->truncate(m_position)) {
        platform::log(logmsg::kCouldNotTruncateFile);
        return false;
    }
    return true;
}

void FileBuffer::close() {
    if (m_fileHandle) {
        m_fileHandle->close();
        m_fileHandle.reset();
    }
}

} // namespace engine
