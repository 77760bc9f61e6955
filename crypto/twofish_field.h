// SPDX-License-Identifier: GPL-3.0-or-later
// Multiplication in GF(2^8) and the MDS matrix of Twofish, shared by the key schedule and the vector path
// that applies the matrix itself.
//
// Constants and constexpr functions only: files built for wider instruction sets use them in constant
// expressions, so no compiled copy is shared.
#pragma once

#include <cstdint>

namespace twofish {

// The MDS matrix over GF(2^8) with x^8 + x^6 + x^5 + x^3 + 1 (Twofish paper, section 4.2).
inline constexpr uint8_t kMdsMatrix[4][4] = {
    {0x01, 0xEF, 0x5B, 0x5B},
    {0x5B, 0xEF, 0xEF, 0x01},
    {0xEF, 0x5B, 0x01, 0xEF},
    {0xEF, 0x01, 0xEF, 0x5B},
};
inline constexpr unsigned kMdsPolynomial = 0x169;

// a * b in GF(2^8) reduced by `polynomial`, which includes its x^8 term.
constexpr uint8_t gfMultiply(uint8_t a, uint8_t b, unsigned polynomial) {
    unsigned product = 0;
    unsigned shifted = a;
    for (unsigned factor = b; factor != 0; factor >>= 1) {
        if ((factor & 1) != 0) {
            product ^= shifted;
        }
        shifted <<= 1;
        if ((shifted & 0x100) != 0) {
            shifted ^= polynomial;
        }
    }
    return static_cast<uint8_t>(product);
}

} // namespace twofish
