// SPDX-License-Identifier: GPL-3.0-or-later
// JH in the bit-sliced 64-bit form: the 1024-bit state as 8 rows of two 64-bit lanes, E8 as whole-word logic.
#include "crypto/jh.h"

#include "crypto/wipe.h"

#include <bit>
#include <cstddef>
#include <cstring>

namespace jh {

// The state's byte image is the published byte order, and message words, the initial values and the round
// constants are all read as little-endian 64-bit words; on this target those views coincide.
static_assert(std::endian::native == std::endian::little, "JH's word view needs a little-endian target");
static_assert(alignof(hashState) == 16 && sizeof(hashState::chainState) == 128);

namespace {

constexpr std::size_t kBlockBytes = 64;
constexpr uint64_t kBlockBits = 512;
constexpr std::size_t kStateBytes = 128;
constexpr int kRounds = 42;

// H(0) for 224, 256, 384 and 512 bits: F8 applied to H(-1) (the digest size as a 16-bit big-endian number
// in its first two bytes, all else zero) and an all-zero message block. The published values, as bytes.
alignas(16) constexpr uint8_t kInitialValues[4][kStateBytes] = {
    // 224
    {
        0x2d, 0xfe, 0xdd, 0x62, 0xf9, 0x9a, 0x98, 0xac, 0xae, 0x7c, 0xac, 0xd6, 0x19, 0xd6, 0x34, 0xe7,
        0xa4, 0x83, 0x10, 0x05, 0xbc, 0x30, 0x12, 0x16, 0xb8, 0x60, 0x38, 0xc6, 0xc9, 0x66, 0x14, 0x94,
        0x66, 0xd9, 0x89, 0x9f, 0x25, 0x80, 0x70, 0x6f, 0xce, 0x9e, 0xa3, 0x1b, 0x1d, 0x9b, 0x1a, 0xdc,
        0x11, 0xe8, 0x32, 0x5f, 0x7b, 0x36, 0x6e, 0x10, 0xf9, 0x94, 0x85, 0x7f, 0x02, 0xfa, 0x06, 0xc1,
        0x1b, 0x4f, 0x1b, 0x5c, 0xd8, 0xc8, 0x40, 0xb3, 0x97, 0xf6, 0xa1, 0x7f, 0x6e, 0x73, 0x80, 0x99,
        0xdc, 0xdf, 0x93, 0xa5, 0xad, 0xea, 0xa3, 0xd3, 0xa4, 0x31, 0xe8, 0xde, 0xc9, 0x53, 0x9a, 0x68,
        0x22, 0xb4, 0xa9, 0x8a, 0xec, 0x86, 0xa1, 0xe4, 0xd5, 0x74, 0xac, 0x95, 0x9c, 0xe5, 0x6c, 0xf0,
        0x15, 0x96, 0x0d, 0xea, 0xb5, 0xab, 0x2b, 0xbf, 0x96, 0x11, 0xdc, 0xf0, 0xdd, 0x64, 0xea, 0x6e,
    },
    // 256
    {
        0xeb, 0x98, 0xa3, 0x41, 0x2c, 0x20, 0xd3, 0xeb, 0x92, 0xcd, 0xbe, 0x7b, 0x9c, 0xb2, 0x45, 0xc1,
        0x1c, 0x93, 0x51, 0x91, 0x60, 0xd4, 0xc7, 0xfa, 0x26, 0x00, 0x82, 0xd6, 0x7e, 0x50, 0x8a, 0x03,
        0xa4, 0x23, 0x9e, 0x26, 0x77, 0x26, 0xb9, 0x45, 0xe0, 0xfb, 0x1a, 0x48, 0xd4, 0x1a, 0x94, 0x77,
        0xcd, 0xb5, 0xab, 0x26, 0x02, 0x6b, 0x17, 0x7a, 0x56, 0xf0, 0x24, 0x42, 0x0f, 0xff, 0x2f, 0xa8,
        0x71, 0xa3, 0x96, 0x89, 0x7f, 0x2e, 0x4d, 0x75, 0x1d, 0x14, 0x49, 0x08, 0xf7, 0x7d, 0xe2, 0x62,
        0x27, 0x76, 0x95, 0xf7, 0x76, 0x24, 0x8f, 0x94, 0x87, 0xd5, 0xb6, 0x57, 0x47, 0x80, 0x29, 0x6c,
        0x5c, 0x5e, 0x27, 0x2d, 0xac, 0x8e, 0x0d, 0x6c, 0x51, 0x84, 0x50, 0xc6, 0x57, 0x05, 0x7a, 0x0f,
        0x7b, 0xe4, 0xd3, 0x67, 0x70, 0x24, 0x12, 0xea, 0x89, 0xe3, 0xab, 0x13, 0xd3, 0x1c, 0xd7, 0x69,
    },
    // 384
    {
        0x48, 0x1e, 0x3b, 0xc6, 0xd8, 0x13, 0x39, 0x8a, 0x6d, 0x3b, 0x5e, 0x89, 0x4a, 0xde, 0x87, 0x9b,
        0x63, 0xfa, 0xea, 0x68, 0xd4, 0x80, 0xad, 0x2e, 0x33, 0x2c, 0xcb, 0x21, 0x48, 0x0f, 0x82, 0x67,
        0x98, 0xae, 0xc8, 0x4d, 0x90, 0x82, 0xb9, 0x28, 0xd4, 0x55, 0xea, 0x30, 0x41, 0x11, 0x42, 0x49,
        0x36, 0xf5, 0x55, 0xb2, 0x92, 0x48, 0x47, 0xec, 0xc7, 0x25, 0x0a, 0x93, 0xba, 0xf4, 0x3c, 0xe1,
        0x56, 0x9b, 0x7f, 0x8a, 0x27, 0xdb, 0x45, 0x4c, 0x9e, 0xfc, 0xbd, 0x49, 0x63, 0x97, 0xaf, 0x0e,
        0x58, 0x9f, 0xc2, 0x7d, 0x26, 0xaa, 0x80, 0xcd, 0x80, 0xc0, 0x8b, 0x8c, 0x9d, 0xeb, 0x2e, 0xda,
        0x8a, 0x79, 0x81, 0xe8, 0xf8, 0xd5, 0x37, 0x3a, 0xf4, 0x39, 0x67, 0xad, 0xdd, 0xd1, 0x7a, 0x71,
        0xa9, 0xb4, 0xd3, 0xbd, 0xa4, 0x75, 0xd3, 0x94, 0x97, 0x6c, 0x3f, 0xba, 0x98, 0x42, 0x73, 0x7f,
    },
    // 512
    {
        0x6f, 0xd1, 0x4b, 0x96, 0x3e, 0x00, 0xaa, 0x17, 0x63, 0x6a, 0x2e, 0x05, 0x7a, 0x15, 0xd5, 0x43,
        0x8a, 0x22, 0x5e, 0x8d, 0x0c, 0x97, 0xef, 0x0b, 0xe9, 0x34, 0x12, 0x59, 0xf2, 0xb3, 0xc3, 0x61,
        0x89, 0x1d, 0xa0, 0xc1, 0x53, 0x6f, 0x80, 0x1e, 0x2a, 0xa9, 0x05, 0x6b, 0xea, 0x2b, 0x6d, 0x80,
        0x58, 0x8e, 0xcc, 0xdb, 0x20, 0x75, 0xba, 0xa6, 0xa9, 0x0f, 0x3a, 0x76, 0xba, 0xf8, 0x3b, 0xf7,
        0x01, 0x69, 0xe6, 0x05, 0x41, 0xe3, 0x4a, 0x69, 0x46, 0xb5, 0x8a, 0x8e, 0x2e, 0x6f, 0xe6, 0x5a,
        0x10, 0x47, 0xa7, 0xd0, 0xc1, 0x84, 0x3c, 0x24, 0x3b, 0x6e, 0x71, 0xb1, 0x2d, 0x5a, 0xc1, 0x99,
        0xcf, 0x57, 0xf6, 0xec, 0x9d, 0xb1, 0xf8, 0x56, 0xa7, 0x06, 0x88, 0x7c, 0x57, 0x16, 0xb1, 0x56,
        0xe3, 0xc2, 0xfc, 0xdf, 0xe6, 0x85, 0x17, 0xfb, 0x54, 0x5a, 0x46, 0x78, 0xcc, 0x8c, 0xdd, 0x4b,
    },
};

// E8's round constants. C0 is the fractional part of sqrt(2), 6a09e667f3bcc908...0667322a; each next
// constant is the previous one passed through the round function R6 with all-zero constant bits. Each is
// regrouped into this state's bit-sliced element order (which moves with the odd-row swaps of every
// round) and stored as four little-endian words: [0], [1] select the S-boxes of rows 0, 2, 4, 6 in lanes
// 0 and 1; [2], [3] those of rows 1, 3, 5, 7. These are the published bit-sliced constants.
alignas(16) constexpr uint64_t kRoundConstants[kRounds][4] = {
    {0x67f815dfa2ded572, 0x571523b70a15847b, 0xf6875a4d90d6ab81, 0x402bd1c3c54f9f4e},
    {0x9cfa455ce03a98ea, 0x9a99b26699d2c503, 0x8a53bbf2b4960266, 0x31a2db881a1456b5},
    {0xdb0e199a5c5aa303, 0x1044c1870ab23f40, 0x1d959e848019051c, 0xdccde75eadeb336f},
    {0x416bbf029213ba10, 0xd027bbf7156578dc, 0x5078aa3739812c0a, 0xd3910041d2bf1a3f},
    {0x907eccf60d5a2d42, 0xce97c0929c9f62dd, 0xac442bc70ba75c18, 0x23fcc663d665dfd1},
    {0x1ab8e09e036c6e97, 0xa8ec6c447e450521, 0xfa618e5dbb03f1ee, 0x97818394b29796fd},
    {0x2f3003db37858e4a, 0x956a9ffb2d8d672a, 0x6c69b8f88173fe8a, 0x14427fc04672c78a},
    {0xc45ec7bd8f15f4c5, 0x80bb118fa76f4475, 0xbc88e4aeb775de52, 0xf4a3a6981e00b882},
    {0x1563a3a9338ff48e, 0x89f9b7d524565faa, 0xfde05a7c20edf1b6, 0x362c42065ae9ca36},
    {0x3d98fe4e433529ce, 0xa74b9a7374f93a53, 0x86814e6f591ff5d0, 0x9f5ad8af81ad9d0e},
    {0x6a6234ee670605a7, 0x2717b96ebe280b8b, 0x3f1080c626077447, 0x7b487ec66f7ea0e0},
    {0xc0a4f84aa50a550d, 0x9ef18e979fe7e391, 0xd48d605081727686, 0x62b0e5f3415a9e7e},
    {0x7a205440ec1f9ffc, 0x84c9f4ce001ae4e3, 0xd895fa9df594d74f, 0xa554c324117e2e55},
    {0x286efebd2872df5b, 0xb2c4a50fe27ff578, 0x2ed349eeef7c8905, 0x7f5928eb85937e44},
    {0x4a3124b337695f70, 0x65e4d61df128865e, 0xe720b95104771bc7, 0x8a87d423e843fe74},
    {0xf2947692a3e8297d, 0xc1d9309b097acbdd, 0xe01bdc5bfb301b1d, 0xbf829cf24f4924da},
    {0xffbf70b431bae7a4, 0x48bcf8de0544320d, 0x39d3bb5332fcae3b, 0xa08b29e0c1c39f45},
    {0x0f09aef7fd05c9e5, 0x34f1904212347094, 0x95ed44e301b771a2, 0x4a982f4f368e3be9},
    {0x15f66ca0631d4088, 0xffaf52874b44c147, 0x30c60ae2f14abb7e, 0xe68c6eccc5b67046},
    {0x00ca4fbd56a4d5a4, 0xae183ec84b849dda, 0xadd1643045ce5773, 0x67255c1468cea6e8},
    {0x16e10ecbf28cdaa3, 0x9a99949a5806e933, 0x7b846fc220b2601f, 0x1885d1a07facced1},
    {0xd319dd8da15b5932, 0x46b4a5aac01c9a50, 0xba6b04e467633d9f, 0x7eee560bab19caf6},
    {0x742128a9ea79b11f, 0xee51363b35f7bde9, 0x76d350755aac571d, 0x01707da3fec2463a},
    {0x42d8a498afc135f7, 0x79676b9e20eced78, 0xa8db3aea15638341, 0x832c83324d3bc3fa},
    {0xf347271c1f3b40a7, 0x9a762db734f04059, 0xfd4f21d26c4e3ee7, 0xef5957dc398dfdb8},
    {0xdaeb492b490c9b8d, 0x0d70f36849d7a25b, 0x84558d7ad0ae3b7d, 0x658ef8e4f0e9a5f5},
    {0x533b1036f4a2b8a0, 0x5aec3e759e07a80c, 0x4f88e85692946891, 0x4cbcbaf8555cb05b},
    {0x7b9487f3993bbbe3, 0x5d1c6b72d6f4da75, 0x6db334dc28acae64, 0x71db28b850a5346c},
    {0x2a518d10f2e261f8, 0xfc75dd593364dbe3, 0xa23fce43f1bcac1c, 0xb043e8023cd1bb67},
    {0x75a12988ca5b0a33, 0x5c5316b44d19347f, 0x1e4d790ec3943b92, 0x3fafeeb6d7757479},
    {0x21391abef7d4a8ea, 0x5127234c097ef45c, 0xd23c32ba5324a326, 0xadd5a66d4a17a344},
    {0x08c9f2afa63e1db5, 0x563c6b91983d5983, 0x4d608672a17cf84c, 0xf6c76e08cc3ee246},
    {0x5e76bcb1b333982f, 0x2ae6c4efa566d62b, 0x36d4c1bee8b6f406, 0x6321efbc1582ee74},
    {0x69c953f40d4ec1fd, 0x26585806c45a7da7, 0x16fae0061614c17e, 0x3f9d63283daf907e},
    {0x0cd29b00e3f2c9d2, 0x300cd4b730ceaa5f, 0x9832e0f216512a74, 0x9af8cee3d830eb0d},
    {0x9279f1b57b9ec54b, 0xd36886046ee651ff, 0x316796e6574d239b, 0x05750a17f3a6e6cc},
    {0xce6c3213d98176b1, 0x62a205f88452173c, 0x47154778b3cb2bf4, 0x486a9323825446ff},
    {0x65655e4e0758df38, 0x8e5086fc897cfcf2, 0x86ca0bd0442e7031, 0x4e477830a20940f0},
    {0x8338f7d139eea065, 0xbd3a2ce437e95ef7, 0x6ff8130126b29721, 0xe7de9fefd1ed44a3},
    {0xd992257615dfa08b, 0xbe42dc12f6f7853c, 0x7eb027ab7ceca7d8, 0xdea83eaada7d8d53},
    {0xd86902bd93ce25aa, 0xf908731afd43f65a, 0xa5194a17daef5fc0, 0x6a21fd4c33664d97},
    {0x701541db3198b435, 0x9b54cdedbb0f1eea, 0x72409751a163d09a, 0xe26f4791bf9d75f6},
};

// Masks of the low group in each adjacent pair of 1, 2, 4, 8, 16 and 32-bit groups.
constexpr uint64_t kGroupMasks[6] = {
    0x5555555555555555, 0x3333333333333333, 0x0f0f0f0f0f0f0f0f,
    0x00ff00ff00ff00ff, 0x0000ffff0000ffff, 0x00000000ffffffff,
};

// Both 4-bit S-boxes at once on 64 elements; a set bit in c selects S1 for that element, a clear bit S0.
inline void substitute(uint64_t& m0, uint64_t& m1, uint64_t& m2, uint64_t& m3, uint64_t c) {
    m3 = ~m3;
    m0 ^= ~m2 & c;
    const uint64_t t = c ^ (m0 & m1);
    m0 ^= m2 & m3;
    m3 ^= ~m1 & m2;
    m1 ^= m0 & m2;
    m2 ^= m0 & ~m3;
    m0 ^= m1 | m3;
    m3 ^= m1 & m2;
    m1 ^= t & m0;
    m2 ^= t;
}

// The linear transformation L on each pair of elements: an even-row element (e) with its odd-row partner (o).
inline void mix(uint64_t& e0, uint64_t& e1, uint64_t& e2, uint64_t& e3, uint64_t& o0, uint64_t& o1,
                uint64_t& o2, uint64_t& o3) {
    o0 ^= e1;
    o1 ^= e2;
    o2 ^= e0 ^ e3;
    o3 ^= e0;
    e0 ^= o1;
    e1 ^= o2;
    e2 ^= o0 ^ o3;
    e3 ^= o0;
}

// Round k of a pass of seven. The permutation touches only the odd rows: rounds 0 to 5 swap adjacent
// groups of 2^k bits inside each word, round 6 swaps the two lanes.
template <int K>
inline void round(uint64_t (&x)[8][2], const uint64_t (&c)[4]) {
    for (int lane = 0; lane < 2; ++lane) {
        substitute(x[0][lane], x[2][lane], x[4][lane], x[6][lane], c[lane]);
        substitute(x[1][lane], x[3][lane], x[5][lane], x[7][lane], c[2 + lane]);
        mix(x[0][lane], x[2][lane], x[4][lane], x[6][lane], x[1][lane], x[3][lane], x[5][lane], x[7][lane]);
    }
    for (int row = 1; row < 8; row += 2) {
        if constexpr (K < 6) {
            constexpr uint64_t mask = kGroupMasks[K];
            constexpr int width = 1 << K;
            for (uint64_t& w : x[row]) {
                w = (w & mask) << width | (w >> width & mask);
            }
        } else {
            const uint64_t first = x[row][0];
            x[row][0] = x[row][1];
            x[row][1] = first;
        }
    }
}

void e8(uint64_t (&x)[8][2]) {
    for (int r = 0; r < kRounds; r += 7) {
        round<0>(x, kRoundConstants[r]);
        round<1>(x, kRoundConstants[r + 1]);
        round<2>(x, kRoundConstants[r + 2]);
        round<3>(x, kRoundConstants[r + 3]);
        round<4>(x, kRoundConstants[r + 4]);
        round<5>(x, kRoundConstants[r + 5]);
        round<6>(x, kRoundConstants[r + 6]);
    }
}

// Clears a temporary the optimiser would treat as dead. Runs once per block, hence word stores.
template <std::size_t N>
void wipeWords(uint64_t (&words)[N]) {
    for (uint64_t& word : words) {
        *static_cast<volatile uint64_t*>(&word) = 0;
    }
}

// F8: the block goes into the first half of the state before E8 and into the second half after it. E8
// runs on a local copy of the chaining value, which the compiler keeps in registers; worked on in place
// it would go back to memory after every round. The copies left on the stack are wiped: the chaining
// value and the message words are as secret as the message.
void compress(uint64_t (&x)[8][2], const uint8_t* block) {
    uint64_t m[8];
    std::memcpy(m, block, sizeof m);
    uint64_t h[8][2];
    std::memcpy(h, x, sizeof h);
    for (int w = 0; w < 8; ++w) {
        h[w / 2][w % 2] ^= m[w];
    }
    e8(h);
    for (int w = 0; w < 8; ++w) {
        h[4 + w / 2][w % 2] ^= m[w];
    }
    std::memcpy(x, h, sizeof h);
    for (auto& row : h) {
        wipeWords(row);
    }
    wipeWords(m);
}

const uint8_t* initialValue(int hashBitLength) {
    switch (hashBitLength) {
    case 224:
        return kInitialValues[0];
    case 256:
        return kInitialValues[1];
    case 384:
        return kInitialValues[2];
    case 512:
        return kInitialValues[3];
    default:
        return nullptr;
    }
}

std::size_t bytesFor(uint64_t bits) {
    return static_cast<std::size_t>((bits + 7) / 8);
}

} // namespace

HashReturn Init(hashState* state, int hashBitLength) {
    const uint8_t* iv = initialValue(hashBitLength);
    if (iv == nullptr) {
        return BAD_HASHLEN;
    }
    state->hashBitLength = hashBitLength;
    state->messageBitLength = 0;
    state->bufferedBitCount = 0;
    std::memcpy(state->chainState, iv, kStateBytes);
    return SUCCESS;
}

HashReturn Update(hashState* state, const BitSequence* data, DataLength dataBitLength) {
    state->messageBitLength += dataBitLength;
    uint64_t remaining = dataBitLength;
    if (remaining == 0) {
        return SUCCESS;
    }
    if (state->bufferedBitCount > 0) {
        const auto offset = static_cast<std::size_t>(state->bufferedBitCount / 8);
        if (state->bufferedBitCount + remaining < kBlockBits) {
            std::memcpy(state->messageBlock + offset, data, bytesFor(remaining));
            state->bufferedBitCount += remaining;
            return SUCCESS;
        }
        std::memcpy(state->messageBlock + offset, data, kBlockBytes - offset);
        compress(state->chainState, state->messageBlock);
        data += kBlockBytes - offset;
        remaining -= kBlockBits - state->bufferedBitCount;
        state->bufferedBitCount = 0;
    }
    // Whole blocks are compressed straight from the caller's buffer.
    for (; remaining >= kBlockBits; remaining -= kBlockBits, data += kBlockBytes) {
        compress(state->chainState, data);
    }
    if (remaining > 0) {
        std::memcpy(state->messageBlock, data, bytesFor(remaining));
        state->bufferedBitCount = remaining;
    }
    return SUCCESS;
}

HashReturn Final(hashState* state, BitSequence* hashValue) {
    if (initialValue(state->hashBitLength) == nullptr) {
        return BAD_HASHLEN;
    }
    const uint64_t length = state->messageBitLength;
    uint8_t* block = state->messageBlock;
    const auto tailBits = static_cast<unsigned>(length % kBlockBits);
    if (tailBits == 0) {
        // The padding bit and the length share one block.
        std::memset(block, 0, kBlockBytes);
        block[0] = 0x80;
    } else {
        // A single 1 bit right after the message, zeros to the end of the block; the length follows in a
        // block of its own. Bits of a partial last byte beyond the message are not part of it.
        const std::size_t last = tailBits / 8;
        const unsigned used = tailBits % 8;
        block[last] = static_cast<uint8_t>((block[last] & (0xff00U >> used)) | (0x80U >> used));
        std::memset(block + last + 1, 0, kBlockBytes - last - 1);
        compress(state->chainState, block);
        std::memset(block, 0, kBlockBytes);
    }
    // The 128-bit big-endian length field ends the block; a 64-bit count leaves its upper half zero.
    for (int i = 0; i < 8; ++i) {
        block[kBlockBytes - 1 - i] = static_cast<uint8_t>(length >> (8 * i));
    }
    compress(state->chainState, block);

    const auto digestBytes = static_cast<std::size_t>(state->hashBitLength / 8);
    const auto* image = reinterpret_cast<const uint8_t*>(state->chainState);
    std::memcpy(hashValue, image + kStateBytes - digestBytes, digestBytes);
    return SUCCESS;
}

HashReturn Hash(int hashBitLength, const BitSequence* data, DataLength dataBitLength,
                BitSequence* hashValue) {
    hashState state{};
    if (Init(&state, hashBitLength) != SUCCESS) {
        return BAD_HASHLEN;
    }
    Update(&state, data, dataBitLength);
    Final(&state, hashValue);
    crypto::secureWipe(&state, sizeof state);
    return SUCCESS;
}

} // namespace jh
