// SPDX-License-Identifier: GPL-3.0-or-later
// Chunks of whole blocks encrypted in one cipher call each, the last 0..15 bytes kept for the final block.
#include "cli/StreamEncryption.h"

#include "cli/StreamIo.h"
#include "crypto/wipe.h"

#include <cerrno>
#include <cstring>
#include <vector>

namespace cli {

namespace {

using engine::format::kBlockSize;

static_assert(kStreamChunkLength % kBlockSize == 0);

bool encryptInPlace(twofish::cipherInstance& cipher, twofish::keyInstance& key, uint8_t* data,
                    std::size_t length) {
    const auto bits = static_cast<int32_t>(length * 8);
    return twofish::blockEncrypt(&cipher, &key, data, bits, data) == bits;
}

// Writes and counts, so that a failed pass still says how much it wrote.
bool put(int out, const uint8_t* data, std::size_t length, StreamResult& result) {
    if (!writeFully(out, data, length)) {
        result = {StreamOutcome::WriteFailed, errno, result.written};
        return false;
    }
    result.written += length;
    return true;
}

} // namespace

StreamResult encryptStream(int in, int out, twofish::keyInstance& key, const uint8_t (&iv)[kBlockSize]) {
    twofish::cipherInstance cipher{};
    if (twofish::cipherInit(&cipher, twofish::MODE_CBC, nullptr) != twofish::TRUE) {
        return {StreamOutcome::CipherFailed};
    }
    engine::format::loadInitialVector(cipher, iv);
    StreamResult result;
    if (!put(out, iv, kBlockSize, result)) {
        return result;
    }

    // The plain text lies in it: wiped on every way out.
    struct WipedBuffer {
        std::vector<uint8_t> bytes = std::vector<uint8_t>(kStreamChunkLength);
        ~WipedBuffer() { crypto::secureWipe(bytes.data(), bytes.size()); }
    } chunk;
    std::size_t got = 0;
    do {
        const auto read = readFully(in, chunk.bytes.data(), chunk.bytes.size());
        if (!read) {
            return {StreamOutcome::ReadFailed, errno, result.written};
        }
        got = *read;
        const std::size_t whole = got - got % kBlockSize;
        if (!encryptInPlace(cipher, key, chunk.bytes.data(), whole)) {
            return {StreamOutcome::CipherFailed, 0, result.written};
        }
        if (!put(out, chunk.bytes.data(), whole, result)) {
            return result;
        }
    } while (got == chunk.bytes.size());

    // A short read is the end of input; its last 0..15 bytes go into the final block.
    const auto tailLength = static_cast<uint8_t>(got % kBlockSize);
    uint8_t lastTwo[2][kBlockSize];
    engine::format::fillFinalBlock(lastTwo[0], chunk.bytes.data() + got - tailLength, tailLength);
    std::memcpy(lastTwo[1], engine::format::kCheckBlock.data(), kBlockSize);
    if (!encryptInPlace(cipher, key, lastTwo[0], sizeof lastTwo)) {
        crypto::secureWipe(lastTwo, sizeof lastTwo);
        return {StreamOutcome::CipherFailed, 0, result.written};
    }
    put(out, lastTwo[0], sizeof lastTwo, result);
    return result;
}

} // namespace cli
