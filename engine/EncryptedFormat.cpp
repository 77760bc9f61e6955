// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by everything that writes or reads the format: the two operations and the stream commands.
#include "engine/EncryptedFormat.h"

#include "crypto/wipe.h"

#include <cstring>

namespace engine::format {

void loadInitialVector(twofish::cipherInstance& cipher, const uint8_t (&iv)[kBlockSize]) {
    for (int k = 0; k < 4; ++k) {
        const uint8_t* group = iv + 4 * k;
        cipher.iv32[k] = uint32_t{group[0]} | uint32_t{group[1]} << 8 | uint32_t{group[2]} << 16 |
                         uint32_t{group[3]} << 24;
    }
}

bool isCheckBlockValid(const uint8_t (&decrypted)[kBlockSize]) {
    return std::memcmp(decrypted, kCheckBlock.data(), kCheckedPrefixLength) == 0;
}

void fillFinalBlock(uint8_t (&block)[kBlockSize], const uint8_t* tail, uint8_t tailLength) {
    std::memset(block, 0, kBlockSize);
    if (tailLength > 0) {
        std::memcpy(block, tail, tailLength);
    }
    block[kBlockSize - 1] = tailLength;
}

uint8_t finalBlockTailLength(const uint8_t (&decrypted)[kBlockSize]) {
    const uint8_t count = decrypted[kBlockSize - 1];
    return count >= 1 && count < kBlockSize ? count : 0;
}

bool checkBlockOpens(twofish::keyInstance& key, const uint8_t (&lastTwo)[2 * kBlockSize]) {
    // Without IV text cipherInit cannot fail.
    twofish::cipherInstance cipher{};
    twofish::cipherInit(&cipher, twofish::MODE_ECB, nullptr);
    uint8_t plain[kBlockSize];
    if (twofish::blockDecrypt(&cipher, &key, lastTwo + kBlockSize, twofish::kBlockBits, plain) !=
        twofish::kBlockBits) {
        return false;
    }
    // Later blocks chain with the previous ciphertext byte for byte; only the first uses the reordered IV.
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        plain[i] ^= lastTwo[i];
    }
    const bool opens = isCheckBlockValid(plain);
    crypto::secureWipe(plain, sizeof plain);
    return opens;
}

} // namespace engine::format
