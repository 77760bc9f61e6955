// SPDX-License-Identifier: GPL-3.0-or-later
// Random access to one file being processed in place: windowed reads, direct writes, truncation.
#pragma once

#include "engine/FileError.h"
#include "platform/FileHandle.h"
#include "platform/FileStatus.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace engine {

// Serves small reads from a window of kWindowLength bytes refilled at kWindowAlignment boundaries; large
// reads go straight to the file, and so do writes, which leave the window alone. Every file access is
// positioned (pread, pwrite): no call seeks. Used by one operation on one thread. No call throws or lets a
// file failure escape: each turns into the result documented below.
class FileBuffer {
public:
    static constexpr uint64_t kWindowLength = uint64_t{1} << 20;
    static constexpr uint64_t kWindowAlignment = 4096;
    // getBytes requests at least this long are read straight into the destination, whatever the window
    // holds.
    static constexpr uint64_t kDirectReadLength = uint64_t{64} << 10;

    // Opens url for update, takes the one-writer lock on it (so that no other run, in this process or
    // another, works on the file until this buffer closes) and proves that it can be both read and written
    // by rewriting its last byte (which changes its modification time). An empty file is not probed. A
    // path ending in a symbolic link, anything but a regular file, a file with several names and one its
    // owner may not write are refused before anything is written. On failure returns null and stores
    // {kFileReadUnknownError, url} with why in *error when given.
    //
    // ReadOnly is the mode of a run that writes its result elsewhere: the file is opened for reading only
    // under a shared lock (other readers may hold it too, a writer may not), not probed, and neither its
    // permission bits nor its other names refuse it. Nothing of it or beside it is written.
    enum class Mode { Update, ReadOnly };
    static std::unique_ptr<FileBuffer> initWithURL(const std::filesystem::path& url,
                                                   FileError* error = nullptr, Mode mode = Mode::Update);
    ~FileBuffer();
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;

    // Copies [offset, offset + length) through the window. Bytes at or past fileLength() are not copied and
    // leave dest as it was, yet the result is true; false only when two refills in a row gave nothing to copy
    // (read failure, or a file that shrank).
    bool getBytes(void* dest, uint64_t length, uint64_t offset);
    // Straight from the file, window untouched: shorter at the end of the file, empty past it, none on
    // failure.
    std::optional<std::vector<uint8_t>> readDataAtOffset(uint64_t offset, uint64_t length);
    // Bytes not in the file read as zero. Up to 512 bytes go through the window, longer reads straight to the
    // file (where a failure gives an empty result).
    std::vector<uint8_t> dataAtOffset(uint64_t offset, uint64_t length);
    // Little-endian; bytes past the end read as zero.
    uint8_t byteAtOffset(uint64_t offset);
    uint16_t littleUnsignedShortAtOffset(uint64_t offset);
    uint32_t littleUnsignedIntAtOffset(uint64_t offset);

    // Writes all of data at offset; an empty data only moves the file position there. False when the seek or
    // the write failed (part of the data may be written). Neither the window nor fileLength() change.
    bool writeData(const std::vector<uint8_t>& data, uint64_t offset);
    bool writeBytes(const void* src, uint64_t length, uint64_t offset);
    // Cuts the file just after the last byte read from the file or written to it through this buffer (reads
    // served from the window do not count). On failure logs "could not truncate file" and returns false.
    bool truncateFileAtCurrentOffset();

    // The length at opening; writes and truncation do not change it.
    uint64_t fileLength() const { return m_fileLength; }
    // The file as it was right after opening: identity, length and times, once the probe has run.
    const platform::FileStatus& statusAtOpening() const { return m_statusAtOpening; }
    // The same as found, before the probe.
    const platform::FileStatus& statusBeforeProbe() const { return m_statusBeforeProbe; }
    // False when the file's length, modification time or change time differ from statusAtOpening(), or
    // when they cannot be read: another program has written to it.
    bool isUnchangedSinceOpening() const;
    // The open file, for the write-back.
    platform::FileHandle& handle() { return *m_fileHandle; }
    // Hands the open file over, with its lock; the buffer is closed afterwards.
    std::unique_ptr<platform::FileHandle> takeHandle();
    // Idempotent; the buffer is not used afterwards.
    void close();

private:
    explicit FileBuffer(std::unique_ptr<platform::FileHandle> fileHandle);
    static std::unique_ptr<FileBuffer> open(const std::filesystem::path& url, FileError& error, Mode mode);
    // Takes the file's status, rewriting its last byte in between for Mode::Update.
    bool probe(Mode mode);
    bool refill(uint64_t offset);
    // Reads [offset, offset + length) of the file, up to fileLength(), straight into dest.
    bool readDirect(uint8_t* dest, uint64_t length, uint64_t offset);

    std::unique_ptr<platform::FileHandle> m_fileHandle;
    uint64_t m_fileLength = 0;
    platform::FileStatus m_statusAtOpening;
    platform::FileStatus m_statusBeforeProbe;
    uint64_t m_currentOffset = 0;
    std::vector<uint8_t> m_currentData;
    uint64_t m_position = 0; // just after the last file access, as a file position would be
};

} // namespace engine
