// An append-only byte buffer backed by a private temporary file, with the last few hundred bytes in memory.
#pragma once

#include "platform/FileHandle.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace engine {

// Holds an operation's whole output before the user's file is touched. Up to 512 bytes stay in memory; the
// 513th appended byte writes everything held to the file. The file, "kov." plus ten random characters in
// the temporary directory, is readable by its owner only and deleted by close() unless keepFile() kept it.
// Used by one operation on one thread; nothing throws past it except allocation failure.
class TempBuffer {
public:
    // Null after logging "mkstemp failed" when no temporary file can be made.
    static std::unique_ptr<TempBuffer> init();
    ~TempBuffer();
    TempBuffer(const TempBuffer&) = delete;
    TempBuffer& operator=(const TempBuffer&) = delete;

    void appendBytes(const void* src, uint64_t length);
    // Moves the bytes held in memory to the end of the file. On failure logs "could not write to temp file"
    // and keeps them; the buffer then refuses every later read, since its file may lack or repeat bytes.
    void dumpBuffer();
    // The content's length. When the file's length cannot be found, logs "could not get length of tmp file"
    // and counts the file as empty; later reads are then refused, so a caller that copies [0, length()) in
    // chunks stops at its first chunk instead of copying a short content. failed() tells a caller that makes
    // no read at all.
    uint64_t length();
    // Up to length bytes of content at offset (shorter at the end, empty past it). None, after logging
    // "could not read from tmp file", when the read fails or once failed() is true.
    std::optional<std::vector<uint8_t>> readDataAtOffset(uint64_t offset, uint64_t length);
    // True once a dump or a length query has failed; the content can then no longer be handed out.
    bool failed() const { return m_dumpFailed || m_lengthFailed; }

    // For a write-back that failed part-way: dumps what is in memory and, when the file now holds the whole
    // content, keeps the file past close() and returns its path. Otherwise none, and the file is deleted as
    // usual.
    std::optional<std::filesystem::path> keepFile();
    const std::filesystem::path& path() const { return m_path; }
    // Closes the file and deletes it (unless kept), logging "could not delete temporary file: <reason>" when
    // that fails. Idempotent.
    void close();

private:
    TempBuffer(std::unique_ptr<platform::FileHandle> fileHandle, std::filesystem::path path);

    std::unique_ptr<platform::FileHandle> m_fileHandle;
    std::vector<uint8_t> m_currentData;
    std::filesystem::path m_path;
    bool m_dumpFailed = false;
    bool m_lengthFailed = false;
    bool m_keep = false;
};

} // namespace engine
