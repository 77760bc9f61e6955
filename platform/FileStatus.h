// SPDX-License-Identifier: GPL-3.0-or-later
// What the engine needs to know of an open file: which file it is, its kind, length, times and names.
#pragma once

#include "platform/FileIdentity.h"

#include <cstdint>
#include <optional>
#include <sys/types.h>

namespace platform {

struct FileStatus {
    FileIdentity identity;
    mode_t mode = 0; // file type and permission bits, as stat gives them
    uid_t owner = 0;
    uint64_t linkCount = 0;
    uint64_t length = 0;
    int64_t modifiedNanoseconds = 0; // since the epoch
    int64_t changedNanoseconds = 0;  // ctime since the epoch: any change to the content or the inode

    bool isRegularFile() const;
};

// statx(2) of what the descriptor refers to; none on failure, with errno set.
std::optional<FileStatus> statusOfDescriptor(int descriptor);
// statx(2) of the path, following a symbolic link at its end only when asked.
enum class FollowLinks { No, Yes };
std::optional<FileStatus> statusOfPath(const std::filesystem::path& path, FollowLinks follow);
// statx(2) of `name` relative to the folder descriptor (AT_FDCWD: the working directory), as statusOfPath.
std::optional<FileStatus> statusAt(int folder, const std::filesystem::path& name, FollowLinks follow);

} // namespace platform
