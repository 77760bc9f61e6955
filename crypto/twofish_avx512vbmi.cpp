// SPDX-License-Identifier: GPL-3.0-or-later
// Decryption of sixty-four blocks at a time with AVX-512 byte permutes and GFNI: the keyed S-boxes as byte
// tables read with VPERMI2B, the MDS matrix applied with GF(2) affine products, and no gathers.
//
// Built with -mavx512f -mavx512bw -mavx512vbmi -mgfni and run only where the CPU has all four. Everything
// here has internal linkage and no standard library template is instantiated, so no copy built for these
// instructions of a shared inline function can reach the rest of the program.
//
// The round function works on position slices: the bytes at one position of the four words that enter
// g in a round (a and ROR(b, 8) of both groups) are gathered into one register, so that each register
// meets a single S-box table and the MDS matrix becomes plain products of whole registers.
#include "crypto/twofish_avx512_frame.h"
#include "crypto/twofish_field.h"

namespace twofish {

namespace {

// The row of MDS column j whose coefficient is 1: that byte of an sBox8x32 word of position j is the keyed
// S-box output itself.
constexpr unsigned unitRow(unsigned j) {
    for (unsigned i = 0; i < 4; ++i) {
        if (kMdsMatrix[i][j] == 1) {
            return i;
        }
    }
    return 4;
}
static_assert(unitRow(0) < 4 && unitRow(1) < 4 && unitRow(2) < 4 && unitRow(3) < 4);

// Where byte j of a word lies in memory, and so in a 32-bit lane.
// VARIANT: byte 0 is the MOST significant byte; published Twofish counts from the least significant end.
constexpr unsigned memoryOffset(unsigned j) {
    return 3 - j;
}

// The bit matrix of multiplication by c in the MDS field, laid out for GF2P8AFFINEQB: byte 7 - i holds
// the input bits that make output bit i.
constexpr uint64_t multiplication(uint8_t c) {
    uint64_t matrix = 0;
    for (unsigned i = 0; i < 8; ++i) {
        uint64_t row = 0;
        for (unsigned k = 0; k < 8; ++k) {
            if (((gfMultiply(c, static_cast<uint8_t>(1u << k), kMdsPolynomial) >> i) & 1) != 0) {
                row |= uint64_t{1} << k;
            }
        }
        matrix |= row << (8 * (7 - i));
    }
    return matrix;
}
static_assert(multiplication(1) == 0x0102040810204080);

// The multiplication matrix of each MDS coefficient, computed at compile time.
struct MdsProducts {
    uint64_t matrix[4][4];
};

constexpr MdsProducts mdsProducts() {
    MdsProducts products{};
    for (unsigned i = 0; i < 4; ++i) {
        for (unsigned j = 0; j < 4; ++j) {
            products.matrix[i][j] = multiplication(kMdsMatrix[i][j]);
        }
    }
    return products;
}
constexpr MdsProducts kMdsProducts = mdsProducts();

// A byte permutation control or data vector.
struct Bytes64 {
    uint8_t b[64];
};

inline __m512i load(const Bytes64& bytes) {
    return _mm512_loadu_si512(bytes.b);
}

// Picks the S-box bytes of positions 2p and 2p + 1 for sixteen inputs out of the 32 sBox8x32 words that
// hold them side by side: the first 16 bytes for position 2p, the next 16 for 2p + 1.
constexpr Bytes64 tableBytePicker(unsigned p) {
    Bytes64 picker{};
    for (unsigned m = 0; m < 16; ++m) {
        picker.b[m] = static_cast<uint8_t>(8 * m + memoryOffset(unitRow(2 * p)));
        picker.b[16 + m] = static_cast<uint8_t>(8 * m + 4 + memoryOffset(unitRow(2 * p + 1)));
    }
    return picker;
}
constexpr Bytes64 kTableBytePickers[2] = {tableBytePicker(0), tableBytePicker(1)};

// From two registers of 32 words: the bytes at memory offset `first` of all 32 words, then those at
// offset first + 1.
constexpr Bytes64 slicePicker(unsigned first) {
    Bytes64 picker{};
    for (unsigned m = 0; m < 32; ++m) {
        picker.b[m] = static_cast<uint8_t>(4 * m + first);
        picker.b[32 + m] = static_cast<uint8_t>(4 * m + first + 1);
    }
    return picker;
}
constexpr Bytes64 kSlicePickers[2] = {slicePicker(0), slicePicker(2)};

// The way back: from 32 bytes of each of the four slices (offset o at 32 * o), the 16 words starting at
// word `firstWord`.
constexpr Bytes64 wordPicker(unsigned firstWord) {
    Bytes64 picker{};
    for (unsigned d = 0; d < 16; ++d) {
        for (unsigned o = 0; o < 4; ++o) {
            picker.b[4 * d + o] = static_cast<uint8_t>(32 * o + firstWord + d);
        }
    }
    return picker;
}
constexpr Bytes64 kWordPickers[2] = {wordPicker(0), wordPicker(16)};

// The keyed S-boxes as bytes, table[j][u] for position j and input u; key material on the stack, wiped
// when the call ends.
struct ByteTables {
    alignas(64) uint8_t table[4][256];
};

void buildTables(const keyInstance& key, ByteTables& tables) {
    const auto* words = reinterpret_cast<const uint8_t*>(key.sBox8x32);
    for (unsigned p = 0; p < 2; ++p) {
        const __m512i picker = load(kTableBytePickers[p]);
        // Positions 2p and 2p + 1 share the 512 words from 512 * p, two per input byte.
        const uint8_t* pairWords = words + 4 * 512 * p;
        for (unsigned first = 0; first < 256; first += 16) {
            const uint8_t* from = pairWords + 8 * first;
            const __m512i bytes =
                _mm512_permutex2var_epi8(_mm512_loadu_si512(from), picker, _mm512_loadu_si512(from + 64));
            _mm_store_si128(reinterpret_cast<__m128i*>(tables.table[2 * p] + first),
                            _mm512_castsi512_si128(bytes));
            _mm_store_si128(reinterpret_cast<__m128i*>(tables.table[2 * p + 1] + first),
                            _mm512_extracti32x4_epi32(bytes, 1));
        }
    }
}

// Clears the tables with 64-byte stores the optimiser may not drop; the byte stores of crypto::secureWipe
// would cost as much again as a whole step of 64 blocks.
void wipeTables(ByteTables& tables) {
    auto* lines = reinterpret_cast<volatile __m512i*>(tables.table);
    for (size_t i = 0; i < sizeof tables.table / sizeof(__m512i); ++i) {
        lines[i] = _mm512_setzero_si512();
    }
}

inline __m512i xor3(__m512i a, __m512i b, __m512i c) {
    constexpr int kXorOfThree = 0x96; // the truth table of a ^ b ^ c
    return _mm512_ternarylogic_epi32(a, b, c, kXorOfThree);
}

// The S-box bytes of table j for every byte of x: VPERMI2B reads 128 entries, so the two halves of the
// table are read apart and the top bit of each byte chooses between them.
inline __m512i lookUp(const ByteTables& tables, unsigned j, __m512i x) {
    const uint8_t* table = tables.table[j];
    const __m512i low = _mm512_permutex2var_epi8(_mm512_load_si512(table), x, _mm512_load_si512(table + 64));
    const __m512i high =
        _mm512_permutex2var_epi8(_mm512_load_si512(table + 128), x, _mm512_load_si512(table + 192));
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(x), low, high);
}

// The MDS coefficient M[i][j] times each byte of y.
inline __m512i times(unsigned i, unsigned j, __m512i y) {
    if (kMdsMatrix[i][j] == 1) {
        return y;
    }
    return _mm512_gf2p8affine_epi64_epi8(
        y, _mm512_set1_epi64(static_cast<long long>(kMdsProducts.matrix[i][j])), 0);
}

// The round function the frame calls, on position slices.
struct SliceRoundFunction {
    const ByteTables& tables;

    // Inlined into every round, where the two groups' words stay in registers.
    [[gnu::always_inline]] Terms operator()(__m512i a0, __m512i b0, __m512i a1, __m512i b1) const {
        // VARIANT: published Twofish rotates the second round function input LEFT by 8; this cipher
        // rotates RIGHT.
        const __m512i b0Rotated = _mm512_ror_epi32(b0, 8);
        const __m512i b1Rotated = _mm512_ror_epi32(b1, 8);

        // Slices by memory offset: words 0..31 are a0 and a1, words 32..63 the rotated b0 and b1.
        __m512i slice[4];
#pragma GCC unroll 2
        for (unsigned half = 0; half < 2; ++half) {
            const __m512i picker = load(kSlicePickers[half]);
            const __m512i aBytes = _mm512_permutex2var_epi8(a0, picker, a1);
            const __m512i bBytes = _mm512_permutex2var_epi8(b0Rotated, picker, b1Rotated);
            slice[2 * half] = _mm512_shuffle_i64x2(aBytes, bBytes, 0x44);
            slice[2 * half + 1] = _mm512_shuffle_i64x2(aBytes, bBytes, 0xEE);
        }

        __m512i y[4];
#pragma GCC unroll 4
        for (unsigned j = 0; j < 4; ++j) {
            y[j] = lookUp(tables, j, slice[memoryOffset(j)]);
        }
        // z_i is the sum over j of M[i][j] y_j, with the products the matrix asks for.
        __m512i z[4];
#pragma GCC unroll 4
        for (unsigned i = 0; i < 4; ++i) {
            z[memoryOffset(i)] = _mm512_xor_si512(
                xor3(times(i, 0, y[0]), times(i, 1, y[1]), times(i, 2, y[2])), times(i, 3, y[3]));
        }

        // Back to words: two registers of 32 bytes from each slice, then sixteen words at a time.
        const __m512i low01 = _mm512_shuffle_i64x2(z[0], z[1], 0x44);
        const __m512i low23 = _mm512_shuffle_i64x2(z[2], z[3], 0x44);
        const __m512i high01 = _mm512_shuffle_i64x2(z[0], z[1], 0xEE);
        const __m512i high23 = _mm512_shuffle_i64x2(z[2], z[3], 0xEE);
        const __m512i firstWords = load(kWordPickers[0]);
        const __m512i nextWords = load(kWordPickers[1]);
        return {{_mm512_permutex2var_epi8(low01, firstWords, low23),
                 _mm512_permutex2var_epi8(low01, nextWords, low23)},
                {_mm512_permutex2var_epi8(high01, firstWords, high23),
                 _mm512_permutex2var_epi8(high01, nextWords, high23)}};
    }
};

} // namespace

size_t decryptGroupsAvx512Vbmi(const keyInstance& key, const uint8_t* input, size_t blocks, uint8_t* output,
                               uint32_t* chain) {
    // Four groups of sixteen: the round function's chain of permutes is long, and two pairs of groups
    // overlap it.
    constexpr int kPairs = 2;
    if (blocks < kStepBlocks<kPairs>) {
        return 0;
    }
    ByteTables tables;
    buildTables(key, tables);
    const size_t done =
        decryptStepsWithChain<kPairs>(key, SliceRoundFunction{tables}, input, blocks, output, chain);
    wipeTables(tables);
    return done;
}

} // namespace twofish
