// SPDX-License-Identifier: GPL-3.0-or-later
// Chooses, from the CPU's features, how blockDecrypt runs many blocks, and runs the paths widest first.
#include "crypto/twofish_paths.h"

#include "crypto/twofish_rounds.h"

#include <iterator>

namespace twofish {

namespace {

using rounds::Block;
using rounds::CallKeys;
using rounds::operator^;

using GroupFunction = size_t (*)(const keyInstance&, const uint8_t*, size_t, uint8_t*, uint32_t*);

// Indexed by DecryptPath.
constexpr GroupFunction kGroupFunctions[] = {decryptGroupsOneBlock, decryptGroupsScalar4, decryptGroupsAvx2,
                                             decryptGroupsAvx512, decryptGroupsAvx512Vbmi};
static_assert(std::size(kGroupFunctions) == std::size(kDecryptPaths));

// The blocks in one group of each path, indexed by DecryptPath: fewer are not offered to its group
// function, which spares one-block calls the walk through the wider paths. Were a figure here too large,
// the blocks would only go to a narrower path.
constexpr size_t kGroupBlocks[] = {1, 4, 16, 32, 64};
static_assert(std::size(kGroupBlocks) == std::size(kDecryptPaths));

bool cpuSupports(DecryptPath path) {
    // The feature bits are filled by a constructor of the runtime; this may run before it.
    __builtin_cpu_init();
    switch (path) {
    case DecryptPath::OneBlock:
    case DecryptPath::Scalar4:
        return true;
    case DecryptPath::Avx2:
        return __builtin_cpu_supports("avx2") != 0;
    case DecryptPath::Avx512:
        // The runtime reports AVX-512 only where the operating system also saves the wide registers.
        return __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512bw") != 0;
    case DecryptPath::Avx512Vbmi:
        return cpuSupports(DecryptPath::Avx512) && __builtin_cpu_supports("avx512vbmi") != 0 &&
               __builtin_cpu_supports("gfni") != 0;
    }
    return false;
}

// Each path's narrower ones must run too, for its leftover blocks: the first path missing ends the search.
DecryptPath widestSupported() {
    DecryptPath best = DecryptPath::OneBlock;
    for (const DecryptPath path : kDecryptPaths) {
        if (!cpuSupports(path)) {
            break;
        }
        best = path;
    }
    return best;
}

} // namespace

const char* decryptPathName(DecryptPath path) {
    switch (path) {
    case DecryptPath::OneBlock:
        return "OneBlock";
    case DecryptPath::Scalar4:
        return "Scalar4";
    case DecryptPath::Avx2:
        return "Avx2";
    case DecryptPath::Avx512:
        return "Avx512";
    case DecryptPath::Avx512Vbmi:
        return "Avx512Vbmi";
    }
    return "Unknown";
}

bool decryptPathSupported(DecryptPath path) {
    return path <= bestDecryptPath();
}

DecryptPath bestDecryptPath() {
    // Decided once: the initialisation of a function-local static is thread-safe.
    static const DecryptPath best = widestSupported();
    return best;
}

void decryptBlocks(DecryptPath path, const keyInstance& key, const uint8_t* input, size_t blocks,
                   uint8_t* output, uint32_t* chain) {
    size_t done = 0;
    for (auto index = static_cast<size_t>(path) + 1; index-- > 0 && done < blocks;) {
        if (blocks - done >= kGroupBlocks[index]) {
            const size_t offset = 16 * done;
            done += kGroupFunctions[index](key, input + offset, blocks - done, output + offset, chain);
        }
    }
}

size_t decryptGroupsOneBlock(const keyInstance& key, const uint8_t* input, size_t blocks, uint8_t* output,
                             uint32_t* chain) {
    CallKeys keys = rounds::copyCallKeys(key);
    Block previous = chain != nullptr ? Block{chain[0], chain[1], chain[2], chain[3]} : Block{};
    for (size_t i = 0; i < blocks; ++i) {
        // The whole input block is read before any output is written, so the buffers may be the same.
        const Block in = rounds::loadBlock(input + 16 * i);
        rounds::storeBlock(output + 16 * i, rounds::decryptWords(keys, in) ^ previous);
        if (chain != nullptr) {
            previous = in;
        }
    }
    if (chain != nullptr) {
        for (int i = 0; i < 4; ++i) {
            chain[i] = previous[i];
        }
    }
    rounds::wipeCallKeys(keys);
    return blocks;
}

} // namespace twofish
