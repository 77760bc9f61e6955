// FileManager functions over POSIX calls, with the fault-injection seam in front of the rename.
#include "platform/FileManager.h"

#include "platform/FaultInjection.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
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

bool linkThenUnlink(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::link(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    if (::unlink(from.c_str()) != 0) {
        const int error = errno;
        ::unlink(to.c_str());
        errno = error;
        return false;
    }
    return true;
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
    if (shouldFail(FaultPoint::Rename)) {
        return false;
    }
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP) {
        return linkThenUnlink(from, to);
    }
    return false;
}

std::optional<std::string> removeItem(const std::filesystem::path& path) {
    if (std::remove(path.c_str()) == 0) {
        return std::nullopt;
    }
    return std::generic_category().message(errno);
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
