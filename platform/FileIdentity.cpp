// SPDX-License-Identifier: GPL-3.0-or-later
// The identity of the file a path names, through statx.
#include "platform/FileIdentity.h"

#include "platform/FileStatus.h"

namespace platform {

std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path) {
    const auto status = statusOfPath(path, FollowLinks::Yes);
    if (!status) {
        return std::nullopt;
    }
    return status->identity;
}

} // namespace platform
