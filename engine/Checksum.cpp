// SPDX-License-Identifier: GPL-3.0-or-later
// XXH3 from the system's xxHash library, whole and streamed, and per block.
#include "engine/Checksum.h"

#define XXH_STATIC_LINKING_ONLY
#include <xxhash.h>

#include <algorithm>

namespace engine {

struct ChecksumStream::State {
    XXH3_state_t xxh;
};

uint64_t checksumOf(std::span<const uint8_t> bytes) {
    return XXH3_64bits(bytes.data(), bytes.size());
}

ChecksumStream::ChecksumStream() : m_state(std::make_unique<State>()) {
    XXH3_INITSTATE(&m_state->xxh);
    XXH3_64bits_reset(&m_state->xxh);
}

ChecksumStream::~ChecksumStream() = default;

void ChecksumStream::update(std::span<const uint8_t> bytes) {
    XXH3_64bits_update(&m_state->xxh, bytes.data(), bytes.size());
}

void ChecksumStream::reset() {
    XXH3_64bits_reset(&m_state->xxh);
}

uint64_t ChecksumStream::digest() const {
    return XXH3_64bits_digest(&m_state->xxh);
}

void BlockChecksums::update(std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const auto take = static_cast<size_t>(std::min<uint64_t>(kBlockSize - m_inBlock, bytes.size()));
        m_block.update(bytes.first(take));
        m_inBlock += take;
        bytes = bytes.subspan(take);
        if (m_inBlock == kBlockSize) {
            m_checksums.push_back(m_block.digest());
            m_block.reset();
            m_inBlock = 0;
        }
    }
}

std::vector<uint64_t> BlockChecksums::finish() {
    if (m_inBlock > 0) {
        m_checksums.push_back(m_block.digest());
        m_inBlock = 0;
    }
    return std::move(m_checksums);
}

} // namespace engine
