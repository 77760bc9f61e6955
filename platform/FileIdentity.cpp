// Device and inode of a path through stat(2).
#include "platform/FileIdentity.h"

#include <sys/stat.h>

namespace platform {

std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

} // namespace platform
