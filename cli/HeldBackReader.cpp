// SPDX-License-Identifier: GPL-3.0-or-later
// A buffer of one chunk and two blocks, refilled from the input behind the blocks it holds back.
#include "cli/HeldBackReader.h"

#include "cli/StreamIo.h"
#include "crypto/wipe.h"

#include <cstring>

namespace cli {

HeldBackReader::HeldBackReader(int fd, std::size_t chunkLength)
    : m_fd(fd), m_buffer(chunkLength + kHeldBack) {}

HeldBackReader::~HeldBackReader() {
    crypto::secureWipe(m_buffer.data(), m_buffer.size());
}

std::optional<std::span<uint8_t>> HeldBackReader::next() {
    if (m_ended) {
        return std::span<uint8_t>{};
    }
    if (m_handedOut > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_handedOut, m_filled - m_handedOut);
        m_filled -= m_handedOut;
        m_handedOut = 0;
    }
    const auto got = readFully(m_fd, m_buffer.data() + m_filled, m_buffer.size() - m_filled);
    if (!got) {
        return std::nullopt;
    }
    m_filled += *got;
    if (m_filled < m_buffer.size()) {
        m_ended = true;
        return std::span<uint8_t>{};
    }
    m_handedOut = m_filled - kHeldBack;
    return std::span<uint8_t>(m_buffer.data(), m_handedOut);
}

std::span<uint8_t> HeldBackReader::rest() {
    return {m_buffer.data() + m_handedOut, m_filled - m_handedOut};
}

} // namespace cli
