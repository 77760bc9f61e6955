// SPDX-License-Identifier: GPL-3.0-or-later
// Decryption of thirty-two blocks at a time with AVX-512: two groups of sixteen, one block per 32-bit lane,
// the keyed S-box words fetched with gathers.
//
// Built with -mavx512f -mavx512bw and run only where the CPU has both. Everything here has internal
// linkage and no standard library template is instantiated, so no AVX-512 copy of a shared inline
// function can reach the rest of the program.
#include "crypto/twofish_avx512_frame.h"

namespace twofish {

namespace {

// A vpshufb control that moves byte `memoryByte` (0 = least significant) of every 32-bit lane to the
// bottom of the lane and clears the rest.
inline __m512i laneByteSelector(int memoryByte) {
    return _mm512_add_epi32(_mm512_set1_epi32(static_cast<int>(0x80808000u) | memoryByte),
                            _mm512_broadcast_i32x4(_mm_setr_epi32(0, 4, 8, 12)));
}

inline __m512i xor3(__m512i a, __m512i b, __m512i c) {
    constexpr int kXorOfThree = 0x96; // the truth table of a ^ b ^ c
    return _mm512_ternarylogic_epi32(a, b, c, kXorOfThree);
}

// The keyed S-boxes of one record, each position's table reached with scale 8 from its own base: the
// words of positions 0 and 1 (and 2 and 3) for one input byte lie side by side in sBox8x32.
struct GatherBoxes {
    const int* s;
    __m512i byte1; // selects byte 1 of each lane, counted from the most significant end
    __m512i byte2;
    __m512i lowByte;
};

GatherBoxes gatherBoxes(const keyInstance& key) {
    return {reinterpret_cast<const int*>(key.sBox8x32), laneByteSelector(2), laneByteSelector(1),
            _mm512_set1_epi32(0xFF)};
}

// The word of byte position j for each lane's byte.
inline __m512i lookUp(const GatherBoxes& boxes, int j, __m512i bytes) {
    return _mm512_i32gather_epi32(bytes, boxes.s + 512 * (j / 2) + j % 2, 8);
}

// g: position j looks up byte j of x.
// VARIANT: byte 0 is the MOST significant byte; published Twofish counts from the least significant end.
inline __m512i g(const GatherBoxes& boxes, __m512i x) {
    return xor3(lookUp(boxes, 0, _mm512_srli_epi32(x, 24)),
                lookUp(boxes, 1, _mm512_shuffle_epi8(x, boxes.byte1)),
                _mm512_xor_si512(lookUp(boxes, 2, _mm512_shuffle_epi8(x, boxes.byte2)),
                                 lookUp(boxes, 3, _mm512_and_si512(x, boxes.lowByte))));
}

// g(ROR(x, 8)): position j looks up byte (j + 3) mod 4 of x.
// VARIANT: published Twofish rotates the second round function input LEFT by 8; this cipher rotates RIGHT.
inline __m512i gRotated(const GatherBoxes& boxes, __m512i x) {
    return xor3(lookUp(boxes, 0, _mm512_and_si512(x, boxes.lowByte)),
                lookUp(boxes, 1, _mm512_srli_epi32(x, 24)),
                _mm512_xor_si512(lookUp(boxes, 2, _mm512_shuffle_epi8(x, boxes.byte1)),
                                 lookUp(boxes, 3, _mm512_shuffle_epi8(x, boxes.byte2))));
}

// The round function the frame calls.
struct GatherRoundFunction {
    GatherBoxes boxes;

    [[gnu::always_inline]] Terms operator()(__m512i a0, __m512i b0, __m512i a1, __m512i b1) const {
        return {{g(boxes, a0), g(boxes, a1)}, {gRotated(boxes, b0), gRotated(boxes, b1)}};
    }
};

} // namespace

size_t decryptGroupsAvx512(const keyInstance& key, const uint8_t* input, size_t blocks, uint8_t* output,
                           uint32_t* chain) {
    constexpr int kPairs = 1; // two groups of sixteen
    return decryptStepsWithChain<kPairs>(key, GatherRoundFunction{gatherBoxes(key)}, input, blocks, output,
                                         chain);
}

} // namespace twofish
