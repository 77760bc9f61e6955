// SPDX-License-Identifier: GPL-3.0-or-later
// TempBuffer: the in-memory tail, the writes into the journal, reads back, the checksum, and the failures.
#include "engine/TempBuffer.h"

#include "engine/Checksum.h"
#include "engine/Journal.h"
#include "engine/LogMessages.h"
#include "platform/FaultInjection.h"
#include "platform/FileStatus.h"
#include "platform/Folder.h"
#include "platform/Log.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace {

using engine::TempBuffer;
using platform::FaultInjector;
using platform::FaultPoint;
using testsupport::sampleBytes;

std::vector<std::string> lines(std::initializer_list<std::string_view> messages) {
    return {messages.begin(), messages.end()};
}

std::vector<uint8_t> slice(const std::vector<uint8_t>& bytes, size_t begin, size_t end) {
    return {bytes.begin() + static_cast<ptrdiff_t>(begin), bytes.begin() + static_cast<ptrdiff_t>(end)};
}

constexpr size_t kLimit = TempBuffer::kMemoryLimit;

class TempBufferTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = platform::Folder::open(m_dir.path());
        ASSERT_NE(m_folder, nullptr);
        m_journal = engine::Journal::create(*m_folder);
        ASSERT_NE(m_journal, nullptr);
    }
    std::unique_ptr<TempBuffer> make(uint64_t expected = uint64_t{1} << 30) {
        return TempBuffer::init(*m_journal, expected);
    }
    // What reached the journal past the payloads' start.
    uint64_t written() const {
        const auto status = platform::statusOfDescriptor(m_journal->handle().descriptor());
        return status && status->length > engine::kJournalPayloadStart
                   ? status->length - engine::kJournalPayloadStart
                   : 0;
    }
    std::vector<uint8_t> journalBytes(uint64_t length) const {
        std::vector<uint8_t> bytes(static_cast<size_t>(length));
        const auto got = m_journal->handle().readAt(bytes.data(), bytes.size(), engine::kJournalPayloadStart);
        bytes.resize(got ? *got : 0);
        return bytes;
    }

    testsupport::TempDir m_dir;
    std::unique_ptr<platform::Folder> m_folder;
    std::unique_ptr<engine::Journal> m_journal;
};

TEST_F(TempBufferTest, KeepsUpToItsLimitInMemoryAndWritesAllOnTheNextByte) {
    // The limit is a mebibyte, or the expected length where that is less.
    for (const size_t limit : {kLimit, size_t{100}}) {
        SCOPED_TRACE(limit);
        SetUp();
        auto buffer = make(limit == kLimit ? uint64_t{1} << 30 : limit);
        FaultInjector counter(FaultPoint::Write, INT_MAX);
        const auto content = sampleBytes(limit + 1);
        for (size_t offset = 0; offset < limit; offset += 4) {
            buffer->appendBytes(content.data() + offset, std::min<size_t>(4, limit - offset));
        }
        EXPECT_EQ(written(), 0u);
        EXPECT_EQ(buffer->length(), limit);
        buffer->appendBytes(content.data() + limit, 1);
        EXPECT_EQ(counter.callCount(FaultPoint::Write), 1) << "many appends, one write";
        EXPECT_EQ(journalBytes(limit + 1), content);
        EXPECT_EQ(buffer->length(), limit + 1);
    }
}

TEST_F(TempBufferTest, ReadsBackFromMemoryAndFromTheJournal) {
    auto small = make();
    const auto content = sampleBytes(kLimit + 616);
    small->appendBytes(content.data(), 48);
    EXPECT_EQ(small->readDataAtOffset(0, 512), slice(content, 0, 48));
    EXPECT_EQ(small->readDataAtOffset(16, 16), slice(content, 16, 32));
    EXPECT_EQ(written(), 0u) << "reading does not write small content out";

    auto large = make();
    large->appendBytes(content.data(), content.size() - 16);
    large->appendBytes(content.data() + content.size() - 16, 16);
    EXPECT_EQ(large->length(), content.size());
    EXPECT_EQ(large->readDataAtOffset(content.size() - 104, 512),
              slice(content, content.size() - 104, content.size()));
    EXPECT_EQ(large->readDataAtOffset(0, 512), slice(content, 0, 512));
    EXPECT_EQ(large->readDataAtOffset(content.size(), 512), std::vector<uint8_t>());
}

TEST_F(TempBufferTest, FlushPlacesThePayloadAndTheNextOneFollowsWithoutAGap) {
    const auto first = sampleBytes(5000, 1);
    const auto second = sampleBytes(300, 2);
    auto a = make(first.size());
    a->appendBytes(first.data(), 1000);
    a->appendBytes(first.data() + 1000, first.size() - 1000);
    ASSERT_TRUE(a->flush());
    EXPECT_EQ(a->offset(), engine::kJournalPayloadStart);
    EXPECT_EQ(a->checksum(), engine::checksumOf(first)) << "the checksum does not depend on how bytes came";

    auto b = make(second.size());
    b->appendBytes(second.data(), second.size());
    ASSERT_TRUE(b->flush());
    EXPECT_EQ(b->offset(), engine::kJournalPayloadStart + first.size());
    EXPECT_EQ(m_journal->nextPayloadOffset(), engine::kJournalPayloadStart + first.size() + second.size());
    std::vector<uint8_t> back(second.size());
    ASSERT_TRUE(m_journal->readPayload(back.data(), back.size(), b->offset()));
    EXPECT_EQ(back, second);
}

// After a failed write the journal may lack bytes, so the buffer hands nothing out, stops writing, and
// drops later appends instead of holding them in memory.
TEST_F(TempBufferTest, AFailedWriteStopsTheBuffer) {
    platform::LogCapture capture;
    auto buffer = make();
    const auto content = sampleBytes(kLimit + 1);
    {
        FaultInjector injector(FaultPoint::Write, 1, platform::FaultMode::Once, ENOSPC);
        buffer->appendBytes(content.data(), kLimit + 1);
    }
    for (int i = 0; i < 100; ++i) {
        buffer->appendBytes(content.data(), kLimit + 1);
    }
    EXPECT_EQ(written(), 0u) << "nothing is retried";
    EXPECT_TRUE(buffer->failed());
    EXPECT_EQ(buffer->length(), 0u) << "nothing is held in memory";
    EXPECT_FALSE(buffer->flush());
    EXPECT_EQ(buffer->readDataAtOffset(0, 512), std::nullopt);
    EXPECT_EQ(capture.lines(),
              lines({engine::logmsg::kCouldNotWriteToTempFile, engine::logmsg::kCouldNotReadFromTmpFile}))
        << "one line for the failure, however many appends follow";
}

TEST_F(TempBufferTest, AFailedReadGivesNoneAndLeavesTheContent) {
    auto buffer = make();
    buffer->appendBytes(sampleBytes(kLimit + 100).data(), kLimit + 100);
    platform::LogCapture capture;
    {
        FaultInjector injector(FaultPoint::Read, 1);
        EXPECT_EQ(buffer->readDataAtOffset(0, 512), std::nullopt);
    }
    EXPECT_EQ(capture.lines(), lines({engine::logmsg::kCouldNotReadFromTmpFile}));
    EXPECT_FALSE(buffer->failed());
    EXPECT_EQ(buffer->readDataAtOffset(0, 16), sampleBytes(16));
}

} // namespace
