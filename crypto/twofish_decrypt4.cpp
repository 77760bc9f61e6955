// SPDX-License-Identifier: GPL-3.0-or-later
// Decryption of four blocks at a time in general-purpose registers, for CPUs without wider vectors.
//
// CBC decryption has no chain between the blocks' rounds: each plaintext is the decrypted block xored with
// the previous ciphertext. Running four blocks' rounds side by side keeps the table loads of one block
// from waiting on those of the next.
#include "crypto/twofish_paths.h"
#include "crypto/twofish_rounds.h"

namespace twofish {

namespace {

using rounds::Block;
using rounds::CallKeys;
using rounds::operator^;

constexpr size_t kWidth = 4;

struct Group {
    uint32_t x[kWidth][4];
};

void decryptGroup(const CallKeys& keys, Group& group) {
    const uint32_t* k = keys.k;
#pragma GCC unroll 4
    for (auto& x : group.x) {
        x[0] ^= k[4];
        x[1] ^= k[5];
        x[2] ^= k[6];
        x[3] ^= k[7];
    }
#pragma GCC unroll 8
    for (int pair = 38; pair >= 8; pair -= 4) {
#pragma GCC unroll 4
        for (auto& x : group.x) {
            rounds::decryptRound(keys, pair, x[0], x[1], x[2], x[3]);
        }
#pragma GCC unroll 4
        for (auto& x : group.x) {
            rounds::decryptRound(keys, pair - 2, x[2], x[3], x[0], x[1]);
        }
    }
}

} // namespace

size_t decryptGroupsScalar4(const keyInstance& key, const uint8_t* input, size_t blocks, uint8_t* output,
                            uint32_t* chain) {
    const size_t groups = blocks / kWidth;
    if (groups == 0) {
        return 0;
    }
    CallKeys keys = rounds::copyCallKeys(key);
    const uint32_t* k = keys.k;
    Block previous = chain != nullptr ? Block{chain[0], chain[1], chain[2], chain[3]} : Block{};
    for (size_t done = 0; done < groups * kWidth; done += kWidth) {
        const uint8_t* in = input + 16 * done;
        Block cipherText[kWidth];
        Group group;
        for (size_t b = 0; b < kWidth; ++b) {
            cipherText[b] = rounds::loadBlock(in + 16 * b);
            for (size_t w = 0; w < 4; ++w) {
                group.x[b][w] = cipherText[b][w];
            }
        }
        decryptGroup(keys, group);
        // All four input blocks are read before any output is written, so the buffers may be the same.
        for (size_t b = 0; b < kWidth; ++b) {
            const uint32_t* x = group.x[b];
            // The final swap of the halves is folded into the output whitening.
            Block plain = {x[2] ^ k[0], x[3] ^ k[1], x[0] ^ k[2], x[1] ^ k[3]};
            if (chain != nullptr) {
                plain = plain ^ (b == 0 ? previous : cipherText[b - 1]);
            }
            rounds::storeBlock(output + 16 * (done + b), plain);
        }
        previous = cipherText[kWidth - 1];
    }
    if (chain != nullptr) {
        for (size_t i = 0; i < 4; ++i) {
            chain[i] = previous[i];
        }
    }
    rounds::wipeCallKeys(keys);
    return groups * kWidth;
}

} // namespace twofish
