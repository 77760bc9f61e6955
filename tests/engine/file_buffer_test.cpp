// SPDX-License-Identifier: GPL-3.0-or-later
// FileBuffer: opening and its probe, the read window's refills, direct reads and writes, truncation.
#include "engine/FileBuffer.h"

#include "engine/LogMessages.h"
#include "platform/FaultInjection.h"
#include "platform/Log.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

using engine::FileBuffer;
using platform::FaultInjector;
using platform::FaultPoint;
using testsupport::readFile;
using testsupport::sampleBytes;

constexpr uint64_t kWindow = FileBuffer::kWindowLength;
constexpr uint64_t kAlignment = FileBuffer::kWindowAlignment;

std::vector<uint8_t> slice(const std::vector<uint8_t>& bytes, size_t begin, size_t end) {
    return {bytes.begin() + static_cast<ptrdiff_t>(begin), bytes.begin() + static_cast<ptrdiff_t>(end)};
}

class FileBufferTest : public testing::Test {
protected:
    // A buffer over a fresh file with the given content.
    std::unique_ptr<FileBuffer> open(const std::vector<uint8_t>& content) {
        m_file = m_dir.writeFile("file", content);
        auto buffer = FileBuffer::initWithURL(m_file);
        EXPECT_NE(buffer, nullptr);
        return buffer;
    }

    testsupport::TempDir m_dir;
    std::filesystem::path m_file;
};

TEST_F(FileBufferTest, EmptyFileOpensWithoutProbeAndReadsNothing) {
    m_file = m_dir.writeFile("empty", {});
    FaultInjector counter(FaultPoint::Read, INT_MAX);
    auto buffer = FileBuffer::initWithURL(m_file);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(counter.callCount(FaultPoint::Read), 0);
    EXPECT_EQ(counter.callCount(FaultPoint::Write), 0);
    EXPECT_EQ(buffer->fileLength(), 0u);

    std::vector<uint8_t> dest(16, 0xAA);
    EXPECT_TRUE(buffer->getBytes(dest.data(), dest.size(), 0));
    EXPECT_TRUE(buffer->getBytes(dest.data(), dest.size(), 100));
    EXPECT_EQ(dest, std::vector<uint8_t>(16, 0xAA));
    EXPECT_EQ(counter.callCount(FaultPoint::Read), 0);
}

TEST_F(FileBufferTest, MissingPathAndDirectoryFailWithTheUnknownReadError) {
    for (const auto& url : {m_dir.path() / "missing", m_dir.path()}) {
        engine::FileError error;
        EXPECT_EQ(FileBuffer::initWithURL(url, &error), nullptr) << url;
        EXPECT_EQ(error.code, 256);
        EXPECT_EQ(error.url, url);
        EXPECT_EQ(FileBuffer::initWithURL(url), nullptr) << "the error place is optional";
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir.path() / "missing"));
}

// Every open, lock, read and write made while opening is essential: failing any one of them refuses the file
// and leaves it as it was.
TEST_F(FileBufferTest, ProbeFailsWhenAnyCallWhileOpeningFails) {
    const auto content = sampleBytes(3000);
    m_file = m_dir.writeFile("file", content);
    for (const FaultPoint point : {FaultPoint::Open, FaultPoint::Lock, FaultPoint::Read, FaultPoint::Write}) {
        int calls = 0;
        {
            FaultInjector counter(point, INT_MAX);
            ASSERT_NE(FileBuffer::initWithURL(m_file), nullptr);
            calls = counter.callCount(point);
        }
        EXPECT_GE(calls, 1) << "point " << static_cast<int>(point);
        for (int nth = 1; nth <= calls; ++nth) {
            SCOPED_TRACE("point " + std::to_string(static_cast<int>(point)) + " call " + std::to_string(nth));
            FaultInjector injector(point, nth);
            engine::FileError error;
            EXPECT_EQ(FileBuffer::initWithURL(m_file, &error), nullptr);
            EXPECT_EQ(error.code, engine::kFileReadUnknownError);
            EXPECT_EQ(error.url, m_file);
        }
    }
    EXPECT_EQ(readFile(m_file), content);
}

TEST_F(FileBufferTest, OpeningRewritesTheLastByte) {
    const auto content = sampleBytes(700);
    m_file = m_dir.writeFile("file", content);
    const timespec old[2] = {{946684800, 0}, {946684800, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, m_file.c_str(), old, 0), 0);

    auto buffer = FileBuffer::initWithURL(m_file);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->fileLength(), 700u);
    struct stat status {};
    ASSERT_EQ(::stat(m_file.c_str(), &status), 0);
    EXPECT_NE(status.st_mtim.tv_sec, old[1].tv_sec);
    EXPECT_EQ(readFile(m_file), content);
}

TEST_F(FileBufferTest, SequentialSmallReadsRefillOncePerWindow) {
    const auto content = sampleBytes(kWindow + 6);
    auto buffer = open(content);
    FaultInjector counter(FaultPoint::Read, INT_MAX);

    std::vector<uint8_t> read;
    for (uint64_t offset = 0; offset < kWindow; offset += 16) {
        uint8_t block[16];
        ASSERT_TRUE(buffer->getBytes(block, 16, offset)) << offset;
        read.insert(read.end(), block, block + 16);
    }
    EXPECT_EQ(counter.callCount(FaultPoint::Read), 1);

    std::vector<uint8_t> last(16, 0xAA);
    EXPECT_TRUE(buffer->getBytes(last.data(), last.size(), kWindow));
    EXPECT_EQ(counter.callCount(FaultPoint::Read), 2);
    read.insert(read.end(), last.begin(), last.begin() + 6);
    EXPECT_EQ(read, content);
    EXPECT_EQ(slice(last, 6, 16), std::vector<uint8_t>(10, 0xAA)) << "bytes past the end are left alone";
}

// A request that straddles the window's edge takes the covered part from the window as it was filled (the
// file is changed behind it to tell the two sources apart) and refills once, at an aligned offset, for the
// rest; the new window then serves the last 16 bytes of its length without another read.
TEST_F(FileBufferTest, StraddlingRequestsUseTheWindowAndOneRefill) {
    struct Case {
        uint64_t windowAt;
        uint64_t offset;
        uint64_t length;
        uint64_t fromOldWindowBegin;
        uint64_t fromOldWindowEnd;
        uint64_t newWindowAt;
    };
    const Case cases[] = {
        // head from the window at 0, tail after a refill at the window's end
        {0, kWindow - 4, 16, kWindow - 4, kWindow, kWindow},
        // tail from the window further on, head after a refill at the aligned offset before it
        {kWindow, kWindow - 24, 40, kWindow, kWindow + 16, kWindow - kAlignment},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("request at " + std::to_string(c.offset));
        const auto before = sampleBytes(3 * kWindow, 1);
        auto buffer = open(before);
        uint8_t primer[16];
        ASSERT_TRUE(buffer->getBytes(primer, 16, c.windowAt));
        const auto after = sampleBytes(3 * kWindow, 2);
        testsupport::writeFile(m_file, after);

        FaultInjector counter(FaultPoint::Read, INT_MAX);
        std::vector<uint8_t> dest(c.length);
        EXPECT_TRUE(buffer->getBytes(dest.data(), c.length, c.offset));
        EXPECT_EQ(counter.callCount(FaultPoint::Read), 1);
        for (uint64_t i = 0; i < c.length; ++i) {
            const uint64_t at = c.offset + i;
            const bool old = at >= c.fromOldWindowBegin && at < c.fromOldWindowEnd;
            ASSERT_EQ(dest[i], (old ? before : after)[at]) << "offset " << at;
        }
        uint8_t last[16];
        EXPECT_TRUE(buffer->getBytes(last, 16, c.newWindowAt + kWindow - 16));
        EXPECT_EQ(counter.callCount(FaultPoint::Read), 1);
        EXPECT_TRUE(std::equal(last, last + 16,
                               after.begin() + static_cast<ptrdiff_t>(c.newWindowAt + kWindow - 16)));
    }
}

// Reads as long as a chunk of the operations' go straight into the destination: no copy through the window.
TEST_F(FileBufferTest, LongReadsBypassTheWindow) {
    const auto content = sampleBytes(3 * kWindow + 100);
    auto buffer = open(content);
    FaultInjector counter(FaultPoint::Read, INT_MAX);
    std::vector<uint8_t> dest(kWindow);
    for (uint64_t offset = 0; offset < content.size(); offset += dest.size()) {
        const uint64_t length = std::min<uint64_t>(dest.size(), content.size() - offset);
        ASSERT_TRUE(buffer->getBytes(dest.data(), length, offset));
        ASSERT_TRUE(std::equal(dest.begin(), dest.begin() + static_cast<ptrdiff_t>(length),
                               content.begin() + static_cast<ptrdiff_t>(offset)));
    }
    EXPECT_LE(counter.callCount(FaultPoint::Read), 4) << "one read per chunk at most";
    std::filesystem::resize_file(m_file, kWindow);
    EXPECT_FALSE(buffer->getBytes(dest.data(), dest.size(), 2 * kWindow)) << "the file has become shorter";
}

TEST_F(FileBufferTest, GetBytesFailsOnlyAfterTwoRefillsWithNothingCopied) {
    const auto content = sampleBytes(2 * kWindow);
    auto buffer = open(content);
    uint8_t primer[16];
    ASSERT_TRUE(buffer->getBytes(primer, 16, 0));

    std::vector<uint8_t> dest(16, 0xAA);
    {
        FaultInjector injector(FaultPoint::Read, 1);
        EXPECT_FALSE(buffer->getBytes(dest.data(), dest.size(), kWindow - 4));
        EXPECT_EQ(injector.callCount(FaultPoint::Read), 2) << "the second refill is still made";
    }
    EXPECT_EQ(slice(dest, 0, 4), slice(content, kWindow - 4, kWindow))
        << "what was copied before the failure stays";
    EXPECT_EQ(slice(dest, 4, 16), std::vector<uint8_t>(12, 0xAA));

    std::filesystem::resize_file(m_file, 100);
    EXPECT_FALSE(buffer->getBytes(dest.data(), dest.size(), 200)) << "the file has become shorter";
}

TEST_F(FileBufferTest, RequestsPastTheLengthAtOpeningCopyOnlyWhatIsBefore) {
    const auto content = sampleBytes(100);
    auto buffer = open(content);
    std::vector<uint8_t> dest(16, 0xAA);
    EXPECT_TRUE(buffer->getBytes(dest.data(), dest.size(), 90));
    EXPECT_EQ(slice(dest, 0, 10), slice(content, 90, 100));
    EXPECT_EQ(slice(dest, 10, 16), std::vector<uint8_t>(6, 0xAA));

    ASSERT_TRUE(buffer->writeData(sampleBytes(50, 7), 100));
    std::vector<uint8_t> untouched(16, 0xAA);
    EXPECT_TRUE(buffer->getBytes(untouched.data(), untouched.size(), 100)) << "writes do not move fileLength";
    EXPECT_EQ(untouched, std::vector<uint8_t>(16, 0xAA));
    EXPECT_EQ(buffer->fileLength(), 100u);
}

TEST_F(FileBufferTest, ReadDataAtOffsetGoesToTheFile) {
    const auto content = sampleBytes(1000);
    auto buffer = open(content);
    EXPECT_EQ(buffer->readDataAtOffset(100, 50), slice(content, 100, 150));
    EXPECT_EQ(buffer->readDataAtOffset(990, 50), slice(content, 990, 1000));
    EXPECT_EQ(buffer->readDataAtOffset(1000, 50), std::vector<uint8_t>());
    EXPECT_EQ(buffer->readDataAtOffset(5000, 50), std::vector<uint8_t>());
    FaultInjector injector(FaultPoint::Read, 1);
    EXPECT_EQ(buffer->readDataAtOffset(0, 16), std::nullopt);
}

TEST_F(FileBufferTest, DataAtOffsetBypassesTheWindowAboveHalfAKilobyteAndZeroFillsTheRest) {
    const auto content = sampleBytes(1000);
    auto buffer = open(content);
    ASSERT_EQ(buffer->dataAtOffset(0, 16), slice(content, 0, 16)); // window now at 0
    const auto changed = sampleBytes(1000, 9);
    testsupport::writeFile(m_file, changed);

    FaultInjector counter(FaultPoint::Read, INT_MAX);
    EXPECT_EQ(buffer->dataAtOffset(100, 600), slice(changed, 100, 700));
    EXPECT_EQ(counter.callCount(FaultPoint::Read), 1);
    EXPECT_EQ(buffer->dataAtOffset(100, 512), slice(content, 100, 612))
        << "512 bytes still come from the window";
    EXPECT_EQ(counter.callCount(FaultPoint::Read), 1);

    EXPECT_EQ(buffer->dataAtOffset(1000, 10), std::vector<uint8_t>(10, 0));
    auto straddling = slice(content, 996, 1000);
    straddling.resize(10, 0);
    EXPECT_EQ(buffer->dataAtOffset(996, 10), straddling);
}

TEST_F(FileBufferTest, LittleEndianReaders) {
    auto buffer = open({0x01, 0x02, 0x03, 0x04, 0x05, 0x06});
    EXPECT_EQ(buffer->byteAtOffset(1), 0x02);
    EXPECT_EQ(buffer->littleUnsignedShortAtOffset(1), 0x0302);
    EXPECT_EQ(buffer->littleUnsignedIntAtOffset(1), 0x05040302u);
    EXPECT_EQ(buffer->littleUnsignedIntAtOffset(4), 0x0605u) << "bytes past the end count as zero";
    EXPECT_EQ(buffer->byteAtOffset(6), 0);
}

TEST_F(FileBufferTest, TruncationCutsAfterTheLastWrite) {
    const auto content = sampleBytes(3000);
    auto buffer = open(content);
    const auto replacement = sampleBytes(1536, 5);
    for (size_t offset = 0; offset < replacement.size(); offset += 512) {
        ASSERT_TRUE(buffer->writeData(slice(replacement, offset, offset + 512), offset));
    }
    EXPECT_TRUE(buffer->truncateFileAtCurrentOffset());
    EXPECT_EQ(readFile(m_file), replacement);
    EXPECT_EQ(buffer->fileLength(), 3000u);

    ASSERT_TRUE(buffer->writeData({}, 0)) << "an empty write only moves the position";
    EXPECT_TRUE(buffer->truncateFileAtCurrentOffset());
    EXPECT_EQ(std::filesystem::file_size(m_file), 0u);
}

TEST_F(FileBufferTest, FailedWritesAndTruncationReturnFalse) {
    const auto content = sampleBytes(600);
    auto buffer = open(content);
    {
        FaultInjector injector(FaultPoint::Write, 1);
        EXPECT_FALSE(buffer->writeData(sampleBytes(16, 3), 0));
    }
    EXPECT_EQ(readFile(m_file), content);

    platform::LogCapture capture;
    ASSERT_TRUE(buffer->writeData(sampleBytes(16, 3), 100));
    {
        FaultInjector injector(FaultPoint::Truncate, 1);
        EXPECT_FALSE(buffer->truncateFileAtCurrentOffset());
    }
    EXPECT_EQ(capture.lines(), std::vector<std::string>{std::string(engine::logmsg::kCouldNotTruncateFile)});
    EXPECT_EQ(std::filesystem::file_size(m_file), 600u);
}

TEST_F(FileBufferTest, CloseIsFinal) {
    auto buffer = open(sampleBytes(100));
    buffer->close();
    buffer->close();
    EXPECT_EQ(buffer->readDataAtOffset(0, 1), std::nullopt);
    EXPECT_FALSE(buffer->writeData({1}, 0));
    platform::LogCapture capture;
    EXPECT_FALSE(buffer->truncateFileAtCurrentOffset());
}

} // namespace
