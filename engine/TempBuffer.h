// An append-only byte buffer backed by a private file in the state directory, with the last few hundred
// bytes in memory: where a file's replacement is built before the file is touched.
#pragma once

#include "platform/FileHandle.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace engine {

// Up to a mebibyte stays in memory; the byte after it writes everything held to the file, at the end of what
// is there (positioned writes: no call seeks). The file,
// "kov." plus ten random characters in the user's state directory (which survives a reboot, unlike the
// temporary directory), is readable by its owner only, locked for as long as the buffer has it open, so
// that no clean-up takes it from a live run, and deleted by close() unless keep() was called.
// Used by one operation on one thread; nothing throws past it except allocation failure.
class TempBuffer {
public:
    // What appends may hold in memory before they are written out.
    static constexpr size_t kMemoryLimit = size_t{1} << 20;

    // Null after logging "mkstemp failed" (and why, when the state directory is the cause) when no file
    // can be made.
    static std::unique_ptr<TempBuffer> init();
    // The same in a directory of the caller's choosing.
    static std::unique_ptr<TempBuffer> initIn(const std::filesystem::path& directory);
    ~TempBuffer();
    TempBuffer(const TempBuffer&) = delete;
    TempBuffer& operator=(const TempBuffer&) = delete;

    // Once a write has failed, appends are dropped: the content is lost anyway, and memory must not grow.
    void appendBytes(const void* src, uint64_t length);
    // Moves the bytes held in memory to the end of the file. On failure logs "could not write to temp file",
    // once, and the buffer is failed() from then on.
    void dumpBuffer();
    // The content's length.
    uint64_t length();
    // Up to length bytes of content at offset (shorter at the end, empty past it). None, after logging
    // "could not read from tmp file", when the read fails or once failed() is true.
    std::optional<std::vector<uint8_t>> readDataAtOffset(uint64_t offset, uint64_t length);
    // True once a write has failed; the content can then no longer be handed out.
    bool failed() const { return m_dumpFailed; }

    // Moves everything to the file and makes it survive a power loss. False (after logging) on failure or
    // once failed() is true.
    bool sync();
    // Moves everything to the file, for a caller that syncs the whole file system afterwards.
    bool flush();
    // The open file, for reading the whole content back after sync().
    platform::FileHandle& handle() { return *m_fileHandle; }
    // Whether close() leaves the file in place: while a user's file depends on it, until the rewrite or
    // its recovery completes.
    void keep(bool keep) { m_keep = keep; }
    const std::filesystem::path& path() const { return m_path; }
    // Closes the file and deletes it (unless kept), logging "could not delete temporary file: <reason>" when
    // that fails. Idempotent.
    void close();

private:
    TempBuffer(std::unique_ptr<platform::FileHandle> fileHandle, std::filesystem::path path);
    // Appends to the file; on failure logs, drops what memory holds, and fails the buffer for good.
    bool writeToFile(const uint8_t* bytes, uint64_t length);

    std::unique_ptr<platform::FileHandle> m_fileHandle;
    std::vector<uint8_t> m_currentData;
    std::filesystem::path m_path;
    uint64_t m_fileLength = 0; // bytes written to the file so far
    bool m_dumpFailed = false;
    bool m_keep = false;
};

} // namespace engine
