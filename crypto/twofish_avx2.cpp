// SPDX-License-Identifier: GPL-3.0-or-later
// Decryption of sixteen blocks at a time with AVX2: two groups of eight, one block per 32-bit lane.
//
// Built with -mavx2 and run only where the CPU has it. Everything here has internal linkage and no
// standard library template is instantiated, so no AVX2 copy of a shared inline function can reach the
// rest of the program.
#include "crypto/twofish_paths.h"

#include <immintrin.h>

namespace twofish {

namespace {

constexpr size_t kGroupBlocks = 8;
constexpr size_t kStepBlocks = 2 * kGroupBlocks;

// Word i of each of eight blocks in w[i].
struct Group {
    __m256i w[4];
};

// A vpshufb control that moves byte `memoryByte` (0 = least significant) of every 32-bit lane to the
// bottom of the lane and clears the rest.
inline __m256i laneByteSelector(int memoryByte) {
    return _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(0x80808000u) | memoryByte),
                            _mm256_setr_epi32(0, 4, 8, 12, 0, 4, 8, 12));
}

// Reverses the bytes of every 32-bit lane.
// VARIANT: block words are read and written BIG-endian; published Twofish uses little-endian words.
inline __m256i byteSwapWords(__m256i x) {
    const __m256i reverse = _mm256_setr_epi8(3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12, //
                                             3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12);
    return _mm256_shuffle_epi8(x, reverse);
}

// Transposes the 4x4 words inside each 128-bit half: four registers of two blocks each become the four
// words of eight blocks, and the same steps turn them back.
inline void transpose(__m256i& a, __m256i& b, __m256i& c, __m256i& d) {
    const __m256i ab0 = _mm256_unpacklo_epi32(a, b);
    const __m256i ab1 = _mm256_unpackhi_epi32(a, b);
    const __m256i cd0 = _mm256_unpacklo_epi32(c, d);
    const __m256i cd1 = _mm256_unpackhi_epi32(c, d);
    a = _mm256_unpacklo_epi64(ab0, cd0);
    b = _mm256_unpackhi_epi64(ab0, cd0);
    c = _mm256_unpacklo_epi64(ab1, cd1);
    d = _mm256_unpackhi_epi64(ab1, cd1);
}

inline __m256i rotateLeft1(__m256i x) {
    return _mm256_or_si256(_mm256_add_epi32(x, x), _mm256_srli_epi32(x, 31));
}

inline __m256i rotateRight1(__m256i x) {
    return _mm256_or_si256(_mm256_srli_epi32(x, 1), _mm256_slli_epi32(x, 31));
}

// The keyed S-boxes of one record, each position's table reached with scale 8 from its own base: the
// words of positions 0 and 1 (and 2 and 3) for one input byte lie side by side in sBox8x32.
struct SBoxes {
    const int* position[4];
    __m256i byte1; // selects byte 1 of each lane, counted from the most significant end
    __m256i byte2;
    __m256i lowByte;
};

SBoxes sBoxes(const keyInstance& key) {
    const auto* s = reinterpret_cast<const int*>(key.sBox8x32);
    return {{s, s + 1, s + 512, s + 513}, laneByteSelector(2), laneByteSelector(1), _mm256_set1_epi32(0xFF)};
}

inline __m256i lookUp(const SBoxes& s, int position, __m256i bytes) {
    return _mm256_i32gather_epi32(s.position[position], bytes, 8);
}

// g through the keyed S-boxes: position j looks up byte j of x.
// VARIANT: byte 0 is the MOST significant byte; published Twofish counts from the least significant end.
inline __m256i g(const SBoxes& s, __m256i x) {
    return _mm256_xor_si256(_mm256_xor_si256(lookUp(s, 0, _mm256_srli_epi32(x, 24)),
                                             lookUp(s, 1, _mm256_shuffle_epi8(x, s.byte1))),
                            _mm256_xor_si256(lookUp(s, 2, _mm256_shuffle_epi8(x, s.byte2)),
                                             lookUp(s, 3, _mm256_and_si256(x, s.lowByte))));
}

// g(ROR(x, 8)): position j looks up byte (j + 3) mod 4 of x.
// VARIANT: published Twofish rotates the second round function input LEFT by 8; this cipher rotates RIGHT.
inline __m256i gRotated(const SBoxes& s, __m256i x) {
    return _mm256_xor_si256(_mm256_xor_si256(lookUp(s, 0, _mm256_and_si256(x, s.lowByte)),
                                             lookUp(s, 1, _mm256_srli_epi32(x, 24))),
                            _mm256_xor_si256(lookUp(s, 2, _mm256_shuffle_epi8(x, s.byte1)),
                                             lookUp(s, 3, _mm256_shuffle_epi8(x, s.byte2))));
}

// One decryption round of a group: (a, b) feed the round function and (c, d) are mixed in place.
inline void decryptRound(const SBoxes& s, __m256i k0, __m256i k1, __m256i a, __m256i b, __m256i& c,
                         __m256i& d) {
    const __m256i t0 = g(s, a);
    const __m256i t1 = gRotated(s, b);
    const __m256i sum = _mm256_add_epi32(t0, t1);
    c = _mm256_xor_si256(rotateLeft1(c), _mm256_add_epi32(sum, k0));
    d = rotateRight1(_mm256_xor_si256(d, _mm256_add_epi32(_mm256_add_epi32(sum, t1), k1)));
}

inline __m256i subKey(const keyInstance& key, int i) {
    return _mm256_set1_epi32(static_cast<int>(key.subKeys[i]));
}

// Both groups go through each round together so that the gathers of one cover the latency of the other.
void decryptGroups(const keyInstance& key, Group (&groups)[2]) {
    const SBoxes s = sBoxes(key);
    for (Group& group : groups) {
        for (int i = 0; i < 4; ++i) {
            group.w[i] = _mm256_xor_si256(group.w[i], subKey(key, 4 + i));
        }
    }
    // The round key pairs are taken from the last to the first, as the record ordered them.
    for (int pair = 38; pair >= 8; pair -= 4) {
        const __m256i k0 = subKey(key, pair);
        const __m256i k1 = subKey(key, pair + 1);
        const __m256i k2 = subKey(key, pair - 2);
        const __m256i k3 = subKey(key, pair - 1);
        for (Group& group : groups) {
            __m256i* x = group.w;
            decryptRound(s, k0, k1, x[0], x[1], x[2], x[3]);
        }
        for (Group& group : groups) {
            __m256i* x = group.w;
            decryptRound(s, k2, k3, x[2], x[3], x[0], x[1]);
        }
    }
    // The final swap of the halves is folded into the output whitening.
    for (Group& group : groups) {
        const __m256i x0 = group.w[0];
        const __m256i x1 = group.w[1];
        group.w[0] = _mm256_xor_si256(group.w[2], subKey(key, 0));
        group.w[1] = _mm256_xor_si256(group.w[3], subKey(key, 1));
        group.w[2] = _mm256_xor_si256(x0, subKey(key, 2));
        group.w[3] = _mm256_xor_si256(x1, subKey(key, 3));
    }
}

inline __m256i load(const uint8_t* bytes) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
}

// Sixteen blocks per step. In CBC each plaintext block is the decrypted block xored with the ciphertext
// block before it: `previous` is the one before the step.
template <bool kCbc>
void decryptSteps(const keyInstance& key, const uint8_t* input, size_t steps, uint8_t* output,
                  __m128i& previous) {
    for (size_t step = 0; step < steps; ++step) {
        const uint8_t* in = input + 16 * kStepBlocks * step;
        uint8_t* out = output + 16 * kStepBlocks * step;
        Group groups[2];
        for (size_t g = 0; g < 2; ++g) {
            __m256i* w = groups[g].w;
            for (size_t r = 0; r < 4; ++r) {
                w[r] = byteSwapWords(load(in + 16 * kGroupBlocks * g + 32 * r));
            }
            transpose(w[0], w[1], w[2], w[3]);
        }
        decryptGroups(key, groups);
        __m256i plain[8];
        for (size_t g = 0; g < 2; ++g) {
            __m256i* w = groups[g].w;
            transpose(w[0], w[1], w[2], w[3]);
            for (size_t r = 0; r < 4; ++r) {
                plain[4 * g + r] = byteSwapWords(w[r]);
            }
        }
        if constexpr (kCbc) {
            // Every ciphertext block the step needs is read before its first store, so the buffers may be
            // the same.
            plain[0] = _mm256_xor_si256(
                plain[0], _mm256_inserti128_si256(_mm256_castsi128_si256(previous),
                                                  _mm_loadu_si128(reinterpret_cast<const __m128i*>(in)), 1));
            for (size_t r = 1; r < 8; ++r) {
                plain[r] = _mm256_xor_si256(plain[r], load(in + 32 * r - 16));
            }
            previous = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16 * (kStepBlocks - 1)));
        }
        for (size_t r = 0; r < 8; ++r) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32 * r), plain[r]);
        }
    }
}

// The chaining words as the bytes of a ciphertext block, and back.
inline __m128i chainBytes(const uint32_t* chain) {
    return _mm_setr_epi32(
        static_cast<int>(__builtin_bswap32(chain[0])), static_cast<int>(__builtin_bswap32(chain[1])),
        static_cast<int>(__builtin_bswap32(chain[2])), static_cast<int>(__builtin_bswap32(chain[3])));
}

inline void storeChain(uint32_t* chain, __m128i bytes) {
    chain[0] = __builtin_bswap32(static_cast<uint32_t>(_mm_extract_epi32(bytes, 0)));
    chain[1] = __builtin_bswap32(static_cast<uint32_t>(_mm_extract_epi32(bytes, 1)));
    chain[2] = __builtin_bswap32(static_cast<uint32_t>(_mm_extract_epi32(bytes, 2)));
    chain[3] = __builtin_bswap32(static_cast<uint32_t>(_mm_extract_epi32(bytes, 3)));
}

} // namespace

size_t decryptGroupsAvx2(const keyInstance& key, const uint8_t* input, size_t blocks, uint8_t* output,
                         uint32_t* chain) {
    const size_t steps = blocks / kStepBlocks;
    if (chain == nullptr) {
        __m128i unused = _mm_setzero_si128();
        decryptSteps<false>(key, input, steps, output, unused);
    } else if (steps > 0) {
        __m128i previous = chainBytes(chain);
        decryptSteps<true>(key, input, steps, output, previous);
        storeChain(chain, previous);
    }
    return steps * kStepBlocks;
}

} // namespace twofish
