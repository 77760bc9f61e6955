// SPDX-License-Identifier: GPL-3.0-or-later
// The frame shared by the AVX-512 decryption paths: it loads the blocks of a step as the words of groups of
// sixteen, runs the rounds around the path's round function, and chains and stores the result.
//
// Included only by files built for AVX-512. Everything here is internal to the including file, so that
// files built for different instruction sets never share a compiled copy of it.
#pragma once

#include "crypto/twofish_paths.h"

#include <cstddef>
#include <cstdint>

// GCC 12's AVX-512 header initialises its undefined vectors from themselves (GCC bug 105593), which
// -Wuninitialized reports wherever they are inlined.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace twofish {

namespace {

constexpr size_t kGroupBlocks = 16;
// The round function takes the groups a pair at a time; with more than one pair per step the pairs' rounds
// overlap, for CPUs whose round function has a long latency.
template <int kPairs>
constexpr size_t kStepBlocks = 2 * kPairs* kGroupBlocks;

// Word i of each of sixteen blocks in w[i].
struct Group {
    __m512i w[4];
};

// The round function's two terms for both groups: t0 = g(a) and t1 = g(ROR(b, 8)).
struct Terms {
    __m512i t0[2];
    __m512i t1[2];
};

// Reverses the bytes of every 32-bit lane.
// VARIANT: block words are read and written BIG-endian; published Twofish uses little-endian words.
inline __m512i byteSwapWords(__m512i x) {
    const __m512i reverse =
        _mm512_broadcast_i32x4(_mm_setr_epi8(3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12));
    return _mm512_shuffle_epi8(x, reverse);
}

// Transposes the 4x4 words inside each 128-bit quarter: four registers of four blocks each become the
// four words of sixteen blocks, and the same steps turn them back.
inline void transpose(__m512i& a, __m512i& b, __m512i& c, __m512i& d) {
    const __m512i ab0 = _mm512_unpacklo_epi32(a, b);
    const __m512i ab1 = _mm512_unpackhi_epi32(a, b);
    const __m512i cd0 = _mm512_unpacklo_epi32(c, d);
    const __m512i cd1 = _mm512_unpackhi_epi32(c, d);
    a = _mm512_unpacklo_epi64(ab0, cd0);
    b = _mm512_unpackhi_epi64(ab0, cd0);
    c = _mm512_unpacklo_epi64(ab1, cd1);
    d = _mm512_unpackhi_epi64(ab1, cd1);
}

inline __m512i subKey(const keyInstance& key, int i) {
    return _mm512_set1_epi32(static_cast<int>(key.subKeys[i]));
}

// One round on both groups: words a and b feed the round function, c and d are mixed in place. Inlined,
// so that the word indices are constants and the words stay in registers.
template <int kPairs, typename RoundFunction>
[[gnu::always_inline]] inline void decryptRound(const RoundFunction& roundFunction, __m512i k0, __m512i k1,
                                                Group (&groups)[2 * kPairs], int a, int b, int c, int d) {
    Terms terms[kPairs] = {};
#pragma GCC unroll 4
    for (int p = 0; p < kPairs; ++p) {
        terms[p] = roundFunction(groups[2 * p].w[a], groups[2 * p].w[b], groups[2 * p + 1].w[a],
                                 groups[2 * p + 1].w[b]);
    }
#pragma GCC unroll 8
    for (int i = 0; i < 2 * kPairs; ++i) {
        __m512i* x = groups[i].w;
        const Terms& t = terms[i / 2];
        const __m512i t0 = t.t0[i % 2];
        const __m512i t1 = t.t1[i % 2];
        const __m512i sum = _mm512_add_epi32(t0, t1);
        x[c] = _mm512_xor_si512(_mm512_rol_epi32(x[c], 1), _mm512_add_epi32(sum, k0));
        x[d] = _mm512_ror_epi32(_mm512_xor_si512(x[d], _mm512_add_epi32(_mm512_add_epi32(sum, t1), k1)), 1);
    }
}

template <int kPairs, typename RoundFunction>
void decryptGroups(const keyInstance& key, const RoundFunction& roundFunction, Group (&groups)[2 * kPairs]) {
    for (Group& group : groups) {
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) {
            group.w[i] = _mm512_xor_si512(group.w[i], subKey(key, 4 + i));
        }
    }
    // The round key pairs are taken from the last to the first, as the record ordered them.
#pragma GCC unroll 8
    for (int pair = 38; pair >= 8; pair -= 4) {
        decryptRound<kPairs>(roundFunction, subKey(key, pair), subKey(key, pair + 1), groups, 0, 1, 2, 3);
        decryptRound<kPairs>(roundFunction, subKey(key, pair - 2), subKey(key, pair - 1), groups, 2, 3, 0, 1);
    }
    // The final swap of the halves is folded into the output whitening.
    for (Group& group : groups) {
        const __m512i x0 = group.w[0];
        const __m512i x1 = group.w[1];
        group.w[0] = _mm512_xor_si512(group.w[2], subKey(key, 0));
        group.w[1] = _mm512_xor_si512(group.w[3], subKey(key, 1));
        group.w[2] = _mm512_xor_si512(x0, subKey(key, 2));
        group.w[3] = _mm512_xor_si512(x1, subKey(key, 3));
    }
}

inline __m512i load(const uint8_t* bytes) {
    return _mm512_loadu_si512(bytes);
}

// In CBC each plaintext block is the decrypted block xored with the ciphertext
// block before it: `previous` is the one before the step.
template <int kPairs, bool kCbc, typename RoundFunction>
void decryptSteps(const keyInstance& key, const RoundFunction& roundFunction, const uint8_t* input,
                  size_t steps, uint8_t* output, __m128i& previous) {
    constexpr size_t kGroups = 2 * kPairs;
    for (size_t step = 0; step < steps; ++step) {
        const uint8_t* in = input + 16 * kStepBlocks<kPairs> * step;
        uint8_t* out = output + 16 * kStepBlocks<kPairs> * step;
        Group groups[kGroups];
        for (size_t g = 0; g < kGroups; ++g) {
            __m512i* w = groups[g].w;
            for (size_t r = 0; r < 4; ++r) {
                w[r] = byteSwapWords(load(in + 16 * kGroupBlocks * g + 64 * r));
            }
            transpose(w[0], w[1], w[2], w[3]);
        }
        decryptGroups<kPairs>(key, roundFunction, groups);
        __m512i plain[4 * kGroups];
        for (size_t g = 0; g < kGroups; ++g) {
            __m512i* w = groups[g].w;
            transpose(w[0], w[1], w[2], w[3]);
            for (size_t r = 0; r < 4; ++r) {
                plain[4 * g + r] = byteSwapWords(w[r]);
            }
        }
        if constexpr (kCbc) {
            // Every ciphertext block the step needs is read before its first store, so the buffers may be
            // the same. The first register takes words 12..15 of the broadcast previous block, then words
            // 0..11 of the step's first four blocks.
            const __m512i first = _mm512_alignr_epi32(load(in), _mm512_broadcast_i32x4(previous), 12);
            plain[0] = _mm512_xor_si512(plain[0], first);
            for (size_t r = 1; r < 4 * kGroups; ++r) {
                plain[r] = _mm512_xor_si512(plain[r], load(in + 64 * r - 16));
            }
            previous = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16 * (kStepBlocks<kPairs> - 1)));
        }
        for (size_t r = 0; r < 4 * kGroups; ++r) {
            _mm512_storeu_si512(out + 64 * r, plain[r]);
        }
    }
}

// The whole steps at the start of `blocks` blocks, with the chain as decryptGroupsAvx512 takes it.
template <int kPairs, typename RoundFunction>
size_t decryptStepsWithChain(const keyInstance& key, const RoundFunction& roundFunction, const uint8_t* input,
                             size_t blocks, uint8_t* output, uint32_t* chain) {
    const size_t steps = blocks / kStepBlocks<kPairs>;
    if (chain == nullptr) {
        __m128i unused = _mm_setzero_si128();
        decryptSteps<kPairs, false>(key, roundFunction, input, steps, output, unused);
    } else if (steps > 0) {
        // The chaining words as the bytes of a ciphertext block, and back.
        __m128i previous =
            _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(chain)),
                             _mm_setr_epi8(3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12));
        decryptSteps<kPairs, true>(key, roundFunction, input, steps, output, previous);
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(chain),
            _mm_shuffle_epi8(previous, _mm_setr_epi8(3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12)));
    }
    return steps * kStepBlocks<kPairs>;
}

} // namespace

} // namespace twofish
