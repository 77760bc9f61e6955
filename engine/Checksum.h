// SPDX-License-Identifier: GPL-3.0-or-later
// Checksums that tell a journal torn or altered by accident from a whole one: XXH3, 64 bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace engine {

// These guard against torn and lost writes and media faults, not against an attacker: anyone who can
// write the journal can write the file itself.
uint64_t checksumOf(std::span<const uint8_t> bytes);

// The checksum of bytes handed over in pieces, equal to checksumOf() of them all at once.
class ChecksumStream {
public:
    ChecksumStream();
    ~ChecksumStream();
    ChecksumStream(const ChecksumStream&) = delete;
    ChecksumStream& operator=(const ChecksumStream&) = delete;

    void update(std::span<const uint8_t> bytes);
    uint64_t digest() const;
    // Starts again, as if new.
    void reset();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The checksum of every kBlockSize-byte block of bytes handed over in order from offset 0, the last block
// shorter where the length is not a multiple: recovery compares a file block by block against its
// original and its replacement.
class BlockChecksums {
public:
    // Small enough that no file system block holds two of them: a power loss tears a file at its file
    // system's blocks (1 KiB on small ext4 volumes), never inside one, so every block is whole.
    static constexpr uint64_t kBlockSize = 1024;

    void update(std::span<const uint8_t> bytes);
    // The blocks so far, the unfinished last one included; the object is spent afterwards.
    std::vector<uint64_t> finish();

private:
    ChecksumStream m_block;
    uint64_t m_inBlock = 0;
    std::vector<uint64_t> m_checksums;
};

} // namespace engine
