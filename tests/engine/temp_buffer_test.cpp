// TempBuffer: the temporary file's name and lifetime, the in-memory tail, reads back, and every failure path.
#include "engine/TempBuffer.h"

#include "engine/LogMessages.h"
#include "platform/FaultInjection.h"
#include "platform/FileHandle.h"
#include "platform/Log.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>

namespace {

using engine::TempBuffer;
using platform::FaultInjector;
using platform::FaultPoint;
using testsupport::readFile;
using testsupport::sampleBytes;

std::vector<std::string> lines(std::initializer_list<std::string_view> messages) {
    return {messages.begin(), messages.end()};
}

std::vector<uint8_t> slice(const std::vector<uint8_t>& bytes, size_t begin, size_t end) {
    return {bytes.begin() + static_cast<ptrdiff_t>(begin), bytes.begin() + static_cast<ptrdiff_t>(end)};
}

// Every test runs with its own state directory, so that the replacement files can be watched.
constexpr size_t kLimit = TempBuffer::kMemoryLimit;

class TempBufferTest : public testing::Test {
protected:
    std::unique_ptr<TempBuffer> make() {
        auto buffer = TempBuffer::init();
        EXPECT_NE(buffer, nullptr);
        return buffer;
    }
    uintmax_t sizeOnDisk(const TempBuffer& buffer) const { return std::filesystem::file_size(buffer.path()); }
    void append(TempBuffer& buffer, const std::vector<uint8_t>& bytes) {
        buffer.appendBytes(bytes.data(), bytes.size());
    }

    std::vector<std::string> stateNames() const { return testsupport::listNames(m_state); }

    testsupport::TempDir m_dir;
    testsupport::ScopedEnv m_stateHome{"XDG_STATE_HOME", m_dir.path().string()};
    const std::filesystem::path m_state = m_dir.path() / "brisklet";
};

TEST_F(TempBufferTest, CreatesAPrivateLockedRandomlyNamedFileInThePrivateStateDirectory) {
    auto first = make();
    auto second = make();
    EXPECT_EQ(first->path().parent_path(), m_state);
    EXPECT_EQ(std::filesystem::status(m_state).permissions(), std::filesystem::perms::owner_all);
    auto other = platform::FileHandle::openNoFollow(first->path(), platform::FileHandle::Access::ReadWrite);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->tryLock(), platform::FileHandle::LockResult::Busy) << "a live run's file is locked";
    const std::string name = first->path().filename().string();
    ASSERT_EQ(name.size(), 14u) << name;
    EXPECT_TRUE(name.starts_with("kov.")) << name;
    EXPECT_TRUE(std::all_of(name.begin() + 4, name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0;
    })) << name;
    EXPECT_FALSE(name.starts_with("kov.XXXX")) << "all ten characters are drawn, not only the last six";
    EXPECT_NE(first->path(), second->path());

    struct stat status {};
    ASSERT_EQ(::stat(first->path().c_str(), &status), 0);
    EXPECT_TRUE(S_ISREG(status.st_mode));
    EXPECT_EQ(status.st_mode & 07777, 0600u);
    EXPECT_EQ(status.st_size, 0);
}

TEST_F(TempBufferTest, CloseAndDestructionDeleteTheFile) {
    platform::LogCapture capture;
    auto closed = make();
    closed->close();
    EXPECT_FALSE(std::filesystem::exists(closed->path()));
    closed->close();
    {
        auto dropped = make();
        append(*dropped, sampleBytes(600));
    }
    closed.reset();
    EXPECT_TRUE(stateNames().empty());
    EXPECT_TRUE(capture.lines().empty());
}

TEST_F(TempBufferTest, KeepsUpToItsLimitInMemoryAndWritesAllOnTheNextByte) {
    auto buffer = make();
    FaultInjector counter(FaultPoint::Write, INT_MAX);
    const auto content = sampleBytes(kLimit + 1);
    buffer->appendBytes(content.data(), kLimit);
    EXPECT_EQ(sizeOnDisk(*buffer), 0u);
    EXPECT_EQ(buffer->length(), kLimit);

    buffer->appendBytes(content.data() + kLimit, 1);
    EXPECT_EQ(counter.callCount(FaultPoint::Write), 1);
    EXPECT_EQ(readFile(buffer->path()), content);
    EXPECT_EQ(buffer->length(), kLimit + 1);
}

TEST_F(TempBufferTest, SmallAppendsReachTheFileInLargeWrites) {
    auto buffer = make();
    FaultInjector counter(FaultPoint::Write, INT_MAX);
    const auto content = sampleBytes(kLimit + 16);
    for (size_t offset = 0; offset < kLimit; offset += 16) {
        buffer->appendBytes(content.data() + offset, 16);
    }
    EXPECT_EQ(sizeOnDisk(*buffer), 0u);
    buffer->appendBytes(content.data() + kLimit, 16);
    EXPECT_EQ(counter.callCount(FaultPoint::Write), 1);
    EXPECT_EQ(readFile(buffer->path()), content);
}

TEST_F(TempBufferTest, SmallContentIsReadBackFromMemory) {
    auto buffer = make();
    const auto content = sampleBytes(48);
    append(*buffer, content);
    EXPECT_EQ(buffer->readDataAtOffset(0, 512), content);
    EXPECT_EQ(buffer->readDataAtOffset(16, 16), slice(content, 16, 32));
    EXPECT_EQ(sizeOnDisk(*buffer), 0u) << "reading does not write small content out";
}

TEST_F(TempBufferTest, ContentSplitBetweenFileAndMemoryIsReadBackFromTheFile) {
    auto buffer = make();
    const size_t total = kLimit + 616;
    const auto content = sampleBytes(total);
    buffer->appendBytes(content.data(), total - 16);
    buffer->appendBytes(content.data() + total - 16, 16);
    EXPECT_EQ(sizeOnDisk(*buffer), total - 16) << "a large piece goes straight to the file";
    EXPECT_EQ(buffer->length(), total);

    EXPECT_EQ(buffer->readDataAtOffset(total - 104, 512), slice(content, total - 104, total));
    EXPECT_EQ(sizeOnDisk(*buffer), total);
    EXPECT_EQ(buffer->readDataAtOffset(0, 512), slice(content, 0, 512));
    EXPECT_EQ(buffer->readDataAtOffset(total, 512), std::vector<uint8_t>());
    EXPECT_EQ(buffer->length(), total);
}

TEST_F(TempBufferTest, NoFileMeansNoBuffer) {
    const auto notADirectory = m_dir.writeFile("file", {});
    for (const bool injected : {true, false}) {
        SCOPED_TRACE(injected ? "injected failure" : "the state directory cannot be made");
        platform::LogCapture capture;
        std::unique_ptr<TempBuffer> buffer;
        if (injected) {
            FaultInjector injector(FaultPoint::CreateTemp, 1);
            buffer = TempBuffer::init();
            EXPECT_EQ(capture.lines(), lines({engine::logmsg::kMkstempFailed}));
            EXPECT_TRUE(stateNames().empty());
        } else {
            testsupport::ScopedEnv env("XDG_STATE_HOME", notADirectory.string());
            buffer = TempBuffer::init();
            EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                           engine::logmsg::stateDirectoryUnavailable(std::strerror(ENOTDIR)),
                                           std::string(engine::logmsg::kMkstempFailed)}));
        }
        EXPECT_EQ(buffer, nullptr);
    }
}

// After a failed dump the file may lack bytes (or, after a partial write, repeat them once retried), so the
// buffer hands nothing out, stops writing, and drops later appends instead of holding them in memory.
TEST_F(TempBufferTest, AFailedDumpStopsTheBuffer) {
    platform::LogCapture capture;
    auto buffer = make();
    const auto content = sampleBytes(kLimit + 1);
    {
        FaultInjector injector(FaultPoint::Write, 1);
        buffer->appendBytes(content.data(), kLimit + 1);
    }
    for (int i = 0; i < 100; ++i) {
        buffer->appendBytes(content.data(), kLimit + 1);
    }
    EXPECT_EQ(sizeOnDisk(*buffer), 0u) << "nothing is retried";
    EXPECT_TRUE(buffer->failed());
    EXPECT_EQ(buffer->length(), 0u) << "nothing is held in memory";
    EXPECT_FALSE(buffer->sync());
    EXPECT_EQ(buffer->readDataAtOffset(0, 512), std::nullopt);
    EXPECT_EQ(capture.lines(),
              lines({engine::logmsg::kCouldNotWriteToTempFile, engine::logmsg::kCouldNotReadFromTmpFile}))
        << "one line for the failure, however many appends follow";
    buffer.reset();
    EXPECT_TRUE(stateNames().empty());
}

TEST_F(TempBufferTest, SyncWritesEverythingAndKeepLeavesTheFileInPlace) {
    platform::LogCapture capture;
    const auto content = sampleBytes(720);
    std::filesystem::path keptPath;
    {
        auto buffer = make();
        append(*buffer, content);
        EXPECT_TRUE(buffer->sync());
        EXPECT_EQ(sizeOnDisk(*buffer), 720u);
        buffer->keep(true);
        keptPath = buffer->path();
    }
    EXPECT_EQ(readFile(keptPath), content);

    auto unsynced = make();
    append(*unsynced, content);
    {
        FaultInjector injector(FaultPoint::Sync, 1);
        EXPECT_FALSE(unsynced->sync());
    }
    EXPECT_TRUE(unsynced->failed()) << "data that may not be on the disk is never handed out as durable";
    unsynced->close();
    EXPECT_EQ(stateNames(), std::vector<std::string>{keptPath.filename().string()});
    EXPECT_EQ(capture.lines(), lines({engine::logmsg::kCouldNotWriteToTempFile}));
}

TEST_F(TempBufferTest, AFailedReadGivesNone) {
    auto buffer = make();
    append(*buffer, sampleBytes(kLimit + 100));
    platform::LogCapture capture;
    {
        FaultInjector injector(FaultPoint::Read, 1);
        EXPECT_EQ(buffer->readDataAtOffset(0, 512), std::nullopt);
    }
    EXPECT_EQ(capture.lines(), lines({engine::logmsg::kCouldNotReadFromTmpFile}));
    EXPECT_FALSE(buffer->failed()) << "a failed read leaves the content intact";
    EXPECT_EQ(buffer->readDataAtOffset(0, 16), sampleBytes(16));
}

TEST_F(TempBufferTest, AFailedDeletionIsLoggedWithItsReason) {
    platform::LogCapture capture;
    auto buffer = make();
    std::filesystem::remove(buffer->path());
    buffer->close();
    EXPECT_EQ(capture.lines(),
              std::vector<std::string>{engine::logmsg::couldNotDeleteTemporaryFile(std::strerror(ENOENT))});
}

} // namespace
