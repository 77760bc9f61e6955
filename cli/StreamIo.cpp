// SPDX-License-Identifier: GPL-3.0-or-later
// read(2), pread(2) and write(2) in loops, each call a point where a test can make it fail.
#include "cli/StreamIo.h"

#include "platform/FaultInjection.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {

std::optional<std::size_t> readFully(int fd, uint8_t* dest, std::size_t length) {
    std::size_t done = 0;
    while (done < length) {
        if (platform::shouldFail(platform::FaultPoint::Read, fd)) {
            return std::nullopt;
        }
        const ssize_t got = ::read(fd, dest + done, length - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

std::optional<std::size_t> readFullyAt(int fd, uint8_t* dest, std::size_t length, uint64_t offset) {
    std::size_t done = 0;
    while (done < length) {
        if (platform::shouldFail(platform::FaultPoint::Read, fd)) {
            return std::nullopt;
        }
        const ssize_t got = ::pread(fd, dest + done, length - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

bool writeFully(int fd, const uint8_t* src, std::size_t length) {
    while (length > 0) {
        if (platform::shouldFail(platform::FaultPoint::Write, fd)) {
            return false;
        }
        const ssize_t put = ::write(fd, src, length);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put < 0) {
            return false;
        }
        // Nothing taken and no error: a device that is full without saying so.
        if (put == 0) {
            errno = ENOSPC;
            return false;
        }
        src += put;
        length -= static_cast<std::size_t>(put);
    }
    return true;
}

bool syncWhereAFile(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        return true;
    }
    if (platform::shouldFail(platform::FaultPoint::Sync, fd)) {
        return false;
    }
    return ::fdatasync(fd) == 0;
}

std::optional<uint64_t> remainingLength(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    const off_t position = ::lseek(fd, 0, SEEK_CUR);
    if (position < 0 || position > status.st_size) {
        return std::nullopt;
    }
    return static_cast<uint64_t>(status.st_size - position);
}

} // namespace cli
