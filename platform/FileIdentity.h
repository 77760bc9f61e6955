// SPDX-License-Identifier: GPL-3.0-or-later
// Which file a path names, independent of the path: device, inode and birth time.
#pragma once

#include <compare>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace platform {

// The birth time tells a file from a later one that reuses its inode number. It is 0 where the file
// system does not keep one, so identities from such a file system compare by device and inode alone.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t birthNanoseconds = 0;
    auto operator<=>(const FileIdentity&) const = default;
};

// Follows symbolic links; none when nothing exists at the path.
std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path);

} // namespace platform
