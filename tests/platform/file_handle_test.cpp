// SPDX-License-Identifier: GPL-3.0-or-later
// FileHandle: opening only regular files, positioned reads and writes, truncation, locks, ownership.
#include "platform/FileHandle.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

using testsupport::readFile;
using testsupport::sampleBytes;

bool descriptorIsOpen(int fd) {
    return ::fcntl(fd, F_GETFD) != -1;
}

using platform::FileHandle;

// Only a regular file is opened for I/O; everything else is refused for what it is, and nothing is
// created, truncated or followed.
TEST(FileHandleTest, OpenRegularOpensOnlyRegularFilesAndFollowsNoLink) {
    testsupport::TempDir dir;
    const auto content = sampleBytes(100);
    const auto file = dir.writeFile("f", content);
    std::filesystem::create_symlink(file, dir.path() / "link");
    ASSERT_EQ(::mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
    struct Case {
        const char* name;
        FileHandle::Refusal refusal;
        int error;
    };
    const Case cases[] = {
        {"f", FileHandle::Refusal::None, 0},
        {"link", FileHandle::Refusal::SymbolicLink, 0},
        {"fifo", FileHandle::Refusal::NotRegularFile, 0},
        {".", FileHandle::Refusal::NotRegularFile, 0},
        {"missing", FileHandle::Refusal::SystemError, ENOENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FileHandle::Refusal refusal = FileHandle::Refusal::SystemError;
        errno = 0;
        const auto handle =
            FileHandle::openRegular(dir.path() / c.name, FileHandle::Access::ReadWrite, refusal);
        EXPECT_EQ(handle != nullptr, c.refusal == FileHandle::Refusal::None);
        EXPECT_EQ(refusal, c.refusal);
        if (c.error != 0) {
            EXPECT_EQ(errno, c.error);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
    EXPECT_EQ(readFile(file), content);
}

TEST(FileHandleTest, PositionedReadsAndWritesAndTruncation) {
    testsupport::TempDir dir;
    const auto content = sampleBytes(1000);
    const auto file = dir.writeFile("f", content);
    auto handle = FileHandle::openNoFollow(file, FileHandle::Access::ReadWrite);
    ASSERT_NE(handle, nullptr);

    std::vector<uint8_t> tail(32, 0xAA);
    EXPECT_EQ(handle->readAt(tail.data(), tail.size(), 990), 10u) << "a read stops at the end of the file";
    EXPECT_TRUE(std::equal(content.begin() + 990, content.end(), tail.begin()));
    EXPECT_EQ(tail[10], 0xAA);
    EXPECT_EQ(handle->readAt(tail.data(), tail.size(), 1000), 0u);

    const std::vector<uint8_t> patch = {1, 2, 3};
    ASSERT_TRUE(handle->writeAt(patch.data(), patch.size(), 1200));
    EXPECT_EQ(std::filesystem::file_size(file), 1203u) << "a write past the end extends the file";
    EXPECT_EQ(handle->readDataAt(500, 100),
              std::vector<uint8_t>(content.begin() + 500, content.begin() + 600));
    EXPECT_EQ(handle->readDataAt(1203, 1u << 30), std::vector<uint8_t>()) << "a huge request past the end";

    ASSERT_TRUE(handle->truncate(400));
    EXPECT_EQ(readFile(file), std::vector<uint8_t>(content.begin(), content.begin() + 400));
    ASSERT_TRUE(handle->allocate(4096));
    EXPECT_EQ(std::filesystem::file_size(file), 4096u) << "reserving space extends the file";
    EXPECT_TRUE(handle->sync());
    EXPECT_TRUE(handle->syncFileSystem());
}

// An open-file-description lock: a second open of the file, in this process or another, finds it held,
// and it goes with the handle that took it.
TEST(FileHandleTest, TheLockBelongsToTheOpenFile) {
    testsupport::TempDir dir;
    const auto file = dir.writeFile("f", sampleBytes(10));
    auto first = FileHandle::openNoFollow(file, FileHandle::Access::ReadWrite);
    auto second = FileHandle::openNoFollow(file, FileHandle::Access::ReadWrite);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->tryLock(), FileHandle::LockResult::Locked);
    EXPECT_EQ(first->tryLock(), FileHandle::LockResult::Locked) << "taking it again is harmless";
    EXPECT_EQ(second->tryLock(), FileHandle::LockResult::Busy);
    first->close();
    EXPECT_EQ(second->tryLock(), FileHandle::LockResult::Locked);
}

// Looking for another open file's lock, even from a read-only open, takes none of its own.
TEST(FileHandleTest, ALockIsSeenFromAnotherOpenFileWithoutBeingTaken) {
    testsupport::TempDir dir;
    const auto file = dir.writeFile("f", sampleBytes(10));
    auto holder = FileHandle::openNoFollow(file, FileHandle::Access::ReadWrite);
    auto looker = FileHandle::openNoFollow(file, FileHandle::Access::ReadOnly);
    ASSERT_NE(holder, nullptr);
    ASSERT_NE(looker, nullptr);
    EXPECT_FALSE(looker->lockedElsewhere());
    EXPECT_EQ(holder->tryLock(), FileHandle::LockResult::Locked) << "the look left no lock behind";
    EXPECT_TRUE(looker->lockedElsewhere());
    EXPECT_FALSE(holder->lockedElsewhere()) << "its own lock is not another's";
    holder->close();
    EXPECT_FALSE(looker->lockedElsewhere());
}

TEST(FileHandleTest, OwnsItsDescriptorAcrossMovesAndClosesOnce) {
    testsupport::TempDir dir;
    const auto file = dir.writeFile("f", sampleBytes(10));
    const int fd = ::open(file.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    {
        platform::FileHandle first(fd);
        platform::FileHandle second(std::move(first));
        EXPECT_EQ(first.descriptor(), -1);
        EXPECT_EQ(second.descriptor(), fd);
        EXPECT_TRUE(first.close()) << "closing a moved-from handle is harmless";
        EXPECT_TRUE(descriptorIsOpen(fd));
    }
    EXPECT_FALSE(descriptorIsOpen(fd)) << "destruction closes the descriptor";

    platform::FileHandle closed(-1);
    EXPECT_TRUE(closed.close());
    uint8_t byte = 0;
    EXPECT_EQ(closed.readAt(&byte, 1, 0), std::nullopt);
    EXPECT_FALSE(closed.writeAt(&byte, 1, 0));
    EXPECT_FALSE(closed.truncate(0));
    EXPECT_FALSE(closed.sync());
}

} // namespace
