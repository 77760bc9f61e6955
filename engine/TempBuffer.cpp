// SPDX-License-Identifier: GPL-3.0-or-later
// TempBuffer: the in-memory tail, the writes into the journal, reads back.
#include "engine/TempBuffer.h"

#include "engine/Journal.h"
#include "engine/LogMessages.h"
#include "platform/ErrorText.h"
#include "platform/Log.h"

#include <algorithm>
#include <cerrno>

namespace engine {

TempBuffer::TempBuffer(Journal* journal, platform::FileHandle& file, uint64_t offset, uint64_t expectedLength)
    : m_journal(journal), m_fileHandle(file), m_offset(offset),
      m_memoryLimit(static_cast<size_t>(std::clamp<uint64_t>(expectedLength, 1, kMemoryLimit))) {
    m_currentData.reserve(m_memoryLimit);
}

TempBuffer::~TempBuffer() = default;

std::unique_ptr<TempBuffer> TempBuffer::init(Journal& journal, uint64_t expectedLength) {
    return std::unique_ptr<TempBuffer>(
        new TempBuffer(&journal, journal.handle(), journal.nextPayloadOffset(), expectedLength));
}

std::unique_ptr<TempBuffer> TempBuffer::init(platform::FileHandle& file, uint64_t expectedLength) {
    return std::unique_ptr<TempBuffer>(new TempBuffer(nullptr, file, 0, expectedLength));
}

void TempBuffer::appendBytes(const void* src, uint64_t length) {
    if (m_dumpFailed || length == 0) {
        return;
    }
    const auto* bytes = static_cast<const uint8_t*>(src);
    m_checksum.update({bytes, static_cast<size_t>(length)});
    // A large piece with nothing held before it goes to the journal as it is, without a copy in memory.
    if (m_currentData.empty() && length > m_memoryLimit) {
        writeToFile(bytes, length);
        return;
    }
    m_currentData.insert(m_currentData.end(), bytes, bytes + length);
    if (m_currentData.size() > m_memoryLimit) {
        dumpBuffer();
    }
}

void TempBuffer::dumpBuffer() {
    if (m_currentData.empty() || m_dumpFailed) {
        return;
    }
    if (writeToFile(m_currentData.data(), m_currentData.size())) {
        m_currentData.clear();
    }
}

bool TempBuffer::writeToFile(const uint8_t* bytes, uint64_t length) {
    if (!m_fileHandle.writeAt(bytes, static_cast<size_t>(length), m_offset + m_fileLength)) {
        const int error = errno;
        m_dumpFailed = true;
        m_currentData.clear();
        m_currentData.shrink_to_fit();
        platform::log(logmsg::kCouldNotWriteToTempFile);
        platform::note(platform::errorText(error));
        return false;
    }
    // The journal must reach the disk before the user's file is touched; starting now overlaps that with
    // the work still to come. Small pieces are left to the one sync that follows: a call each would cost
    // more than it saves.
    if (length >= kMemoryLimit) {
        m_fileHandle.startWriteback(m_offset + m_fileLength, length);
    }
    m_fileLength += length;
    return true;
}

uint64_t TempBuffer::length() const {
    return m_fileLength + m_currentData.size();
}

std::optional<std::vector<uint8_t>> TempBuffer::readDataAtOffset(uint64_t offset, uint64_t length) {
    if (!failed() && m_fileLength == 0) {
        // Callers stay within the held bytes; clamping keeps any other request in bounds.
        const size_t begin = static_cast<size_t>(std::min<uint64_t>(offset, m_currentData.size()));
        const size_t end =
            begin + static_cast<size_t>(std::min<uint64_t>(length, m_currentData.size() - begin));
        return std::vector<uint8_t>(m_currentData.begin() + begin, m_currentData.begin() + end);
    }
    dumpBuffer();
    std::optional<std::vector<uint8_t>> data;
    if (!failed()) {
        data = m_fileHandle.readDataAt(m_offset + offset,
                                       offset < m_fileLength ? std::min(length, m_fileLength - offset) : 0);
    }
    if (!data) {
        platform::log(logmsg::kCouldNotReadFromTmpFile);
    }
    return data;
}

bool TempBuffer::flush() {
    dumpBuffer();
    if (failed()) {
        return false;
    }
    if (m_journal != nullptr) {
        m_journal->payloadWritten(m_offset, m_fileLength);
    }
    return true;
}

} // namespace engine
