// SPDX-License-Identifier: GPL-3.0-or-later
// FileManager functions over POSIX calls, with the fault-injection seam in front of the rename.
#include "platform/FileManager.h"

#include "platform/FaultInjection.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace platform {

namespace {

std::filesystem::path environmentPath(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::filesystem::path(value) : std::filesystem::path();
}

std::filesystem::path cachesDirectory() {
    const std::filesystem::path xdg = environmentPath("XDG_CACHE_HOME");
    if (!xdg.empty()) {
        return xdg;
    }
    const std::filesystem::path home = environmentPath("HOME");
    return home.empty() ? home : home / ".cache";
}

// $HOME, else the password database's entry for the user.
std::filesystem::path homeDirectory() {
    const std::filesystem::path home = environmentPath("HOME");
    if (!home.empty()) {
        return home;
    }
    const struct passwd* entry = ::getpwuid(::geteuid());
    return entry != nullptr && entry->pw_dir != nullptr ? std::filesystem::path(entry->pw_dir)
                                                        : std::filesystem::path();
}

// Keeps errno across the close of a descriptor that was only needed for the call before.
void closeKeepingErrno(int fd) {
    const int error = errno;
    ::close(fd);
    errno = error;
}

} // namespace

bool exists(const std::filesystem::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

bool isDirectory(const std::filesystem::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool moveItem(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (shouldFail(FaultPoint::Rename, from)) {
        return false;
    }
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        return false;
    }
    const std::filesystem::path parent = to.has_parent_path() ? to.parent_path() : ".";
    const int folder = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        return false;
    }
    const bool moved = renameUnderFolderLock(AT_FDCWD, from.c_str(), folder, to.filename().c_str());
    closeKeepingErrno(folder);
    return moved;
}

bool renameUnderFolderLock(int fromFolder, const char* from, int toFolder, const char* to) {
    int lock;
    do {
        lock = ::openat(toFolder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (lock < 0 && errno == EINTR);
    if (lock < 0) {
        return false;
    }
    int result;
    do {
        result = ::flock(lock, LOCK_EX);
    } while (result < 0 && errno == EINTR);
    bool renamed = false;
    if (result == 0) {
        struct stat present {};
        if (::fstatat(toFolder, to, &present, AT_SYMLINK_NOFOLLOW) == 0) {
            errno = EEXIST;
        } else if (errno == ENOENT) {
            renamed = ::renameat(fromFolder, from, toFolder, to) == 0;
        }
    }
    // Closing the fresh descriptor releases the lock.
    closeKeepingErrno(lock);
    return renamed;
}

std::optional<std::string> removeItem(const std::filesystem::path& path) {
    if (!shouldFail(FaultPoint::Unlink, path) && std::remove(path.c_str()) == 0) {
        return std::nullopt;
    }
    return std::generic_category().message(errno);
}

bool syncDirectory(const std::filesystem::path& directory) {
    if (shouldFail(FaultPoint::Sync, directory)) {
        return false;
    }
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    int result;
    do {
        result = ::fsync(fd);
    } while (result < 0 && errno == EINTR);
    closeKeepingErrno(fd);
    return result == 0;
}

std::optional<std::filesystem::path> stateDirectory(std::string_view application) {
    std::filesystem::path base = environmentPath("XDG_STATE_HOME");
    if (!base.is_absolute()) {
        const std::filesystem::path home = homeDirectory();
        if (home.empty()) {
            errno = ENOENT;
            return std::nullopt;
        }
        base = home / ".local" / "state";
    }
    const std::filesystem::path directory = base / application;
    const auto openDirectory = [&] {
        return ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    };
    // Made only when it is not there yet: most calls find it.
    int fd = openDirectory();
    if (fd < 0 && errno == ENOENT) {
        std::error_code error;
        std::filesystem::create_directories(base, error);
        if (::mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) {
            return std::nullopt;
        }
        fd = openDirectory();
    }
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat info {};
    bool usable = ::fstat(fd, &info) == 0 && info.st_uid == ::geteuid();
    if (usable && (info.st_mode & 0077) != 0) {
        usable = ::fchmod(fd, 0700) == 0;
    }
    ::close(fd);
    if (!usable) {
        errno = EPERM;
        return std::nullopt;
    }
    return directory;
}

std::optional<std::vector<std::filesystem::path>>
contentsOfDirectory(const std::filesystem::path& directory) {
    std::error_code error;
    std::filesystem::directory_iterator entries(directory, error);
    if (error) {
        return std::nullopt;
    }
    std::vector<std::filesystem::path> paths;
    for (; entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        const std::filesystem::path& path = entries->path();
        if (!path.filename().native().starts_with('.')) {
            paths.push_back(path);
        }
    }
    if (error) {
        return std::nullopt;
    }
    std::sort(paths.begin(), paths.end(),
              [](const auto& a, const auto& b) { return a.filename().native() < b.filename().native(); });
    return paths;
}

std::filesystem::path temporaryDirectory() {
    const std::filesystem::path fromEnvironment = environmentPath("TMPDIR");
    if (!fromEnvironment.empty()) {
        return fromEnvironment;
    }
    const std::filesystem::path tmp("/tmp");
    if (isDirectory(tmp)) {
        return tmp;
    }
    const std::filesystem::path caches = cachesDirectory();
    if (!caches.empty() && isDirectory(caches)) {
        return caches;
    }
    return tmp;
}

} // namespace platform
