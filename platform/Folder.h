// SPDX-License-Identifier: GPL-3.0-or-later
// A folder held open by descriptor: every name the engine makes, finds, renames or removes beside a user's
// file is reached relative to it, so that a path swapped for a link meanwhile cannot redirect the work.
#pragma once

#include "platform/FileHandle.h"
#include "platform/FileStatus.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Names given to the members are single path components: an empty name or one holding '/' or a NUL byte
// is refused with EINVAL. Every call reports failure through its result with errno set, and nothing throws
// except allocation.
class Folder {
public:
    // Opens the folder for reading (O_DIRECTORY | O_CLOEXEC); a symbolic link earlier in the path is
    // followed, one at its end is not. Null on failure.
    static std::unique_ptr<Folder> open(const std::filesystem::path& path);
    // The same, first making the missing part of the path folder by folder with makeFolder(), each
    // relative to its parent's descriptor, so that nothing is made through a link.
    static std::unique_ptr<Folder> openMakingMissing(const std::filesystem::path& path);
    ~Folder();
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    int descriptor() const { return m_descriptor; }
    std::optional<FileStatus> status() const;

    // The entry's own status; a symbolic link is described, not followed.
    std::optional<FileStatus> statusOf(std::string_view name) const;
    // Opens the regular file `name`, as FileHandle::openRegular does for a path: never through a link at
    // the end, and nothing but a regular file is opened for I/O.
    std::unique_ptr<FileHandle> openFile(std::string_view name, FileHandle::Access access,
                                         FileHandle::Refusal& refusal) const;

    // A new file readable and writable by its owner only. Where the file system can, it is unnamed
    // (O_TMPFILE) and `name` comes back empty: nothing in the folder shows it until link(). Elsewhere it
    // is created under `prefix` plus twelve random characters with O_CREAT | O_EXCL | O_NOFOLLOW, and
    // `name` says which. Either way its descriptor is close-on-exec. Fails with FaultPoint::CreateTemp.
    struct NewFile {
        std::unique_ptr<FileHandle> handle;
        std::string name;
    };
    std::optional<NewFile> createFile(std::string_view prefix);
    // The named file createFile() falls back to, for callers that want a name from the start (and for
    // tests of that fallback): `prefix` plus twelve random characters of [A-Za-z0-9], tried afresh a few
    // times while the name is taken. Fails with FaultPoint::CreateTemp.
    std::optional<NewFile> createNamedFile(std::string_view prefix);
    // Gives an unnamed file from createFile() the name `name` (linkat through /proc/self/fd), never
    // replacing: false with EEXIST when the name is taken. Fails with FaultPoint::Rename.
    bool link(FileHandle& unnamed, std::string_view name);

    // Opens the folder `name` in this one, first creating it owner-only (0700, whatever the umask) when it
    // is missing and then syncing this folder, so that the new entry survives a power loss. A symbolic link
    // at `name` is not followed. Threads of the process make folders one at a time, so that none finds a
    // folder whose entry is not yet synced. Null on failure; the creation fails with FaultPoint::CreateTemp.
    std::unique_ptr<Folder> makeFolder(std::string_view name);

    // Renames `from` to `to`, both in this folder, never replacing an existing `to`: false with EEXIST
    // then. Where the file system has no RENAME_NOREPLACE (FAT), renameUnderFolderLock() (FileManager.h)
    // does it: under an exclusive flock on the folder (which every such rename here takes, moveItem()
    // too), `to` is checked absent and then renamed; another program that creates `to` between the check
    // and the rename is the race that remains there. Never a link and unlink: FAT has no hard links. Fails
    // with FaultPoint::Rename.
    bool renameNoReplace(std::string_view from, std::string_view to);
    // Removes the file `name`. Fails with FaultPoint::Unlink.
    bool remove(std::string_view name);
    // fsync of the folder: its entries survive a power loss. Fails with FaultPoint::Sync.
    bool sync();

    // Names of the entries that start with `prefix`, hidden ones included, sorted. None when the folder
    // cannot be read.
    std::optional<std::vector<std::string>> namesStartingWith(std::string_view prefix) const;

private:
    Folder(int descriptor, std::filesystem::path path);
    std::optional<NewFile> createNamedFileUnguarded(std::string_view prefix);

    int m_descriptor;
    std::filesystem::path m_path;
};

} // namespace platform
