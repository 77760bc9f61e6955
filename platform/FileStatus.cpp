// SPDX-License-Identifier: GPL-3.0-or-later
// FileStatus through statx(2), which also reports the birth time where the file system keeps one.
#include "platform/FileStatus.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace platform {

namespace {

int64_t nanoseconds(const struct statx_timestamp& time) {
    return time.tv_sec * int64_t{1'000'000'000} + time.tv_nsec;
}

std::optional<FileStatus> query(int directory, const char* path, int flags) {
    struct statx info {};
    const unsigned wanted = STATX_BASIC_STATS | STATX_BTIME;
    if (::statx(directory, path, flags | AT_STATX_SYNC_AS_STAT, wanted, &info) != 0) {
        return std::nullopt;
    }
    FileStatus status;
    status.identity.device = makedev(info.stx_dev_major, info.stx_dev_minor);
    status.identity.inode = info.stx_ino;
    status.identity.birthNanoseconds = (info.stx_mask & STATX_BTIME) != 0 ? nanoseconds(info.stx_btime) : 0;
    status.mode = info.stx_mode;
    status.owner = info.stx_uid;
    status.linkCount = info.stx_nlink;
    status.length = info.stx_size;
    status.modifiedNanoseconds = nanoseconds(info.stx_mtime);
    status.changedNanoseconds = nanoseconds(info.stx_ctime);
    return status;
}

} // namespace

bool FileStatus::isRegularFile() const {
    return S_ISREG(mode);
}

std::optional<FileStatus> statusOfDescriptor(int descriptor) {
    return query(descriptor, "", AT_EMPTY_PATH);
}

std::optional<FileStatus> statusOfPath(const std::filesystem::path& path, FollowLinks follow) {
    return statusAt(AT_FDCWD, path, follow);
}

std::optional<FileStatus> statusAt(int folder, const std::filesystem::path& name, FollowLinks follow) {
    return query(folder, name.c_str(), follow == FollowLinks::Yes ? 0 : AT_SYMLINK_NOFOLLOW);
}

} // namespace platform
