// SPDX-License-Identifier: GPL-3.0-or-later
// File system traits by magic number, inode generations, and whether syncfs reports write-back errors.
#include "platform/FileSystemTraits.h"

#include "platform/FileHandle.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/utsname.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

// Rows whose folder is not on the file system named are skipped: only the file systems at hand can be
// looked at without mounting one.
TEST(FileSystemTraitsTest, FromTheMagicNumber) {
    testsupport::TempDir dir;
    struct Case {
        std::filesystem::path folder;
        unsigned long magic;
        bool stableInodes;
        bool copyOverwritesInPlace;
    };
    const Case cases[] = {
        {dir.path(), EXT4_SUPER_MAGIC, true, true},
        {"/dev/shm", TMPFS_MAGIC, true, true},
        {"/proc", PROC_SUPER_MAGIC, true, false},
        {"/sys", SYSFS_MAGIC, true, false},
    };
    int looked = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder.string());
        const platform::FileHandle folder(::open(c.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        struct statfs info {};
        if (folder.descriptor() < 0 || ::fstatfs(folder.descriptor(), &info) != 0 ||
            static_cast<unsigned long>(info.f_type) != c.magic) {
            continue;
        }
        ++looked;
        const platform::FileSystemTraits traits = platform::fileSystemTraits(folder.descriptor());
        EXPECT_EQ(traits.stableInodes, c.stableInodes);
        EXPECT_EQ(traits.copyOverwritesInPlace, c.copyOverwritesInPlace);
    }
    if (looked == 0) {
        GTEST_SKIP() << "none of the file systems in the table is here";
    }
    const platform::FileSystemTraits defaults = platform::fileSystemTraits(-1);
    EXPECT_TRUE(defaults.stableInodes);
    EXPECT_FALSE(defaults.copyOverwritesInPlace);
}

TEST(FileSystemTraitsTest, InodeGenerationWhereTheFileSystemKeepsOne) {
    int pipe[2];
    ASSERT_EQ(::pipe2(pipe, O_CLOEXEC), 0);
    const platform::FileHandle reader(pipe[0]);
    const platform::FileHandle writer(pipe[1]);
    EXPECT_EQ(platform::inodeGeneration(reader.descriptor()), std::nullopt);

    testsupport::TempDir dir;
    const auto handle =
        platform::FileHandle::openNoFollow(dir.writeFile("f", {}), platform::FileHandle::Access::ReadOnly);
    ASSERT_NE(handle, nullptr);
    const auto generation = platform::inodeGeneration(handle->descriptor());
    struct statfs info {};
    ASSERT_EQ(::fstatfs(handle->descriptor(), &info), 0);
    if (info.f_type != EXT4_SUPER_MAGIC && !generation) {
        GTEST_SKIP() << "no inode generations on " << dir.path();
    }
    ASSERT_TRUE(generation.has_value()) << "ext4 keeps them";
    EXPECT_EQ(platform::inodeGeneration(handle->descriptor()), generation) << "asked twice";
}

TEST(FileSystemTraitsTest, SyncFileSystemReportsErrorsFromLinux58) {
    struct utsname name {};
    ASSERT_EQ(::uname(&name), 0);
    int major = 0;
    int minor = 0;
    ASSERT_EQ(std::sscanf(name.release, "%d.%d", &major, &minor), 2) << name.release;
    EXPECT_EQ(platform::syncFileSystemReportsErrors(), major * 1000 + minor >= 5008) << name.release;
}

} // namespace
