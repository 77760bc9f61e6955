// SPDX-License-Identifier: GPL-3.0-or-later
// The JH hash function (final, 42-round version) behind the NIST SHA-3 candidate interface.
#pragma once

#include <cstdint>

namespace jh {

using BitSequence = uint8_t;
using DataLength = uint64_t; // always a count of bits

enum HashReturn : int { SUCCESS = 0, FAIL = 1, BAD_HASHLEN = 2 };

// One digest computation, usually on the caller's stack. Plain data: copying it forks the computation.
struct hashState {
    int32_t hashBitLength;     // 224, 256, 384 or 512
    uint64_t messageBitLength; // bits passed to Update so far
    uint64_t bufferedBitCount; // bits waiting in messageBlock, 0 to 511
    // The 1024-bit chaining value; its byte image is the state in the published byte order.
    alignas(16) uint64_t chainState[8][2];
    BitSequence messageBlock[64];
};

// Starts a digest of hashBitLength bits (224, 256, 384 or 512). Any other size returns BAD_HASHLEN and
// leaves the state exactly as it was; using that state afterwards yields no meaningful digest.
HashReturn Init(hashState* state, int hashBitLength);

// Absorbs dataBitLength bits of data, most significant bit of each byte first. Only the last Update of
// a message may pass a count that is not a multiple of 8; an Update after such a call is not supported.
// Always returns SUCCESS.
HashReturn Update(hashState* state, const BitSequence* data, DataLength dataBitLength);

// Pads, finishes and writes hashBitLength / 8 bytes to hashValue; the state is spent afterwards.
// Returns SUCCESS. A state holding none of the four sizes (a failed Init) returns BAD_HASHLEN and
// writes nothing.
HashReturn Final(hashState* state, BitSequence* hashValue);

// One-shot Init, Update and Final on a private state that is wiped before returning. An unsupported
// size returns BAD_HASHLEN and leaves hashValue untouched.
HashReturn Hash(int hashBitLength, const BitSequence* data, DataLength dataBitLength, BitSequence* hashValue);

} // namespace jh
