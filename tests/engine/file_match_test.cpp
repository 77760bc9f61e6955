// SPDX-License-Identifier: GPL-3.0-or-later
// Recovery's block check: which mixes of a file's original and replacement blocks it takes for a rewrite
// caught part-way, and which it refuses as another file.
#include "engine/Checksum.h"
#include "engine/FileMatch.h"
#include "platform/FileHandle.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr size_t kBlock = engine::BlockChecksums::kBlockSize;

std::vector<uint64_t> blocksOf(const std::vector<uint8_t>& bytes) {
    engine::BlockChecksums sums;
    sums.update(bytes);
    return sums.finish();
}

struct MixCase {
    const char* name;
    size_t originalLength;
    size_t finalLength;
    // Builds the file from the original and the replacement.
    std::vector<uint8_t> (*file)(const std::vector<uint8_t>& original,
                                 const std::vector<uint8_t>& replacement);
    bool agrees;
};

// The replacement up to `end`, the original after it, at the original's length or the final one.
std::vector<uint8_t> writtenUpTo(const std::vector<uint8_t>& original,
                                 const std::vector<uint8_t>& replacement, size_t end, size_t length) {
    std::vector<uint8_t> file(length, 0);
    for (size_t i = 0; i < length; ++i) {
        file[i] = i < end ? replacement[i] : (i < original.size() ? original[i] : 0);
    }
    return file;
}

const MixCase kCases[] = {
    {"untouched", 40 * kBlock, 40 * kBlock + 48, [](const auto& o, const auto&) { return o; }, true},
    {"extended, then written up to a torn block; the tail still zeros", 40 * kBlock, 40 * kBlock + 48,
     [](const auto& o, const auto& r) { return writtenUpTo(o, r, 17 * kBlock + 100, r.size()); }, true},
    {"complete", 40 * kBlock, 40 * kBlock + 48, [](const auto&, const auto& r) { return r; }, true},
    {"decryption written, not yet cut", 40 * kBlock + 48, 40 * kBlock,
     [](const auto& o, const auto& r) { return writtenUpTo(o, r, r.size(), o.size()); }, true},
    {"two foreign places: another file", 40 * kBlock, 40 * kBlock + 48,
     [](const auto& o, const auto&) {
         auto f = o;
         f[3 * kBlock] ^= 1;
         f[30 * kBlock] ^= 1;
         return f;
     },
     false},
    {"a foreign run longer than a mebibyte", 2000 * kBlock, 2000 * kBlock,
     [](const auto& o, const auto&) {
         auto f = o;
         std::fill(f.begin() + 10 * kBlock, f.begin() + 1200 * kBlock, 7);
         return f;
     },
     false},
};

class FileMatchTest : public testing::TestWithParam<MixCase> {};

TEST_P(FileMatchTest, TakesARewriteCaughtPartWayAndNothingElse) {
    const MixCase& c = GetParam();
    const auto original = testsupport::sampleBytes(c.originalLength, 1);
    const auto replacement = testsupport::sampleBytes(c.finalLength, 2);
    engine::JournalEntry entry;
    entry.originalLength = c.originalLength;
    entry.finalLength = c.finalLength;
    entry.originalBlocks = blocksOf(original);

    testsupport::TempDir dir;
    const auto content = c.file(original, replacement);
    const auto path = dir.writeFile("f", content);
    auto file = platform::FileHandle::openNoFollow(path, platform::FileHandle::Access::ReadOnly);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(engine::blocksAgree(*file, content.size(), entry, blocksOf(replacement)), c.agrees);
}

INSTANTIATE_TEST_SUITE_P(Mixes, FileMatchTest, testing::ValuesIn(kCases), [](const auto& info) {
    std::string name;
    for (const char* p = info.param.name; *p != '\0'; ++p) {
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    }
    return name;
});

} // namespace
