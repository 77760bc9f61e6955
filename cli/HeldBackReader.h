// SPDX-License-Identifier: GPL-3.0-or-later
// Reads an input of unknown length a chunk at a time while always holding back its last two blocks, which
// in the encrypted format are the final block and the check block.
#pragma once

#include "engine/EncryptedFormat.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace cli {

class HeldBackReader {
public:
    static constexpr std::size_t kHeldBack = 2 * engine::format::kBlockSize;

    // `chunkLength` is a multiple of the block size. The reader does not own `fd`.
    HeldBackReader(int fd, std::size_t chunkLength);
    // Wipes the buffer: it may have held plain text.
    ~HeldBackReader();
    HeldBackReader(const HeldBackReader&) = delete;
    HeldBackReader& operator=(const HeldBackReader&) = delete;

    // The next `chunkLength` bytes that are certainly not among the last kHeldBack of the input, for the
    // caller to change in place; empty once the end of input has been reached. None, with errno set, when
    // a read fails.
    std::optional<std::span<uint8_t>> next();
    // After next() has given an empty span: everything not handed out, at most chunkLength + kHeldBack - 1
    // bytes, for the caller to change in place too.
    std::span<uint8_t> rest();

private:
    int m_fd;
    std::vector<uint8_t> m_buffer;
    std::size_t m_filled = 0;
    std::size_t m_handedOut = 0;
    bool m_ended = false;
};

} // namespace cli
