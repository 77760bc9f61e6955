// SPDX-License-Identifier: GPL-3.0-or-later
// Folder over *at(2) calls on one directory descriptor, with the fault-injection seam in front of each
// change.
#include "platform/Folder.h"

#include "platform/FaultInjection.h"
#include "platform/FileManager.h"
#include "platform/SecureRandom.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

constexpr size_t kRandomNameLength = 12;
// A clash of twelve random characters means another program makes names like ours; a few more tries are
// enough to tell that from bad luck.
constexpr int kNameAttempts = 8;

// A single path component, with room for the terminating NUL that the system calls need.
std::optional<std::string> component(std::string_view name) {
    if (name.empty() || name.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) {
        errno = EINVAL;
        return std::nullopt;
    }
    return std::string(name);
}

std::optional<std::string> randomCharacters() {
    static constexpr std::string_view kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    // Bytes at or above the largest multiple of the alphabet's size are drawn again, so that every
    // character is equally likely.
    constexpr unsigned kUnbiased = 256 - 256 % kAlphabet.size();
    std::string characters;
    std::array<unsigned char, 2 * kRandomNameLength> bytes{};
    while (characters.size() < kRandomNameLength) {
        if (!secureRandomBytes(bytes.data(), bytes.size())) {
            return std::nullopt;
        }
        for (const unsigned char byte : bytes) {
            if (byte < kUnbiased && characters.size() < kRandomNameLength) {
                characters.push_back(kAlphabet[byte % kAlphabet.size()]);
            }
        }
    }
    return characters;
}

// Owner-only whatever the umask or the mount made of the mode; FAT, which keeps no modes, refuses with
// EPERM and is left as it is.
bool restrictToOwner(int fd, mode_t mode = 0600) {
    int result;
    do {
        result = ::fchmod(fd, mode);
    } while (result < 0 && errno == EINTR);
    // FAT keeps no permission bits: its drivers refuse the call (EPERM) or do not have it (ENOSYS, or
    // EOPNOTSUPP), and the mount's own mask is what protects the file there.
    return result == 0 || errno == EPERM || errno == ENOSYS || errno == EOPNOTSUPP;
}

} // namespace

std::unique_ptr<Folder> Folder::open(const std::filesystem::path& path) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return nullptr;
    }
    return std::unique_ptr<Folder>(new Folder(fd, path));
}

std::unique_ptr<Folder> Folder::openMakingMissing(const std::filesystem::path& path) {
    std::filesystem::path at = path.lexically_normal();
    if (!at.has_filename() && at.has_relative_path()) {
        at = at.parent_path();
    }
    // Up to the nearest folder that is there, then down again, making each missing one.
    std::vector<std::string> missing;
    std::unique_ptr<Folder> folder = open(at);
    while (!folder) {
        if (errno != ENOENT || !at.has_relative_path() || at == ".") {
            return nullptr;
        }
        missing.push_back(at.filename().string());
        at = at.has_parent_path() ? at.parent_path() : std::filesystem::path(".");
        folder = open(at);
    }
    for (auto name = missing.rbegin(); folder && name != missing.rend(); ++name) {
        folder = folder->makeFolder(*name);
    }
    return folder;
}

Folder::Folder(int descriptor, std::filesystem::path path)
    : m_descriptor(descriptor), m_path(std::move(path)) {}

Folder::~Folder() {
    ::close(m_descriptor);
}

std::optional<FileStatus> Folder::status() const {
    return statusOfDescriptor(m_descriptor);
}

std::optional<FileStatus> Folder::statusOf(std::string_view name) const {
    const auto entry = component(name);
    return entry ? statusAt(m_descriptor, *entry, FollowLinks::No) : std::nullopt;
}

std::unique_ptr<FileHandle> Folder::openFile(std::string_view name, FileHandle::Access access,
                                             FileHandle::Refusal& refusal) const {
    refusal = FileHandle::Refusal::SystemError;
    const auto entry = component(name);
    if (!entry || shouldFail(FaultPoint::Open, m_path / *entry)) {
        return nullptr;
    }
    return FileHandle::openRegularAt(m_descriptor, entry->c_str(), access, refusal);
}

std::optional<Folder::NewFile> Folder::createFile(std::string_view prefix) {
    if (shouldFail(FaultPoint::CreateTemp, m_path)) {
        return std::nullopt;
    }
    int fd;
    do {
        fd = ::openat(m_descriptor, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        // File systems without O_TMPFILE (FAT, FUSE, older ones) say so in any of these ways.
        const int error = errno;
        if (error == EOPNOTSUPP || error == EISDIR || error == ENOENT || error == EINVAL || error == ENOSYS) {
            return createNamedFileUnguarded(prefix);
        }
        return std::nullopt;
    }
    auto handle = std::make_unique<FileHandle>(fd);
    if (!restrictToOwner(fd)) {
        return std::nullopt;
    }
    return NewFile{std::move(handle), {}};
}

std::optional<Folder::NewFile> Folder::createNamedFile(std::string_view prefix) {
    if (shouldFail(FaultPoint::CreateTemp, m_path)) {
        return std::nullopt;
    }
    return createNamedFileUnguarded(prefix);
}

std::optional<Folder::NewFile> Folder::createNamedFileUnguarded(std::string_view prefix) {
    if (prefix.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) {
        errno = EINVAL;
        return std::nullopt;
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const auto characters = randomCharacters();
        if (!characters) {
            return std::nullopt;
        }
        std::string name = std::string(prefix) + *characters;
        int fd;
        do {
            fd = ::openat(m_descriptor, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          0600);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0 && errno == EEXIST) {
            continue;
        }
        if (fd < 0) {
            return std::nullopt;
        }
        auto handle = std::make_unique<FileHandle>(fd);
        if (!restrictToOwner(fd)) {
            const int error = errno;
            ::unlinkat(m_descriptor, name.c_str(), 0);
            errno = error;
            return std::nullopt;
        }
        return NewFile{std::move(handle), std::move(name)};
    }
    return std::nullopt; // errno is still EEXIST
}

bool Folder::link(FileHandle& unnamed, std::string_view name) {
    const auto entry = component(name);
    if (!entry || shouldFail(FaultPoint::Rename, m_path / *entry)) {
        return false;
    }
    const std::string source = "/proc/self/fd/" + std::to_string(unnamed.descriptor());
    if (::linkat(AT_FDCWD, source.c_str(), m_descriptor, entry->c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return true;
    }
    if (errno != ENOENT || ::access("/proc/self/fd", F_OK) == 0) {
        return false;
    }
    // Without /proc the descriptor itself is linked, which takes CAP_DAC_READ_SEARCH.
    return ::linkat(unnamed.descriptor(), "", m_descriptor, entry->c_str(), AT_EMPTY_PATH) == 0;
}

std::unique_ptr<Folder> Folder::makeFolder(std::string_view name) {
    const auto entry = component(name);
    if (!entry) {
        return nullptr;
    }
    const auto openEntry = [&] {
        int fd;
        do {
            fd = ::openat(m_descriptor, entry->c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        return fd;
    };
    // One folder made at a time in the process, and synced into its parent before anyone else finds it:
    // a thread that finds a folder another thread has just made must not write into it before its entry
    // is durable.
    static std::mutex making;
    const std::lock_guard lock(making);
    int fd = openEntry();
    if (fd >= 0) {
        return std::unique_ptr<Folder>(new Folder(fd, m_path / *entry));
    }
    if (errno != ENOENT) {
        return nullptr;
    }
    if (shouldFail(FaultPoint::CreateTemp, m_path / *entry)) {
        return nullptr;
    }
    // Another program may make the same folder meanwhile; either way it is there afterwards.
    const bool made = ::mkdirat(m_descriptor, entry->c_str(), 0700) == 0;
    if (!made && errno != EEXIST) {
        return nullptr;
    }
    fd = openEntry();
    if (fd < 0) {
        return nullptr;
    }
    std::unique_ptr<Folder> folder(new Folder(fd, m_path / *entry));
    if (made && (!restrictToOwner(fd, 0700) || !sync())) {
        return nullptr;
    }
    return folder;
}

bool Folder::renameNoReplace(std::string_view from, std::string_view to) {
    const auto source = component(from);
    const auto target = source ? component(to) : std::nullopt;
    if (!target || shouldFail(FaultPoint::Rename, m_path / *source)) {
        return false;
    }
    if (::renameat2(m_descriptor, source->c_str(), m_descriptor, target->c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        return false;
    }
    return renameUnderFolderLock(m_descriptor, source->c_str(), m_descriptor, target->c_str());
}

bool Folder::remove(std::string_view name) {
    const auto entry = component(name);
    if (!entry || shouldFail(FaultPoint::Unlink, m_path / *entry)) {
        return false;
    }
    return ::unlinkat(m_descriptor, entry->c_str(), 0) == 0;
}

bool Folder::sync() {
    if (shouldFail(FaultPoint::Sync, m_path)) {
        return false;
    }
    int result;
    do {
        result = ::fsync(m_descriptor);
    } while (result < 0 && errno == EINTR);
    return result == 0;
}

std::optional<std::vector<std::string>> Folder::namesStartingWith(std::string_view prefix) const {
    // A descriptor of its own: reading moves the directory's position, which the folder's descriptor
    // shares with every copy of it.
    int fd;
    do {
        fd = ::openat(m_descriptor, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return std::nullopt;
    }
    DIR* const entries = ::fdopendir(fd);
    if (entries == nullptr) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (;;) {
        errno = 0;
        const struct dirent* entry = ::readdir(entries);
        if (entry == nullptr) {
            break;
        }
        const std::string_view name(entry->d_name);
        if (name != "." && name != ".." && name.starts_with(prefix)) {
            names.emplace_back(name);
        }
    }
    const int error = errno;
    ::closedir(entries);
    if (error != 0) {
        errno = error;
        return std::nullopt;
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace platform
