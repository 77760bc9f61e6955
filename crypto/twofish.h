// SPDX-License-Identifier: GPL-3.0-or-later
// Twofish-256 in this product's byte-order variant, behind the NIST AES candidate programming interface.
//
// Every stored file depends on the variant: bytes of a word are counted from the most significant end
// inside the round function and key schedule, blocks are read and written as big-endian words, and the
// second input of the round function is rotated right by 8 bits instead of left. It is therefore NOT
// compatible with the published Twofish test vectors, and must not be made so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace twofish {

// Directions for which a key record's round keys are ordered.
inline constexpr uint8_t DIR_ENCRYPT = 0;
inline constexpr uint8_t DIR_DECRYPT = 1;

// Cipher modes.
inline constexpr uint8_t MODE_ECB = 1;
inline constexpr uint8_t MODE_CBC = 2;
inline constexpr uint8_t MODE_CFB1 = 3;

// Results; the negative values are the error codes of the published interface.
inline constexpr int32_t TRUE = 1;
inline constexpr int32_t BAD_KEY_DIR = -1;
inline constexpr int32_t BAD_KEY_MAT = -2;
inline constexpr int32_t BAD_CIPHER_MODE = -4;
inline constexpr int32_t BAD_INPUT_LEN = -6;
inline constexpr int32_t BAD_IV_MAT = -8;

inline constexpr int32_t kBlockBits = 128;

// A complete key schedule. It is self-contained, so copying it by value hands the key to another thread.
struct keyInstance {
    uint8_t direction; // DIR_ENCRYPT or DIR_DECRYPT: the order in which subKeys currently holds round keys
    uint8_t dummyAlign[3]; // not used
    int32_t keyLen;        // bits, rounded up to a multiple of 64
    char keyMaterial[68];  // key text of the published interface; never parsed
    uint32_t keySig;       // not used
    int32_t numRounds;     // 16
    uint32_t key32[8];     // key words K[0..7], filled by the caller between makeKey and computeKeySchedule
    uint32_t sboxKeys[4];  // S-box key words, last one first: sboxKeys[3 - i] = S_i
    // K0..K3 input whitening, K4..K7 output whitening, then the 16 round key pairs: (K8, K9) first for
    // DIR_DECRYPT, (K38, K39) first for DIR_ENCRYPT.
    uint32_t subKeys[40];
    // Keyed S-boxes with the MDS multiplication folded in; byte position j, input byte u at
    // 512 * (j / 2) + 2 * u + j % 2.
    uint32_t sBox8x32[4 * 256];
};

// The chaining state of one chain (one file).
struct cipherInstance {
    uint8_t mode;          // MODE_ECB, MODE_CBC or MODE_CFB1
    uint8_t dummyAlign[3]; // not used
    uint8_t IV[16];        // byte IV of the one-bit feedback mode; not used
    uint32_t cipherSig;    // not used
    uint32_t iv32[4];      // CBC chaining value: set by the caller before the first block, then carried along
};

// The records are copied and compared as raw bytes, and keep the published field layout.
static_assert(std::is_trivially_copyable_v<keyInstance> && std::is_standard_layout_v<keyInstance>);
static_assert(std::is_trivially_copyable_v<cipherInstance> && std::is_standard_layout_v<cipherInstance>);
static_assert(offsetof(keyInstance, keyLen) == 4 && offsetof(keyInstance, keySig) == 76 &&
              offsetof(keyInstance, key32) == 84 && offsetof(keyInstance, subKeys) == 132 &&
              offsetof(keyInstance, sBox8x32) == 292 && sizeof(keyInstance) == 4388);
static_assert(offsetof(cipherInstance, IV) == 4 && offsetof(cipherInstance, iv32) == 24 &&
              sizeof(cipherInstance) == 40);

// Prepares `key` to receive key words: stores the direction, rounds keyLen up to a multiple of 64, sets
// numRounds to 16, zeroes key32 and keyMaterial[64]. Returns TRUE for no or empty key text. Any non-empty
// text gives BAD_KEY_MAT, and so does a length outside 193..256 bits (128- and 192-bit keys are not
// offered); a direction other than DIR_ENCRYPT or DIR_DECRYPT gives BAD_KEY_DIR. On failure the record is
// unchanged.
int32_t makeKey(keyInstance* key, uint8_t direction, int32_t keyLen, const char* keyMaterial);

// Computes sboxKeys, subKeys and sBox8x32 from key32, ordering the round keys for the record's direction.
// Returns TRUE.
int32_t computeKeySchedule(keyInstance* key);

// Swaps the round key pairs end for end (each pair keeps its inner order) and stores `newDirection`.
void reverseRoundKeyOrder(keyInstance* key, uint8_t newDirection);

// Stores `mode` and returns TRUE. IV text is never parsed: given any in a mode other than MODE_ECB it
// returns BAD_IV_MAT and changes nothing. iv32 is left for the caller to set.
int32_t cipherInit(cipherInstance* cipher, uint8_t mode, const char* IV);

// Encrypts inputLen bits (whole 128-bit blocks) from `input` to `outBuffer`, which may be the same buffer,
// in CBC (MODE_CBC, chaining through iv32) or ECB (any other mode but MODE_CFB1); returns inputLen. A
// record ordered for decryption is switched in place first. A zero or negative length processes nothing
// and returns that length. Nothing is processed, and iv32 is unchanged, when the mode is MODE_CFB1 (which
// is not offered: BAD_CIPHER_MODE) or a positive length is not a multiple of 128 (BAD_INPUT_LEN).
int32_t blockEncrypt(cipherInstance* cipher, keyInstance* key, const uint8_t* input, int32_t inputLen,
                     uint8_t* outBuffer);

// The inverse of blockEncrypt, with the same results; a record ordered for encryption is switched in place.
int32_t blockDecrypt(cipherInstance* cipher, keyInstance* key, const uint8_t* input, int32_t inputLen,
                     uint8_t* outBuffer);

} // namespace twofish
