// SPDX-License-Identifier: GPL-3.0-or-later
// FileSystemTraits from the file system's magic number, the inode generation by ioctl, the kernel's age by
// uname.
#include "platform/FileSystemTraits.h"

#include <cstdio>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/utsname.h>
#include <sys/vfs.h>

namespace platform {

namespace {

// Not in every kernel's linux/magic.h.
constexpr unsigned long kCifsMagic = 0xFF534D42ul;
constexpr unsigned long kSmb2Magic = 0xFE534D42ul;

} // namespace

FileSystemTraits fileSystemTraits(int descriptor) {
    FileSystemTraits traits;
    struct statfs info {};
    if (::fstatfs(descriptor, &info) != 0) {
        return traits;
    }
    // f_type's width differs between architectures; the magic numbers all fit in 32 bits.
    switch (static_cast<unsigned long>(info.f_type) & 0xFFFFFFFFul) {
    case MSDOS_SUPER_MAGIC:
    case EXFAT_SUPER_MAGIC:
        traits.stableInodes = false;
        break;
    case FUSE_SUPER_MAGIC:
        traits.stableInodes = false;
        traits.leasesSeeEveryOpener = false;
        break;
    case NFS_SUPER_MAGIC:
    case SMB_SUPER_MAGIC:
    case kCifsMagic:
    case kSmb2Magic:
        traits.leasesSeeEveryOpener = false;
        break;
    case EXT4_SUPER_MAGIC: // ext2 and ext3 too: they share the magic number
    case TMPFS_MAGIC:
    case F2FS_SUPER_MAGIC:
        traits.copyOverwritesInPlace = true;
        break;
    default:
        break;
    }
    return traits;
}

std::optional<uint64_t> inodeGeneration(int descriptor) {
    // The request is declared with a long, but every file system that answers it writes an int.
    int generation = 0;
    if (::ioctl(descriptor, FS_IOC_GETVERSION, &generation) != 0) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(generation);
}

bool syncFileSystemReportsErrors() {
    static const bool reports = [] {
        struct utsname name {};
        int major = 0;
        int minor = 0;
        if (::uname(&name) != 0 || std::sscanf(name.release, "%d.%d", &major, &minor) != 2) {
            return false;
        }
        return major > 5 || (major == 5 && minor >= 8);
    }();
    return reports;
}

} // namespace platform
