// SPDX-License-Identifier: GPL-3.0-or-later
// The identity, length and block checks that recovery makes before it writes into a file.
#include "engine/FileMatch.h"

#include "engine/Checksum.h"

#include <algorithm>

namespace engine {

namespace {

constexpr uint64_t kBlock = BlockChecksums::kBlockSize;
// Blocks that are neither the original's nor the replacement's: what a write in progress leaves.
constexpr uint64_t kFrontierBlocks = (uint64_t{1} << 20) / kBlock;
constexpr uint64_t kReadChunk = uint64_t{1} << 20;

} // namespace

bool sameFile(const JournalEntry& entry, const platform::FileStatus& status,
              std::optional<uint64_t> generation) {
    if (!entry.stableInodes) {
        return true;
    }
    if (status.identity.inode != entry.inode) {
        return false;
    }
    if (entry.generation && generation && *entry.generation != *generation) {
        return false;
    }
    const int64_t birth = status.identity.birthNanoseconds;
    return !(entry.birthNanoseconds && birth != 0 && *entry.birthNanoseconds != birth);
}

bool lengthInWindow(const JournalEntry& entry, uint64_t length) {
    return std::min(entry.originalLength, entry.finalLength) <= length &&
           length <= std::max(entry.originalLength, entry.finalLength);
}

bool blocksAgree(platform::FileHandle& file, uint64_t length, const JournalEntry& entry,
                 const std::vector<uint64_t>& replacementBlocks) {
    // A block is judged where it is whole in the file and in both versions; past that the lengths differ
    // and so must the bytes. The last, shorter block is judged too where it cannot be in flux: while the
    // file still has its original length (it is extended before any byte changes), or once it has been
    // cut to a shorter final length (after everything before was written). A tail that extension added is
    // never judged: it reads as zeros until the last chunk reaches it.
    const uint64_t common = std::min({length, entry.originalLength, entry.finalLength});
    const uint64_t wholeBlocks = common / kBlock;
    const bool settledLength = length == entry.originalLength ||
                               (length == entry.finalLength && entry.finalLength <= entry.originalLength);
    const bool lastJudged = length % kBlock != 0 && length / kBlock == wholeBlocks && settledLength;
    const uint64_t judged = wholeBlocks + (lastJudged ? 1 : 0);

    BlockChecksums sums;
    std::vector<uint8_t> chunk(
        static_cast<size_t>(std::min<uint64_t>(kReadChunk, std::max<uint64_t>(length, 1))));
    const uint64_t readUpTo = std::min(length, judged * kBlock);
    for (uint64_t offset = 0; offset < readUpTo;) {
        const auto got = file.readAt(
            chunk.data(), static_cast<size_t>(std::min<uint64_t>(chunk.size(), readUpTo - offset)), offset);
        if (!got || *got == 0) {
            return false;
        }
        sums.update({chunk.data(), *got});
        offset += *got;
    }
    const std::vector<uint64_t> blocks = sums.finish();

    uint64_t frontierStart = 0;
    uint64_t frontierEnd = 0; // the run of foreign blocks seen so far: [start, end)
    for (uint64_t i = 0; i < blocks.size(); ++i) {
        const bool original = i < entry.originalBlocks.size() && blocks[i] == entry.originalBlocks[i];
        const bool replacement = i < replacementBlocks.size() && blocks[i] == replacementBlocks[i];
        if (original || replacement) {
            continue;
        }
        if (frontierEnd == frontierStart) {
            frontierStart = i;
            frontierEnd = i + 1;
        } else if (i == frontierEnd && frontierEnd - frontierStart < kFrontierBlocks) {
            ++frontierEnd;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace engine
