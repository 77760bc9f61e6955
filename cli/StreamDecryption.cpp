// SPDX-License-Identifier: GPL-3.0-or-later
// The data blocks decrypted a chunk at a time behind the two blocks held back; the check at the end.
#include "cli/StreamDecryption.h"

#include "cli/HeldBackReader.h"
#include "cli/StreamEncryption.h"
#include "cli/StreamIo.h"
#include "crypto/wipe.h"
#include "engine/EncryptedFormat.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace cli {

namespace {

using engine::format::kBlockSize;

constexpr uint64_t kShortest = engine::format::encryptedLength(0);

bool possibleLength(uint64_t length) {
    return length % kBlockSize == 0 && length >= kShortest;
}

bool decryptInPlace(twofish::cipherInstance& cipher, twofish::keyInstance& key, uint8_t* data,
                    std::size_t length) {
    const auto bits = static_cast<int32_t>(length * 8);
    return twofish::blockDecrypt(&cipher, &key, data, bits, data) == bits;
}

// For a regular file, the answer its last two blocks give, as a file decrypted in place gets it; none for
// a stream whose end is not known, or a file that the key opens.
std::optional<StreamResult> answerFromTheEnd(int in, twofish::keyInstance& key) {
    const auto remaining = remainingLength(in);
    if (!remaining) {
        return std::nullopt;
    }
    if (!possibleLength(*remaining)) {
        return StreamResult{StreamOutcome::NotEncrypted};
    }
    const off_t position = ::lseek(in, 0, SEEK_CUR);
    uint8_t lastTwo[HeldBackReader::kHeldBack];
    const auto got = readFullyAt(in, lastTwo, sizeof lastTwo,
                                 static_cast<uint64_t>(position) + *remaining - sizeof lastTwo);
    if (!got || *got != sizeof lastTwo) {
        // A file that shrank meanwhile reads short.
        return StreamResult{StreamOutcome::ReadFailed, got ? EIO : errno};
    }
    if (!engine::format::checkBlockOpens(key, lastTwo)) {
        return StreamResult{StreamOutcome::WrongPassphrase};
    }
    return std::nullopt;
}

bool put(int out, const uint8_t* data, std::size_t length, StreamResult& result) {
    if (!writeFully(out, data, length)) {
        result = {StreamOutcome::WriteFailed, errno, result.written};
        return false;
    }
    result.written += length;
    return true;
}

} // namespace

StreamResult decryptStream(int in, int out, twofish::keyInstance& key) {
    if (auto early = answerFromTheEnd(in, key)) {
        return *early;
    }
    twofish::cipherInstance cipher{};
    if (twofish::cipherInit(&cipher, twofish::MODE_CBC, nullptr) != twofish::TRUE) {
        return {StreamOutcome::CipherFailed};
    }
    uint8_t iv[kBlockSize];
    const auto gotIv = readFully(in, iv, sizeof iv);
    if (!gotIv) {
        return {StreamOutcome::ReadFailed, errno};
    }
    if (*gotIv < sizeof iv) {
        return {StreamOutcome::NotEncrypted};
    }
    engine::format::loadInitialVector(cipher, iv);

    StreamResult result;
    HeldBackReader reader(in, kStreamChunkLength);
    for (;;) {
        const auto chunk = reader.next();
        if (!chunk) {
            return {StreamOutcome::ReadFailed, errno, result.written};
        }
        if (chunk->empty()) {
            break;
        }
        if (!decryptInPlace(cipher, key, chunk->data(), chunk->size())) {
            return {StreamOutcome::CipherFailed, 0, result.written};
        }
        if (!put(out, chunk->data(), chunk->size(), result)) {
            return result;
        }
    }

    // The rest ends with the final and the check block; the IV was a block of its own.
    const std::span<uint8_t> rest = reader.rest();
    if (!possibleLength(rest.size() + kBlockSize)) {
        result.outcome = StreamOutcome::NotEncrypted;
        return result;
    }
    if (!decryptInPlace(cipher, key, rest.data(), rest.size())) {
        return {StreamOutcome::CipherFailed, 0, result.written};
    }
    uint8_t finalBlock[kBlockSize];
    uint8_t checkBlock[kBlockSize];
    const std::size_t dataLength = rest.size() - HeldBackReader::kHeldBack;
    std::memcpy(finalBlock, rest.data() + dataLength, kBlockSize);
    std::memcpy(checkBlock, rest.data() + dataLength + kBlockSize, kBlockSize);
    const bool opens = engine::format::isCheckBlockValid(checkBlock);
    const uint8_t tailLength = engine::format::finalBlockTailLength(finalBlock);
    crypto::secureWipe(finalBlock, sizeof finalBlock);
    if (!opens) {
        result.outcome = StreamOutcome::WrongPassphrase;
        return result;
    }
    // The final block's plain bytes already follow the data blocks: one write ends the output.
    put(out, rest.data(), dataLength + tailLength, result);
    return result;
}

StreamResult checkStream(int in, twofish::keyInstance& key) {
    if (remainingLength(in)) {
        return answerFromTheEnd(in, key).value_or(StreamResult{StreamOutcome::Done});
    }
    uint64_t length = 0;
    HeldBackReader reader(in, kStreamChunkLength);
    for (;;) {
        const auto chunk = reader.next();
        if (!chunk) {
            return {StreamOutcome::ReadFailed, errno};
        }
        if (chunk->empty()) {
            break;
        }
        length += chunk->size();
    }
    const std::span<uint8_t> rest = reader.rest();
    if (!possibleLength(length + rest.size())) {
        return {StreamOutcome::NotEncrypted};
    }
    uint8_t lastTwo[HeldBackReader::kHeldBack];
    std::memcpy(lastTwo, rest.data() + rest.size() - sizeof lastTwo, sizeof lastTwo);
    return {engine::format::checkBlockOpens(key, lastTwo) ? StreamOutcome::Done
                                                          : StreamOutcome::WrongPassphrase};
}

} // namespace cli
