// Helpers shared by the encryption and decryption operations.
#include "engine/EncryptedFormat.h"

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

} // namespace engine::format
