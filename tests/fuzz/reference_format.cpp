// SPDX-License-Identifier: GPL-3.0-or-later
// The encrypted layout read and written from its description, sharing no code with the engine's reader.
#include "tests/fuzz/reference_format.h"

#include <cstring>

namespace fuzztest {

namespace {

constexpr char kCheckedText[] = "C19H28O2";

// The stored IV enters the chain as little-endian words while blocks are big-endian words, so it chains
// the first block with each group of four bytes reversed.
Block firstChainValue(std::span<const uint8_t> iv) {
    Block chain{};
    for (std::size_t i = 0; i < kBlock; ++i) {
        chain[i] = iv[(i & ~std::size_t{3}) + 3 - (i & 3)];
    }
    return chain;
}

// One block alone; `key` is the caller's copy, since the cipher may reorder its round keys in place.
Block ecb(bool decrypt, twofish::keyInstance& key, const uint8_t* input) {
    twofish::cipherInstance cipher{};
    twofish::cipherInit(&cipher, twofish::MODE_ECB, nullptr);
    Block output{};
    if (decrypt) {
        twofish::blockDecrypt(&cipher, &key, input, twofish::kBlockBits, output.data());
    } else {
        twofish::blockEncrypt(&cipher, &key, input, twofish::kBlockBits, output.data());
    }
    return output;
}

} // namespace

std::optional<std::vector<uint8_t>> readEncrypted(std::span<const uint8_t> file,
                                                  const twofish::keyInstance& decryptKey) {
    if (file.size() % kBlock != 0 || file.size() < 3 * kBlock) {
        return std::nullopt;
    }
    twofish::keyInstance key = decryptKey;
    std::vector<uint8_t> plain;
    plain.reserve(file.size() - kBlock);
    Block chain = firstChainValue(file.first(kBlock));
    for (std::size_t offset = kBlock; offset < file.size(); offset += kBlock) {
        const Block decrypted = ecb(true, key, file.data() + offset);
        for (std::size_t i = 0; i < kBlock; ++i) {
            plain.push_back(decrypted[i] ^ chain[i]);
        }
        std::memcpy(chain.data(), file.data() + offset, kBlock);
    }
    const std::size_t checkAt = plain.size() - kBlock;
    if (std::memcmp(plain.data() + checkAt, kCheckedText, sizeof kCheckedText - 1) != 0) {
        return std::nullopt;
    }
    const std::size_t finalAt = checkAt - kBlock;
    const uint8_t count = plain[finalAt + kBlock - 1];
    const std::size_t kept = count >= 1 && count < kBlock ? count : 0;
    plain.resize(finalAt + kept);
    return plain;
}

std::vector<uint8_t> writeEncrypted(const PlainLayout& layout, const twofish::keyInstance& encryptKey) {
    std::vector<uint8_t> plain = layout.wholeBlocks;
    plain.insert(plain.end(), layout.finalBlock.begin(), layout.finalBlock.end());
    plain.insert(plain.end(), layout.checkBlock.begin(), layout.checkBlock.end());

    twofish::keyInstance key = encryptKey;
    std::vector<uint8_t> file(layout.iv.begin(), layout.iv.end());
    Block chain = firstChainValue(layout.iv);
    for (std::size_t offset = 0; offset + kBlock <= plain.size(); offset += kBlock) {
        Block mixed{};
        for (std::size_t i = 0; i < kBlock; ++i) {
            mixed[i] = plain[offset + i] ^ chain[i];
        }
        chain = ecb(false, key, mixed.data());
        file.insert(file.end(), chain.begin(), chain.end());
    }
    return file;
}

} // namespace fuzztest
