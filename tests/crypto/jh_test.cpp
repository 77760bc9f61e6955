// SPDX-License-Identifier: GPL-3.0-or-later
// Tests for the JH hash: published known answers, split updates, and the refusal of unsupported sizes.
#include "crypto/jh.h"

#include "tests/support/vector_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using testsupport::toHex;

static_assert(jh::SUCCESS == 0 && jh::FAIL == 1 && jh::BAD_HASHLEN == 2, "published result codes");

// Sections are named "JH-224" ... "JH-512".
int digestSizeOf(const testsupport::VectorRecord& record) {
    const std::string prefix = "JH-";
    if (!record.section.starts_with(prefix)) {
        ADD_FAILURE() << record.where() << ": section '" << record.section << "' names no JH size";
        return 0;
    }
    return std::stoi(record.section.substr(prefix.size()));
}

bool allBytesAre(const void* data, size_t length, uint8_t value) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::all_of(bytes, bytes + length, [value](uint8_t b) { return b == value; });
}

std::string hashStepwise(int size, const std::vector<uint8_t>& message, uint64_t bits) {
    jh::hashState state;
    std::vector<uint8_t> digest(static_cast<size_t>(size / 8));
    EXPECT_EQ(jh::Init(&state, size), jh::SUCCESS);
    EXPECT_EQ(jh::Update(&state, message.data(), bits), jh::SUCCESS);
    EXPECT_EQ(jh::Final(&state, digest.data()), jh::SUCCESS);
    return toHex(digest);
}

TEST(JhTest, PublishedKnownAnswers) {
    const auto records = testsupport::readVectorFile("jh.vec");
    ASSERT_FALSE(records.empty());
    for (const auto& record : records) {
        const int size = digestSizeOf(record);
        const uint64_t bits = record.number("Len");
        const std::vector<uint8_t> message = record.bytes("Msg");
        const std::vector<uint8_t> expected = record.bytes("MD");
        ASSERT_GE(message.size() * 8, bits) << record.where();
        ASSERT_EQ(expected.size() * 8, static_cast<size_t>(size)) << record.where();

        std::vector<uint8_t> digest(expected.size());
        EXPECT_EQ(jh::Hash(size, message.data(), bits, digest.data()), jh::SUCCESS) << record.where();
        EXPECT_EQ(toHex(digest), toHex(expected)) << record.where() << ": Hash";
        EXPECT_EQ(hashStepwise(size, message, bits), toHex(expected))
            << record.where() << ": Init/Update/Final";
    }
}

// 100 bytes are one full block plus a 36-byte tail; every way of cutting them in two (8 + 92 among
// them), and feeding them byte by byte, must give the one-call digest.
TEST(JhTest, SplitUpdatesGiveTheOneCallDigest) {
    std::vector<uint8_t> message(100);
    for (size_t i = 0; i < message.size(); ++i) {
        message[i] = static_cast<uint8_t>(i * 37 + 11);
    }
    const std::string whole = hashStepwise(256, message, message.size() * 8);

    for (size_t split = 0; split <= message.size(); ++split) {
        jh::hashState state;
        uint8_t digest[32];
        jh::Init(&state, 256);
        jh::Update(&state, message.data(), split * 8);
        jh::Update(&state, message.data() + split, (message.size() - split) * 8);
        jh::Final(&state, digest);
        EXPECT_EQ(toHex(digest, sizeof digest), whole) << "split after " << split << " bytes";
    }

    jh::hashState state;
    uint8_t digest[32];
    jh::Init(&state, 256);
    for (const uint8_t byte : message) {
        jh::Update(&state, &byte, 8);
    }
    jh::Final(&state, digest);
    EXPECT_EQ(toHex(digest, sizeof digest), whole) << "byte by byte";
}

// Bits of a partial last byte that lie beyond the message are not part of it, whatever they hold.
TEST(JhTest, BitsBeyondAPartialLastByteAreIgnored) {
    const uint8_t clean[2] = {0xA7, 0x40};
    const uint8_t dirty[2] = {0xA7, 0x47};
    uint8_t expected[32];
    uint8_t actual[32];
    jh::Hash(256, clean, 13, expected);
    jh::Hash(256, dirty, 13, actual);
    EXPECT_EQ(toHex(actual, 32), toHex(expected, 32));
}

TEST(JhTest, HashRefusesUnsupportedSizesAndLeavesTheDigestAlone) {
    const uint8_t message[3] = {'a', 'b', 'c'};
    for (const int size : {300, 0, 160, 255, 257, 1024, -256}) {
        uint8_t digest[128];
        std::memset(digest, 0x5A, sizeof digest);
        EXPECT_EQ(jh::Hash(size, message, 24, digest), jh::BAD_HASHLEN) << "size " << size;
        EXPECT_TRUE(allBytesAre(digest, sizeof digest, 0x5A)) << "size " << size;
    }
}

// A refused Init loads nothing, and Final on such a state writes nothing.
TEST(JhTest, InitRefusesUnsupportedSizesAndLoadsNothing) {
    for (const int size : {300, 0, 255, 1024}) {
        jh::hashState state;
        std::memset(&state, 0xA5, sizeof state);
        EXPECT_EQ(jh::Init(&state, size), jh::BAD_HASHLEN) << "size " << size;
        EXPECT_TRUE(allBytesAre(&state, sizeof state, 0xA5)) << "size " << size;

        uint8_t digest[64];
        std::memset(digest, 0x5A, sizeof digest);
        EXPECT_EQ(jh::Final(&state, digest), jh::BAD_HASHLEN) << "size " << size;
        EXPECT_TRUE(allBytesAre(digest, sizeof digest, 0x5A)) << "size " << size;
    }
}

} // namespace
