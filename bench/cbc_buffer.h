// SPDX-License-Identifier: GPL-3.0-or-later
// The 64 MiB message that the Twofish CBC benchmarks, ours and the peer library's, run over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bench {

inline constexpr size_t kCbcBufferBytes = size_t{64} << 20;

inline std::vector<uint8_t> cbcBuffer() {
    std::vector<uint8_t> buffer(kCbcBufferBytes);
    for (size_t i = 0; i < buffer.size(); ++i) {
        buffer[i] = static_cast<uint8_t>(i * 131);
    }
    return buffer;
}

} // namespace bench
