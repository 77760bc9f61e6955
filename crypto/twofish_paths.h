// SPDX-License-Identifier: GPL-3.0-or-later
// The ways blockDecrypt can run many blocks at once, and a hook that forces one of them.
//
// Internal to crypto/, its tests and benchmarks. Files built with wider instruction sets include it too,
// so it declares functions only.
#pragma once

#include "crypto/twofish.h"

#include <cstddef>
#include <cstdint>

namespace twofish {

// Widest last. Each path hands the blocks left over after its last whole group to the next narrower one.
enum class DecryptPath : uint8_t {
    OneBlock, // one block at a time: the reference
    Scalar4,  // four blocks interleaved in general-purpose registers
    Avx2,     // two groups of eight blocks, S-box words fetched with gathers
    Avx512,   // two groups of sixteen blocks
    // Four groups of sixteen blocks with byte permutes for the S-boxes and GF(2) affine products for the
    // MDS matrix, where the CPU has them (AVX-512 VBMI and GFNI): no gathers, which many CPUs run slowly.
    Avx512Vbmi,
};

inline constexpr DecryptPath kDecryptPaths[] = {DecryptPath::OneBlock, DecryptPath::Scalar4,
                                                DecryptPath::Avx2, DecryptPath::Avx512,
                                                DecryptPath::Avx512Vbmi};

const char* decryptPathName(DecryptPath path);

// Whether this CPU (and its operating system) runs the path.
bool decryptPathSupported(DecryptPath path);

// The widest supported path, decided on first use and kept.
DecryptPath bestDecryptPath();

// blockDecrypt with the given path and the narrower ones under it; an unsupported path refuses with
// BAD_CIPHER_MODE and changes nothing.
int32_t blockDecryptWith(DecryptPath path, cipherInstance* cipher, keyInstance* key, const uint8_t* input,
                         int32_t inputLen, uint8_t* outBuffer);

// Decrypts `blocks` blocks: the whole groups of `path`, then of each narrower path in turn. The record is
// ordered for decryption; `chain` holds the CBC chaining words and is left at the last ciphertext block,
// or is null in ECB. `output` is `input` or a buffer disjoint from it.
void decryptBlocks(DecryptPath path, const keyInstance& key, const uint8_t* input, size_t blocks,
                   uint8_t* output, uint32_t* chain);

// The group functions of the paths. Each decrypts the whole groups at the start of `blocks` blocks from
// `input` to `output` (the same buffer or disjoint ones) with a record ordered for decryption, and returns
// how many blocks it did. `chain` holds the CBC chaining words and is left at the last ciphertext block
// done; it is null in ECB.
size_t decryptGroupsOneBlock(const keyInstance& key, const uint8_t* input, size_t blocks, uint8_t* output,
                             uint32_t* chain);
size_t decryptGroupsScalar4(const keyInstance& key, const uint8_t* input, size_t blocks, uint8_t* output,
                            uint32_t* chain);
size_t decryptGroupsAvx2(const keyInstance& key, const uint8_t* input, size_t blocks, uint8_t* output,
                         uint32_t* chain);
size_t decryptGroupsAvx512(const keyInstance& key, const uint8_t* input, size_t blocks, uint8_t* output,
                           uint32_t* chain);
size_t decryptGroupsAvx512Vbmi(const keyInstance& key, const uint8_t* input, size_t blocks, uint8_t* output,
                               uint32_t* chain);

} // namespace twofish
