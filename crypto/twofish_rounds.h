// SPDX-License-Identifier: GPL-3.0-or-later
// The scalar rounds of the Twofish variant, shared by the one-block code and the four-block interleave.
//
// Internal to crypto/. Only files built for the baseline instruction set include it: an inline function
// compiled with wider instructions could be the copy the linker keeps for the whole program.
#pragma once

#include "crypto/twofish.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace twofish::rounds {

using Block = std::array<uint32_t, 4>;

inline constexpr int kNumSubKeys = 40;

// Index of the sBox8x32 word for byte position j and input byte u.
constexpr size_t sBoxIndex(unsigned j, size_t u) {
    return 512 * (j / 2) + 2 * u + j % 2;
}

// The keyed S-box word of byte position J for input byte u. The words of positions 0 and 1 (and of 2
// and 3) for one input byte lie side by side, so u, widened before it is scaled, goes into the address
// with scale 8: no doubling of the key-dependent index on the critical path.
template <unsigned J>
inline uint32_t sBox(const uint32_t* s, uint32_t u) {
    return s[sBoxIndex(J, size_t{u})];
}

// Holds the optimiser to the order of operations written: it may not re-associate across this value.
// The serial encryption rounds are bound by latency, and the order below is the short one.
inline uint32_t asWritten(uint32_t value) {
    asm("" : "+r"(value));
    return value;
}

// g through the keyed S-boxes, one lookup per byte position j of x, xored as a tree.
// VARIANT: byte 0 is the MOST significant byte; published Twofish counts from the least significant end.
inline uint32_t g(const uint32_t* s, uint32_t x) {
    // Byte 1 alone needs a shift and a mask before its lookup, so it is xored in last.
    return asWritten(sBox<0>(s, x >> 24) ^ sBox<3>(s, x & 0xFF)) ^
           asWritten(sBox<2>(s, (x >> 8) & 0xFF) ^ sBox<1>(s, (x >> 16) & 0xFF));
}

// g(ROR(x, 8)) without rotating: byte position j reads byte (j + 3) mod 4 of x.
// VARIANT: published Twofish rotates the second round function input LEFT by 8; this cipher rotates RIGHT.
inline uint32_t gRotated(const uint32_t* s, uint32_t x) {
    return asWritten(sBox<1>(s, x >> 24) ^ sBox<0>(s, x & 0xFF)) ^
           asWritten(sBox<3>(s, (x >> 8) & 0xFF) ^ sBox<2>(s, (x >> 16) & 0xFF));
}

// The subkeys and S-boxes of one call. The subkeys are copied out of the caller's record so that the
// rounds read them from the stack, where no store to the output can change them; the S-boxes stay in the
// record.
struct CallKeys {
    uint32_t k[kNumSubKeys];
    const uint32_t* sBox;
};

inline CallKeys copyCallKeys(const keyInstance& key) {
    CallKeys keys;
    for (int i = 0; i < kNumSubKeys; ++i) {
        keys.k[i] = key.subKeys[i];
    }
    keys.sBox = key.sBox8x32;
    return keys;
}

// Clears the call's copy of the subkeys with word stores the optimiser may not drop; byte stores, as in
// crypto::secureWipe, would cost a third of a one-block call.
inline void wipeCallKeys(CallKeys& keys) {
    volatile uint32_t* words = keys.k;
    for (int i = 0; i < kNumSubKeys; ++i) {
        words[i] = 0;
    }
}

// One round: (a, b) feed the round function and (c, d) are mixed in place, so the halves never swap.
// In a chain of rounds b is ready a step before a (c takes a rotation more than d), so the subkeys are
// added to the term of b first and only the last addition waits for g(a).
inline void encryptRound(const CallKeys& keys, int pair, uint32_t a, uint32_t b, uint32_t& c, uint32_t& d) {
    const uint32_t t1 = gRotated(keys.sBox, b);
    const uint32_t u = asWritten(t1 + keys.k[pair]);
    const uint32_t v = asWritten(2 * t1 + keys.k[pair + 1]);
    const uint32_t t0 = g(keys.sBox, a);
    c = std::rotr(c ^ (t0 + u), 1);
    d = std::rotl(d, 1) ^ (t0 + v);
}

inline void decryptRound(const CallKeys& keys, int pair, uint32_t a, uint32_t b, uint32_t& c, uint32_t& d) {
    const uint32_t t0 = g(keys.sBox, a);
    const uint32_t t1 = gRotated(keys.sBox, b);
    c = std::rotl(c, 1) ^ (t0 + t1 + keys.k[pair]);
    d = std::rotr(d ^ (t0 + 2 * t1 + keys.k[pair + 1]), 1);
}

// The sixteen rounds on whitened words. Both directions take the stored round key pairs from the last
// (38, 39) to the first (8, 9); the record's direction has put them in the order the direction needs.
inline void encryptRounds(const CallKeys& keys, uint32_t& x0, uint32_t& x1, uint32_t& x2, uint32_t& x3) {
#pragma GCC unroll 8
    for (int pair = 38; pair >= 8; pair -= 4) {
        encryptRound(keys, pair, x0, x1, x2, x3);
        encryptRound(keys, pair - 2, x2, x3, x0, x1);
    }
}

inline void decryptRounds(const CallKeys& keys, uint32_t& x0, uint32_t& x1, uint32_t& x2, uint32_t& x3) {
#pragma GCC unroll 8
    for (int pair = 38; pair >= 8; pair -= 4) {
        decryptRound(keys, pair, x0, x1, x2, x3);
        decryptRound(keys, pair - 2, x2, x3, x0, x1);
    }
}

inline Block decryptWords(const CallKeys& keys, const Block& c) {
    const uint32_t* k = keys.k;
    uint32_t x0 = c[0] ^ k[4];
    uint32_t x1 = c[1] ^ k[5];
    uint32_t x2 = c[2] ^ k[6];
    uint32_t x3 = c[3] ^ k[7];
    decryptRounds(keys, x0, x1, x2, x3);
    // The final swap of the halves is folded into the output whitening.
    return {x2 ^ k[0], x3 ^ k[1], x0 ^ k[2], x1 ^ k[3]};
}

// VARIANT: block words are read and written BIG-endian; published Twofish uses little-endian words.
inline uint32_t loadWord(const uint8_t* b) {
    return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | uint32_t{b[3]};
}

inline void storeWord(uint8_t* b, uint32_t word) {
    b[0] = static_cast<uint8_t>(word >> 24);
    b[1] = static_cast<uint8_t>(word >> 16);
    b[2] = static_cast<uint8_t>(word >> 8);
    b[3] = static_cast<uint8_t>(word);
}

inline Block loadBlock(const uint8_t* bytes) {
    return {loadWord(bytes), loadWord(bytes + 4), loadWord(bytes + 8), loadWord(bytes + 12)};
}

inline void storeBlock(uint8_t* bytes, const Block& words) {
    for (size_t i = 0; i < 4; ++i) {
        storeWord(bytes + 4 * i, words[i]);
    }
}

inline Block operator^(const Block& a, const Block& b) {
    return {a[0] ^ b[0], a[1] ^ b[1], a[2] ^ b[2], a[3] ^ b[3]};
}

} // namespace twofish::rounds
