// SPDX-License-Identifier: GPL-3.0-or-later
// A second, independent reading and writing of the encrypted layout, block by block over the cipher's ECB
// mode, against which the decryption operation is judged.
#pragma once

#include "crypto/twofish.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace fuzztest {

inline constexpr std::size_t kBlock = 16;
using Block = std::array<uint8_t, kBlock>;

// The plain text of an encrypted file: none for a length other than 48 + 16·n, or a check block whose first
// eight bytes are not "C19H28O2". The final block adds its first COUNT bytes, where COUNT is its last byte,
// only for a COUNT of 1 to 15.
std::optional<std::vector<uint8_t>> readEncrypted(std::span<const uint8_t> file,
                                                  const twofish::keyInstance& decryptKey);

// What an encrypted file holds before encryption, each part chosen freely.
struct PlainLayout {
    Block iv{};
    std::vector<uint8_t> wholeBlocks; // a multiple of 16 bytes
    Block finalBlock{};
    Block checkBlock{};
};

// IV, then the blocks in CBC, the first one chained with the IV reversed inside each group of four bytes.
std::vector<uint8_t> writeEncrypted(const PlainLayout& layout, const twofish::keyInstance& encryptKey);

} // namespace fuzztest
