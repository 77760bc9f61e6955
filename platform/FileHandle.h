// SPDX-License-Identifier: GPL-3.0-or-later
// An owned POSIX file descriptor with positioned reads and writes that report failures as results.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

// Every call reports failure through its result and leaves errno set; nothing throws. After close() every
// call fails (the descriptor is -1).
class FileHandle {
public:
    enum class Access { ReadOnly, ReadWrite };
    // Opens an existing file; a symbolic link at the end of the path is not followed (ELOOP). Null on
    // failure.
    static std::unique_ptr<FileHandle> openNoFollow(const std::filesystem::path& path, Access access);
    // Why openRegular() gave no handle.
    enum class Refusal { None, SymbolicLink, NotRegularFile, SystemError };
    // Opens the regular file at path, without following a symbolic link at the end of the path and without
    // opening anything else for I/O: a FIFO, a device, a socket or a folder is only looked at, so that
    // nothing blocks and no device sees an open. Null with `refusal` set otherwise (and errno, for
    // SystemError).
    static std::unique_ptr<FileHandle> openRegular(const std::filesystem::path& path, Access access,
                                                   Refusal& refusal);
    // Creates a new file readable and writable by its owner only; null, with EEXIST, when the name is
    // taken, also by a symbolic link.
    static std::unique_ptr<FileHandle> createNew(const std::filesystem::path& path);

    // Takes ownership of fd; -1 gives a closed handle.
    explicit FileHandle(int fd);
    ~FileHandle();
    FileHandle(FileHandle&& other) noexcept;
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // Reads at offset without moving the position, until length bytes or end of file; 0 at end of file.
    std::optional<size_t> readAt(void* dest, size_t length, uint64_t offset);
    // Writes all length bytes at offset without moving the position. On false part may have been written.
    bool writeAt(const void* src, size_t length, uint64_t offset);

    // Reads up to length bytes at offset into a new byte string; shorter at end of file.
    std::optional<std::vector<uint8_t>> readDataAt(uint64_t offset, uint64_t length);
    // Copies length bytes from `source` at sourceOffset into this file at offset inside the kernel, where
    // both lie on one file system; false with EXDEV, EINVAL or ENOSYS where that cannot be done, so that
    // the caller copies through memory instead. On other failures part may have been copied.
    bool copyRangeFrom(FileHandle& source, uint64_t sourceOffset, uint64_t offset, uint64_t length);
    bool truncate(uint64_t length);
    // Makes the file at least `length` bytes long with its blocks reserved, so that later writes up to
    // there cannot fail for want of space. False with EOPNOTSUPP where the file system cannot reserve.
    bool allocate(uint64_t length);
    // fdatasync: the data written so far, and the length, survive a power loss.
    bool sync();
    // syncfs: everything written to the file system this file lives on, by anyone, survives a power loss.
    // One call stands for the syncs of many files.
    bool syncFileSystem();
    // Starts writing [offset, offset + length) back to the disk without waiting, so that a later sync()
    // has less left to do. Only a hint: nothing is promised, and failures are ignored.
    void startWriteback(uint64_t offset, uint64_t length);

    enum class LockResult { Locked, Busy, Failed };
    // Exclusive for a writer (the handle must be open for writing); Shared for a reader (open for reading),
    // which excludes writers but not other readers.
    enum class LockKind { Exclusive, Shared };
    // An open-file-description lock on the whole file, without waiting. It belongs to this handle's open
    // file (not to the process or thread) and goes when the handle closes. Busy when another open file
    // holds a conflicting lock on it, whichever process that is.
    LockResult tryLock(LockKind kind = LockKind::Exclusive);
    // Whether another open file holds any lock that an exclusive tryLock() would meet, asked without taking
    // one, so that nobody else's tryLock() is disturbed. False when none does, or when the file system cannot
    // tell.
    bool lockedElsewhere() const;

    // Safe to call again: a closed handle reports true.
    bool close();
    int descriptor() const { return m_descriptor; }

private:
    // openRegular() relative to a folder descriptor, without the fault seam, which each caller puts in
    // front with the subject it knows.
    friend class Folder;
    static std::unique_ptr<FileHandle> openRegularAt(int folder, const char* name, Access access,
                                                     Refusal& refusal);

    int m_descriptor;
};

} // namespace platform
