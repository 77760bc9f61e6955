// SPDX-License-Identifier: GPL-3.0-or-later
// What the engine must know of the file system a file lives on, found at run time.
#pragma once

#include <cstdint>
#include <optional>

namespace platform {

struct FileSystemTraits {
    // Inode numbers survive a remount. False for FAT, exFAT and FUSE file systems, which may hand out
    // inode numbers per mount.
    bool stableInodes = true;
    // copy_file_range writes the bytes into the target's own blocks. False where it may share blocks
    // instead (btrfs, XFS, and anything not known to copy).
    bool copyOverwritesInPlace = false;
    // A write lease tells of every other opener. False where openers on other machines or behind a
    // user-space server never break it (NFS, SMB, FUSE), so a lease there would promise what it cannot.
    bool leasesSeeEveryOpener = true;
};

// From fstatfs(2) of the descriptor's file system; the defaults above when that fails.
FileSystemTraits fileSystemTraits(int descriptor);

// The inode generation (FS_IOC_GETVERSION): with the inode number it tells a file from a later one that
// reuses the number. None where the file system keeps none.
std::optional<uint64_t> inodeGeneration(int descriptor);

// Whether syncfs(2) reports write-back errors of the file system (Linux 5.8 and later), so that one call
// can stand for the fdatasync of many files.
bool syncFileSystemReportsErrors();

} // namespace platform
