// SPDX-License-Identifier: GPL-3.0-or-later
// An append-only byte buffer whose content goes into a journal as one file's replacement, with the last
// part in memory: where a file's replacement is built before the file is touched.
#pragma once

#include "engine/Checksum.h"
#include "platform/FileHandle.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace engine {

class Journal;

// Appends collect in memory, up to min(1 MiB, the expected length); the byte after that writes everything
// held to the journal, at the end of what is there (positioned writes: no call seeks), and starts its
// write-back. The checksum of everything appended is kept on the way. Used by one operation on one
// thread; nothing throws past it except allocation failure.
class TempBuffer {
public:
    // What appends may hold in memory before they are written out.
    static constexpr size_t kMemoryLimit = size_t{1} << 20;

    // The content goes to `journal` (not owned; it must outlive the buffer) from its next payload offset
    // on. `expectedLength` only sizes the memory held.
    static std::unique_ptr<TempBuffer> init(Journal& journal, uint64_t expectedLength);
    // The content goes to `file` (not owned; it must outlive the buffer) from offset 0: a new file of its
    // own, such as a copy being made elsewhere, with no journal to tell.
    static std::unique_ptr<TempBuffer> init(platform::FileHandle& file, uint64_t expectedLength);
    ~TempBuffer();
    TempBuffer(const TempBuffer&) = delete;
    TempBuffer& operator=(const TempBuffer&) = delete;

    // Once a write has failed, appends are dropped: the content is lost anyway, and memory must not grow.
    void appendBytes(const void* src, uint64_t length);
    // Moves the bytes held in memory to the journal. On failure logs "could not write to temp file" with
    // why, once, and the buffer is failed() from then on.
    void dumpBuffer();
    // The content's length.
    uint64_t length() const;
    // Up to length bytes of content at offset (shorter at the end, empty past it). None, after logging
    // "could not read from tmp file", when the read fails or once failed() is true.
    std::optional<std::vector<uint8_t>> readDataAtOffset(uint64_t offset, uint64_t length);
    // True once a write has failed; the content can then no longer be handed out.
    bool failed() const { return m_dumpFailed; }

    // Moves everything to the journal and tells it the payload's extent (or to the file). False once
    // failed() is true.
    bool flush();
    // Where the content starts in the journal, and the checksum of all of it.
    uint64_t offset() const { return m_offset; }
    uint64_t checksum() const { return m_checksum.digest(); }

private:
    TempBuffer(Journal* journal, platform::FileHandle& file, uint64_t offset, uint64_t expectedLength);
    // Appends to the journal; on failure logs, drops what memory holds, and fails the buffer for good.
    bool writeToFile(const uint8_t* bytes, uint64_t length);

    Journal* m_journal; // none for a file of its own
    platform::FileHandle& m_fileHandle;
    const uint64_t m_offset;
    const size_t m_memoryLimit;
    std::vector<uint8_t> m_currentData;
    uint64_t m_fileLength = 0; // bytes written to the journal so far
    ChecksumStream m_checksum;
    bool m_dumpFailed = false;
};

} // namespace engine
