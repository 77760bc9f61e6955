// SPDX-License-Identifier: GPL-3.0-or-later
// The headerless encrypted file layout: IV, data blocks, final block with the tail and its count, check
// block.
#pragma once

#include "crypto/twofish.h"

#include <cstdint>
#include <string_view>

namespace engine::format {

inline constexpr uint64_t kBlockSize = 16;
inline constexpr std::string_view kExtension = "brisklet";

// Known plain text of the last block; only its first 8 bytes are compared when decrypting, so files whose
// check block decrypts to "C19H28O2" followed by anything have always been accepted.
inline constexpr std::string_view kCheckBlock = "C19H28O2Two2Fish";
inline constexpr std::size_t kCheckedPrefixLength = 8;

// IV, final block and check block; the smallest possible encrypted file.
inline constexpr uint64_t kOverheadBlocks = 3;

static_assert(kCheckBlock.size() == kBlockSize);

inline constexpr uint64_t encryptedLength(uint64_t plainLength) {
    return (plainLength / kBlockSize + kOverheadBlocks) * kBlockSize;
}

// The stored IV enters the chain as four little-endian words, while the cipher reads blocks as big-endian
// words: the first block is therefore chained with the IV reversed inside each group of four bytes.
// Existing files depend on this.
void loadInitialVector(twofish::cipherInstance& cipher, const uint8_t (&iv)[kBlockSize]);

bool isCheckBlockValid(const uint8_t (&decrypted)[kBlockSize]);

// The final block's plain text: the last `tailLength` (0..15) plain bytes, zero filler, and their count in
// the last byte.
void fillFinalBlock(uint8_t (&block)[kBlockSize], const uint8_t* tail, uint8_t tailLength);

// How many bytes of a decrypted final block are plain text: its count byte when that is 1..15, otherwise
// none, which is what a wrong key or a foreign file gives as often as not.
uint8_t finalBlockTailLength(const uint8_t (&decrypted)[kBlockSize]);

// Whether `key` (ordered for decryption) opens a file whose last two blocks are `lastTwo`: in CBC the check
// block's plain text is D(last block) xor the block before it, so neither the IV nor the data are needed,
// and the answer is the one a whole decryption reaches at its end.
bool checkBlockOpens(twofish::keyInstance& key, const uint8_t (&lastTwo)[2 * kBlockSize]);

} // namespace engine::format
