// Which file a path names, independent of the path: device and inode.
#pragma once

#include <compare>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace platform {

struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    auto operator<=>(const FileIdentity&) const = default;
};

// Follows symbolic links; none when nothing exists at the path.
std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path);

} // namespace platform
