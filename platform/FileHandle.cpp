// FileHandle over open/lseek/read/write/ftruncate, with the fault-injection seam in front of each call.
#include "platform/FileHandle.h"

#include "platform/FaultInjection.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
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

std::unique_ptr<FileHandle> FileHandle::openForUpdate(const std::filesystem::path& path) {
    if (shouldFail(FaultPoint::Open)) {
        return nullptr;
    }
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return nullptr;
    }
    return std::make_unique<FileHandle>(fd);
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

std::optional<uint64_t> FileHandle::seekToEnd() {
    if (shouldFail(FaultPoint::Seek)) {
        return std::nullopt;
    }
    const off_t end = ::lseek(m_descriptor, 0, SEEK_END);
    if (end < 0) {
        return std::nullopt;
    }
    return static_cast<uint64_t>(end);
}

bool FileHandle::seek(uint64_t offset) {
    if (shouldFail(FaultPoint::Seek)) {
        return false;
    }
    if (!fitsOffset(offset)) {
        errno = EINVAL;
        return false;
    }
    return ::lseek(m_descriptor, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

std::optional<uint64_t> FileHandle::offset() const {
    const off_t position = ::lseek(m_descriptor, 0, SEEK_CUR);
    if (position < 0) {
        return std::nullopt;
    }
    return static_cast<uint64_t>(position);
}

std::optional<size_t> FileHandle::read(void* dest, size_t length) {
    if (shouldFail(FaultPoint::Read)) {
        return std::nullopt;
    }
    auto* bytes = static_cast<uint8_t*>(dest);
    size_t done = 0;
    while (done < length) {
        const ssize_t got = ::read(m_descriptor, bytes + done, length - done);
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

std::optional<std::vector<uint8_t>> FileHandle::readData(uint64_t length) {
    std::vector<uint8_t> data;
    while (data.size() < length) {
        const size_t have = data.size();
        const auto piece = static_cast<size_t>(std::min(length - have, kReadDataPiece));
        data.resize(have + piece);
        const std::optional<size_t> got = read(data.data() + have, piece);
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

bool FileHandle::write(const void* src, size_t length) {
    if (shouldFail(FaultPoint::Write)) {
        return false;
    }
    const auto* bytes = static_cast<const uint8_t*>(src);
    size_t done = 0;
    while (done < length) {
        const ssize_t put = ::write(m_descriptor, bytes + done, length - done);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<size_t>(put);
    }
    return true;
}

bool FileHandle::truncate(uint64_t length) {
    if (shouldFail(FaultPoint::Truncate)) {
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

bool FileHandle::close() {
    if (m_descriptor < 0) {
        return true;
    }
    // Linux releases the descriptor even when close reports EINTR, so it is never retried.
    const int result = ::close(std::exchange(m_descriptor, -1));
    return result == 0;
}

} // namespace platform
