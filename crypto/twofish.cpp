// SPDX-License-Identifier: GPL-3.0-or-later
// Twofish-256 byte-order variant: full-keying key schedule and CBC/ECB block functions.
#include "crypto/twofish.h"

#include "crypto/twofish_field.h"
#include "crypto/twofish_paths.h"
#include "crypto/twofish_rounds.h"
#include "crypto/wipe.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <iterator>
#include <utility>

namespace twofish {

namespace {

using Permutation = std::array<uint8_t, 256>;
using rounds::Block;
using rounds::CallKeys;
using rounds::copyCallKeys;
using rounds::kNumSubKeys;
using rounds::loadBlock;
using rounds::sBoxIndex;
using rounds::storeBlock;
using rounds::operator^;

constexpr int32_t kNumRounds = 16;
static_assert(kNumSubKeys == 8 + 2 * kNumRounds);
constexpr int kRoundKeysStart = 8;

// The 4-bit permutations t0..t3 from which q0 and q1 are built (Twofish paper, section 4.3.5).
constexpr uint8_t kQ0Nibbles[4][16] = {
    {0x8, 0x1, 0x7, 0xD, 0x6, 0xF, 0x3, 0x2, 0x0, 0xB, 0x5, 0x9, 0xE, 0xC, 0xA, 0x4},
    {0xE, 0xC, 0xB, 0x8, 0x1, 0x2, 0x3, 0x5, 0xF, 0x4, 0xA, 0x6, 0x7, 0x0, 0x9, 0xD},
    {0xB, 0xA, 0x5, 0xE, 0x6, 0xD, 0x9, 0x0, 0xC, 0x8, 0xF, 0x3, 0x2, 0x4, 0x7, 0x1},
    {0xD, 0x7, 0xF, 0x4, 0x1, 0x2, 0x6, 0xE, 0x9, 0xB, 0x3, 0x0, 0x8, 0x5, 0xC, 0xA},
};
constexpr uint8_t kQ1Nibbles[4][16] = {
    {0x2, 0x8, 0xB, 0xD, 0xF, 0x7, 0x6, 0xE, 0x3, 0x1, 0x9, 0x4, 0x0, 0xA, 0xC, 0x5},
    {0x1, 0xE, 0x2, 0xB, 0x4, 0xC, 0x3, 0x7, 0x6, 0xD, 0xA, 0x5, 0xF, 0x9, 0x0, 0x8},
    {0x4, 0xC, 0x7, 0x5, 0x1, 0x6, 0x9, 0xA, 0x0, 0xE, 0xD, 0x8, 0x2, 0xB, 0x3, 0xF},
    {0xB, 0x9, 0x5, 0x1, 0xC, 0x3, 0xD, 0xE, 0x6, 0x4, 0x7, 0xF, 0x2, 0x0, 0x8, 0xA},
};

// The construction of q0 and q1 from their nibble permutations (Twofish paper, section 4.3.5).
constexpr Permutation makeQ(const uint8_t (&t)[4][16]) {
    auto ror4 = [](unsigned x) { return ((x >> 1) | (x << 3)) & 0xF; };
    Permutation q{};
    for (unsigned x = 0; x < 256; ++x) {
        unsigned a = x >> 4;
        unsigned b = x & 0xF;
        for (size_t half = 0; half < 2; ++half) {
            const unsigned mixedA = a ^ b;
            const unsigned mixedB = a ^ ror4(b) ^ ((8 * a) & 0xF);
            a = t[2 * half][mixedA];
            b = t[2 * half + 1][mixedB];
        }
        q[x] = static_cast<uint8_t>(16 * b + a);
    }
    return q;
}

constexpr std::array<Permutation, 2> kQ = {makeQ(kQ0Nibbles), makeQ(kQ1Nibbles)};
// First entries of the q0 and q1 tables printed in the Twofish reference code.
static_assert(kQ[0][0] == 0xA9 && kQ[0][1] == 0x67 && kQ[0][2] == 0xB3 && kQ[0][255] == 0xE0);
static_assert(kQ[1][0] == 0x75 && kQ[1][1] == 0xF3 && kQ[1][2] == 0xC6 && kQ[1][255] == 0x91);

// Which permutation (0 = q0, 1 = q1) h applies at each byte position for k = 4, innermost first; the
// outermost one, last in each row, is folded into kMds (Twofish paper, section 4.3.2, figure 2).
constexpr uint8_t kQChain[4][5] = {
    {1, 1, 0, 0, 1},
    {0, 1, 1, 0, 0},
    {0, 0, 0, 1, 1},
    {1, 0, 1, 1, 0},
};

// The RS matrix over GF(2^8) with x^8 + x^6 + x^3 + x^2 + 1 (Twofish paper, section 4.3).
constexpr uint8_t kRsMatrix[4][8] = {
    {0x01, 0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E},
    {0xA4, 0x56, 0x82, 0xF3, 0x1E, 0xC6, 0x68, 0xE5},
    {0x02, 0xA1, 0xFC, 0xC1, 0x47, 0xAE, 0x3D, 0x19},
    {0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E, 0x03},
};
constexpr unsigned kRsPolynomial = 0x14D;

// The key schedule's h inputs step by rho (Twofish paper, section 4.3).
constexpr uint32_t kRho = 0x01010101;

// Byte j of a word, j = 0..3.
// VARIANT: byte 0 is the MOST significant byte; published Twofish counts from the least significant end.
constexpr uint32_t byteAt(uint32_t word, unsigned j) {
    return (word >> (24 - 8 * j)) & 0xFF;
}

// A word from its bytes 0..3 under the same most-significant-first numbering.
constexpr uint32_t placeByte(uint32_t byte, unsigned j) {
    return byte << (24 - 8 * j);
}

// MDS column j applied to the outermost q of byte position j, for every input: the last step of h
// (Twofish paper, section 4.3.2), computed at compile time from q0, q1 and the MDS matrix.
using MdsTable = std::array<std::array<uint32_t, 256>, 4>;
constexpr MdsTable makeMds() {
    MdsTable mds{};
    for (unsigned j = 0; j < 4; ++j) {
        const Permutation& outer = kQ[kQChain[j][4]];
        for (unsigned v = 0; v < 256; ++v) {
            uint32_t word = 0;
            for (unsigned i = 0; i < 4; ++i) {
                // VARIANT: result byte z_i goes to byte i counted from the most significant end.
                word |= placeByte(gfMultiply(kMdsMatrix[i][j], outer[v], kMdsPolynomial), i);
            }
            mds[j][v] = word;
        }
    }
    return mds;
}
constexpr MdsTable kMds = makeMds();

// The q chain of byte position j up to (not including) its outermost q, keyed by L = (l[0] .. l[3]); the
// innermost stage mixes in l[3] and the outermost l[0], as published for k = 4.
uint8_t keyedChain(unsigned j, uint32_t input, const uint32_t (&l)[4]) {
    uint32_t y = input;
    for (int stage = 0; stage < 4; ++stage) {
        // VARIANT: the key byte is byte j counted from the most significant end (byteAt).
        y = kQ[kQChain[j][stage]][y] ^ byteAt(l[3 - stage], j);
    }
    return static_cast<uint8_t>(y);
}

// h(x, L) for a 256-bit key (Twofish paper, section 4.3.2).
uint32_t h(uint32_t x, const uint32_t (&l)[4]) {
    uint32_t z = 0;
    for (unsigned j = 0; j < 4; ++j) {
        z ^= kMds[j][keyedChain(j, byteAt(x, j), l)];
    }
    return z;
}

// The Reed-Solomon code of two key words (Twofish paper, section 4.3). Not a departure: the RS code reads
// and writes bytes least significant first, exactly as published.
uint32_t rsEncode(uint32_t even, uint32_t odd) {
    uint8_t m[8];
    for (int i = 0; i < 4; ++i) {
        m[i] = static_cast<uint8_t>(even >> (8 * i));
        m[4 + i] = static_cast<uint8_t>(odd >> (8 * i));
    }
    uint32_t s = 0;
    for (int row = 0; row < 4; ++row) {
        uint8_t acc = 0;
        for (int col = 0; col < 8; ++col) {
            acc ^= gfMultiply(kRsMatrix[row][col], m[col], kRsPolynomial);
        }
        s |= uint32_t{acc} << (8 * row);
    }
    crypto::secureWipe(m, sizeof m);
    return s;
}

// The checks both block functions make before they touch anything; 0 means go ahead.
int32_t refusal(const cipherInstance& cipher, int32_t inputLen) {
    if (cipher.mode == MODE_CFB1) {
        return BAD_CIPHER_MODE;
    }
    if (inputLen > 0 && inputLen % kBlockBits != 0) {
        return BAD_INPUT_LEN;
    }
    return 0;
}

} // namespace

int32_t makeKey(keyInstance* key, uint8_t direction, int32_t keyLen, const char* keyMaterial) {
    if (direction != DIR_ENCRYPT && direction != DIR_DECRYPT) {
        return BAD_KEY_DIR;
    }
    // Only keys that round up to 256 bits are offered; key text is never parsed.
    if (keyLen <= 192 || keyLen > 256 || (keyMaterial != nullptr && keyMaterial[0] != '\0')) {
        return BAD_KEY_MAT;
    }
    key->direction = direction;
    key->keyLen = (keyLen + 63) / 64 * 64;
    key->numRounds = kNumRounds;
    std::fill(std::begin(key->key32), std::end(key->key32), 0);
    key->keyMaterial[64] = '\0';
    return TRUE;
}

int32_t computeKeySchedule(keyInstance* key) {
    uint32_t even[4] = {key->key32[0], key->key32[2], key->key32[4], key->key32[6]};
    uint32_t odd[4] = {key->key32[1], key->key32[3], key->key32[5], key->key32[7]};

    for (int i = 0; i < 4; ++i) {
        key->sboxKeys[3 - i] = rsEncode(even[i], odd[i]);
    }

    // Round keys come out in round order, which is the order for decryption.
    for (uint32_t i = 0; i < kNumSubKeys / 2; ++i) {
        const uint32_t a = h(2 * i * kRho, even);
        const uint32_t b = std::rotl(h((2 * i + 1) * kRho, odd), 8);
        key->subKeys[2 * i] = a + b;
        key->subKeys[2 * i + 1] = std::rotl(a + 2 * b, 9);
    }

    // Full keying: g(x) = h(x, S_3, S_2, S_1, S_0), and sboxKeys already holds S_3 first.
    for (unsigned j = 0; j < 4; ++j) {
        for (uint32_t u = 0; u < 256; ++u) {
            key->sBox8x32[sBoxIndex(j, u)] = kMds[j][keyedChain(j, u, key->sboxKeys)];
        }
    }

    crypto::secureWipe(even, sizeof even);
    crypto::secureWipe(odd, sizeof odd);

    if (key->direction == DIR_ENCRYPT) {
        reverseRoundKeyOrder(key, DIR_ENCRYPT);
    }
    return TRUE;
}

void reverseRoundKeyOrder(keyInstance* key, uint8_t newDirection) {
    uint32_t* pairs = key->subKeys + kRoundKeysStart;
    for (int low = 0, high = 2 * kNumRounds - 2; low < high; low += 2, high -= 2) {
        std::swap(pairs[low], pairs[high]);
        std::swap(pairs[low + 1], pairs[high + 1]);
    }
    key->direction = newDirection;
}

int32_t cipherInit(cipherInstance* cipher, uint8_t mode, const char* IV) {
    if (IV != nullptr && mode != MODE_ECB) {
        return BAD_IV_MAT;
    }
    cipher->mode = mode;
    return TRUE;
}

int32_t blockEncrypt(cipherInstance* cipher, keyInstance* key, const uint8_t* input, int32_t inputLen,
                     uint8_t* outBuffer) {
    if (const int32_t refused = refusal(*cipher, inputLen); refused != 0) {
        return refused;
    }
    if (key->direction != DIR_ENCRYPT) {
        reverseRoundKeyOrder(key, DIR_ENCRYPT);
    }
    const bool cbc = cipher->mode == MODE_CBC;
    CallKeys keys = copyCallKeys(*key);
    const uint32_t* k = keys.k;
    const Block inWhitening = {k[0], k[1], k[2], k[3]};
    const Block outWhitening = {k[4], k[5], k[6], k[7]};
    // A block's input is its plaintext, the previous output and the input whitening xored together, and
    // the previous output is the previous state xored with the output whitening. Both whitenings are
    // folded into the plaintext, so one xor stands between the rounds of consecutive blocks; ECB keeps a
    // zero state.
    Block state =
        cbc ? Block{cipher->iv32[0], cipher->iv32[1], cipher->iv32[2], cipher->iv32[3]} ^ outWhitening
            : Block{};
    const Block fold = cbc ? inWhitening ^ outWhitening : inWhitening;
    for (int32_t done = 0; done < inputLen; done += kBlockBits) {
        const int32_t offset = done / 8;
        const Block x = (loadBlock(input + offset) ^ fold) ^ state;
        uint32_t x0 = x[0];
        uint32_t x1 = x[1];
        uint32_t x2 = x[2];
        uint32_t x3 = x[3];
        encryptRounds(keys, x0, x1, x2, x3);
        // The final swap of the halves is folded into the output.
        const Block out = {x2, x3, x0, x1};
        storeBlock(outBuffer + offset, out ^ outWhitening);
        if (cbc) {
            state = out;
        }
    }
    if (cbc) {
        const Block chain = state ^ outWhitening;
        std::copy(chain.begin(), chain.end(), cipher->iv32);
    }
    wipeCallKeys(keys);
    return inputLen;
}

int32_t blockDecrypt(cipherInstance* cipher, keyInstance* key, const uint8_t* input, int32_t inputLen,
                     uint8_t* outBuffer) {
    return blockDecryptWith(bestDecryptPath(), cipher, key, input, inputLen, outBuffer);
}

int32_t blockDecryptWith(DecryptPath path, cipherInstance* cipher, keyInstance* key, const uint8_t* input,
                         int32_t inputLen, uint8_t* outBuffer) {
    if (!decryptPathSupported(path)) {
        return BAD_CIPHER_MODE;
    }
    if (const int32_t refused = refusal(*cipher, inputLen); refused != 0) {
        return refused;
    }
    if (key->direction != DIR_DECRYPT) {
        reverseRoundKeyOrder(key, DIR_DECRYPT);
    }
    if (inputLen > 0) {
        const bool cbc = cipher->mode == MODE_CBC;
        decryptBlocks(path, *key, input, static_cast<size_t>(inputLen / kBlockBits), outBuffer,
                      cbc ? cipher->iv32 : nullptr);
    }
    return inputLen;
}

} // namespace twofish
