// SPDX-License-Identifier: GPL-3.0-or-later
// FileHandle over open/lseek/read/write/ftruncate, with the fault-injection seam in front of each call.
#include "platform/FileHandle.h"

#include "platform/FaultInjection.h"
#include "platform/FileStatus.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

// Large reads are taken in pieces so that a length far beyond the file's end does not allocate it all.
constexpr uint64_t kReadDataPiece = uint64_t{1} << 20;

bool fitsOffset(uint64_t value) {
    return value <= static_cast<uint64_t>(std::numeric_limits<off_t>::max());
}

} // namespace

std::unique_ptr<FileHandle> FileHandle::openNoFollow(const std::filesystem::path& path, Access access) {
    if (shouldFail(FaultPoint::Open, path)) {
        return nullptr;
    }
    const int flags = (access == Access::ReadWrite ? O_RDWR : O_RDONLY) | O_NOFOLLOW | O_CLOEXEC;
    int fd;
    do {
        fd = ::open(path.c_str(), flags);
    } while (fd < 0 && errno == EINTR);
    return fd < 0 ? nullptr : std::make_unique<FileHandle>(fd);
}

std::unique_ptr<FileHandle> FileHandle::openRegular(const std::filesystem::path& path, Access access,
                                                    Refusal& refusal) {
    refusal = Refusal::SystemError;
    if (shouldFail(FaultPoint::Open, path)) {
        return nullptr;
    }
    return openRegularAt(AT_FDCWD, path.c_str(), access, refusal);
}

std::unique_ptr<FileHandle> FileHandle::openRegularAt(int folder, const char* name, Access access,
                                                      Refusal& refusal) {
    refusal = Refusal::SystemError;
    // A path-only descriptor names the file without opening it for I/O; the checks are made on it, and
    // the file it names (not whatever the name leads to by then) is reopened.
    int located;
    do {
        located = ::openat(folder, name, O_PATH | O_NOFOLLOW | O_CLOEXEC);
    } while (located < 0 && errno == EINTR);
    if (located < 0) {
        return nullptr;
    }
    const FileHandle locator(located);
    const auto status = statusOfDescriptor(located);
    if (!status) {
        return nullptr;
    }
    if (S_ISLNK(status->mode) || !status->isRegularFile()) {
        refusal = S_ISLNK(status->mode) ? Refusal::SymbolicLink : Refusal::NotRegularFile;
        return nullptr;
    }
    const int flags = (access == Access::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK;
    const std::string reopen = "/proc/self/fd/" + std::to_string(located);
    int fd;
    do {
        fd = ::open(reopen.c_str(), flags);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0 && errno == ENOENT) {
        // Without /proc: by name again, and only if the name still leads to the same file.
        do {
            fd = ::openat(folder, name, flags | O_NOFOLLOW);
        } while (fd < 0 && errno == EINTR);
        const auto reopened = fd < 0 ? std::nullopt : statusOfDescriptor(fd);
        if (fd >= 0 && (!reopened || reopened->identity != status->identity)) {
            ::close(fd);
            errno = ENOENT;
            fd = -1;
        }
    }
    if (fd < 0) {
        return nullptr;
    }
    refusal = Refusal::None;
    return std::make_unique<FileHandle>(fd);
}

std::unique_ptr<FileHandle> FileHandle::createNew(const std::filesystem::path& path) {
    if (shouldFail(FaultPoint::Open, path)) {
        return nullptr;
    }
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EINTR);
    return fd < 0 ? nullptr : std::make_unique<FileHandle>(fd);
}

FileHandle::FileHandle(int fd) : m_descriptor(fd) {}

FileHandle::~FileHandle() {
    close();
}

FileHandle::FileHandle(FileHandle&& other) noexcept : m_descriptor(std::exchange(other.m_descriptor, -1)) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        close();
        m_descriptor = std::exchange(other.m_descriptor, -1);
    }
    return *this;
}

std::optional<size_t> FileHandle::readAt(void* dest, size_t length, uint64_t offset) {
    if (shouldFail(FaultPoint::Read, m_descriptor)) {
        return std::nullopt;
    }
    auto* bytes = static_cast<uint8_t*>(dest);
    size_t done = 0;
    while (done < length) {
        if (!fitsOffset(offset + done)) {
            errno = EINVAL;
            return std::nullopt;
        }
        const ssize_t got =
            ::pread(m_descriptor, bytes + done, length - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<size_t>(got);
    }
    return done;
}

bool FileHandle::writeAt(const void* src, size_t length, uint64_t offset) {
    if (shouldFail(FaultPoint::Write, m_descriptor)) {
        return false;
    }
    const auto* bytes = static_cast<const uint8_t*>(src);
    size_t done = 0;
    while (done < length) {
        if (!fitsOffset(offset + done)) {
            errno = EINVAL;
            return false;
        }
        const ssize_t put =
            ::pwrite(m_descriptor, bytes + done, length - done, static_cast<off_t>(offset + done));
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (put == 0) {
            errno = EIO; // a write that makes no progress would otherwise be retried for ever
            return false;
        }
        done += static_cast<size_t>(put);
    }
    return true;
}

std::optional<std::vector<uint8_t>> FileHandle::readDataAt(uint64_t offset, uint64_t length) {
    std::vector<uint8_t> data;
    while (data.size() < length) {
        const size_t have = data.size();
        const auto piece = static_cast<size_t>(std::min(length - have, kReadDataPiece));
        data.resize(have + piece);
        const std::optional<size_t> got = readAt(data.data() + have, piece, offset + have);
        if (!got) {
            return std::nullopt;
        }
        data.resize(have + *got);
        if (*got < piece) {
            break;
        }
    }
    return data;
}

bool FileHandle::copyRangeFrom(FileHandle& source, uint64_t sourceOffset, uint64_t offset, uint64_t length) {
    if (shouldFail(FaultPoint::CopyFileRange, m_descriptor)) {
        return false;
    }
    if (!fitsOffset(offset) || !fitsOffset(length) || !fitsOffset(offset + length) ||
        !fitsOffset(sourceOffset + length)) {
        errno = EINVAL;
        return false;
    }
    uint64_t done = 0;
    while (done < length) {
        auto from = static_cast<off64_t>(sourceOffset + done);
        auto to = static_cast<off64_t>(offset + done);
        const ssize_t copied = ::copy_file_range(source.m_descriptor, &from, m_descriptor, &to,
                                                 static_cast<size_t>(length - done), 0);
        if (copied < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (copied == 0) {
            errno = EIO; // the source ended early
            return false;
        }
        done += static_cast<uint64_t>(copied);
    }
    return true;
}

bool FileHandle::truncate(uint64_t length) {
    if (shouldFail(FaultPoint::Truncate, m_descriptor)) {
        return false;
    }
    if (!fitsOffset(length)) {
        errno = EINVAL;
        return false;
    }
    int result;
    do {
        result = ::ftruncate(m_descriptor, static_cast<off_t>(length));
    } while (result < 0 && errno == EINTR);
    return result == 0;
}

bool FileHandle::allocate(uint64_t length) {
    if (shouldFail(FaultPoint::Fallocate, m_descriptor)) {
        return false;
    }
    if (!fitsOffset(length) || length == 0) {
        errno = EINVAL;
        return false;
    }
    int result;
    do {
        result = ::fallocate(m_descriptor, 0, 0, static_cast<off_t>(length));
    } while (result < 0 && errno == EINTR);
    return result == 0;
}

bool FileHandle::sync() {
    if (shouldFail(FaultPoint::Sync, m_descriptor)) {
        return false;
    }
    int result;
    do {
        result = ::fdatasync(m_descriptor);
    } while (result < 0 && errno == EINTR);
    return result == 0;
}

bool FileHandle::syncFileSystem() {
    if (shouldFail(FaultPoint::Sync, m_descriptor)) {
        return false;
    }
    int result;
    do {
        result = ::syncfs(m_descriptor);
    } while (result < 0 && errno == EINTR);
    return result == 0;
}

void FileHandle::startWriteback(uint64_t offset, uint64_t length) {
    if (fitsOffset(offset) && fitsOffset(length)) {
        ::sync_file_range(m_descriptor, static_cast<off64_t>(offset), static_cast<off64_t>(length),
                          SYNC_FILE_RANGE_WRITE);
    }
}

FileHandle::LockResult FileHandle::tryLock(LockKind kind) {
    if (shouldFail(FaultPoint::Lock, m_descriptor)) {
        return LockResult::Failed;
    }
    struct flock whole {};
    whole.l_type = kind == LockKind::Shared ? F_RDLCK : F_WRLCK;
    whole.l_whence = SEEK_SET;
    int result;
    do {
        result = ::fcntl(m_descriptor, F_OFD_SETLK, &whole);
    } while (result < 0 && errno == EINTR);
    if (result == 0) {
        return LockResult::Locked;
    }
    return errno == EAGAIN || errno == EACCES ? LockResult::Busy : LockResult::Failed;
}

bool FileHandle::lockedElsewhere() const {
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    int result;
    do {
        result = ::fcntl(m_descriptor, F_OFD_GETLK, &whole);
    } while (result < 0 && errno == EINTR);
    return result == 0 && whole.l_type != F_UNLCK;
}

bool FileHandle::close() {
    if (m_descriptor < 0) {
        return true;
    }
    // Linux releases the descriptor even when close reports EINTR, so it is never retried.
    const int result = ::close(std::exchange(m_descriptor, -1));
    return result == 0;
}

} // namespace platform
