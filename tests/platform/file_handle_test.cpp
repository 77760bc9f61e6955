// FileHandle: opening for update, positioned reads and writes, truncation and ownership of the descriptor.
#include "platform/FileHandle.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>

namespace {

using testsupport::readFile;
using testsupport::sampleBytes;

bool descriptorIsOpen(int fd) {
    return ::fcntl(fd, F_GETFD) != -1;
}

TEST(FileHandleTest, OpenForUpdateNeitherCreatesNorTruncates) {
    testsupport::TempDir dir;
    errno = 0;
    EXPECT_EQ(platform::FileHandle::openForUpdate(dir.path() / "missing"), nullptr);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));

    errno = 0;
    EXPECT_EQ(platform::FileHandle::openForUpdate(dir.path()), nullptr);
    EXPECT_EQ(errno, EISDIR);

    const auto content = sampleBytes(100);
    const auto file = dir.writeFile("f", content);
    auto handle = platform::FileHandle::openForUpdate(file);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(handle->offset(), 0u);
    EXPECT_TRUE(handle->close());
    EXPECT_TRUE(handle->close()) << "closing twice is harmless";
    EXPECT_EQ(readFile(file), content);
}

TEST(FileHandleTest, ReadsWritesSeeksAndTruncatesAtThePosition) {
    testsupport::TempDir dir;
    const auto content = sampleBytes(1000);
    const auto file = dir.writeFile("f", content);
    auto handle = platform::FileHandle::openForUpdate(file);
    ASSERT_NE(handle, nullptr);

    EXPECT_EQ(handle->seekToEnd(), 1000u);
    EXPECT_EQ(handle->offset(), 1000u);

    ASSERT_TRUE(handle->seek(990));
    std::vector<uint8_t> tail(32, 0xAA);
    EXPECT_EQ(handle->read(tail.data(), tail.size()), 10u) << "a read stops at the end of the file";
    EXPECT_TRUE(std::equal(content.begin() + 990, content.end(), tail.begin()));
    EXPECT_EQ(tail[10], 0xAA);
    EXPECT_EQ(handle->read(tail.data(), tail.size()), 0u);

    const std::vector<uint8_t> patch = {1, 2, 3};
    ASSERT_TRUE(handle->seek(1200));
    ASSERT_TRUE(handle->write(patch.data(), patch.size()));
    EXPECT_EQ(handle->offset(), 1203u);
    EXPECT_EQ(handle->seekToEnd(), 1203u) << "a write past the end extends the file";

    ASSERT_TRUE(handle->seek(500));
    EXPECT_EQ(handle->readData(100), std::vector<uint8_t>(content.begin() + 500, content.begin() + 600));
    ASSERT_TRUE(handle->seek(1203));
    EXPECT_EQ(handle->readData(1u << 30), std::vector<uint8_t>())
        << "a huge request past the end reads nothing";

    ASSERT_TRUE(handle->truncate(400));
    EXPECT_EQ(handle->seekToEnd(), 400u);
    EXPECT_EQ(readFile(file), std::vector<uint8_t>(content.begin(), content.begin() + 400));
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
    EXPECT_FALSE(closed.seek(0));
    EXPECT_EQ(closed.seekToEnd(), std::nullopt);
    EXPECT_EQ(closed.offset(), std::nullopt);
    uint8_t byte = 0;
    EXPECT_EQ(closed.read(&byte, 1), std::nullopt);
    EXPECT_FALSE(closed.write(&byte, 1));
    EXPECT_FALSE(closed.truncate(0));
}

} // namespace
