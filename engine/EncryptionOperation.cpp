// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the encrypted form of a file as its replacement, then puts it over the file and renames it.
#include "engine/EncryptionOperation.h"

#include "crypto/wipe.h"
#include "engine/EncryptedFormat.h"
#include "engine/FileBuffer.h"
#include "engine/InitialVector.h"
#include "engine/PathExtension.h"
#include "engine/StatusCode.h"
#include "engine/TempBuffer.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace engine {

using format::kBlockSize;

EncryptionOperation::EncryptionOperation(std::filesystem::path url, std::shared_ptr<const RunKeys> keys,
                                         OperationMaster* master, int64_t index)
    : FileOperation(std::move(url), std::move(keys), master, index) {}

std::filesystem::path EncryptionOperation::targetName() const {
    return withEncryptedExtension(m_url);
}

std::optional<int32_t> EncryptionOperation::transform() {
    twofish::cipherInstance cipher{};
    const int32_t cipherReady = twofish::cipherInit(&cipher, twofish::MODE_CBC, nullptr);
    uint8_t iv[kBlockSize];
    if (cipherReady != twofish::TRUE || !newInitialVector(iv)) {
        return StatusFailed;
    }
    format::loadInitialVector(cipher, iv);

    const uint64_t plainLength = m_file->fileLength();
    if (newTempBuffer(format::encryptedLength(plainLength)) == nullptr) {
        return StatusFailed;
    }

    const uint64_t wholeLength = plainLength - plainLength % kBlockSize;
    const auto tailLength = static_cast<uint8_t>(plainLength % kBlockSize);
    m_temp->appendBytes(iv, sizeof iv);

    // The whole blocks a chunk at a time, each chunk in one cipher call: the chain runs through them as
    // it would block by block.
    bool success = true;
    std::vector<uint8_t> chunk(
        static_cast<size_t>(std::min(kChunkLength, std::max(wholeLength, kBlockSize))));
    for (uint64_t offset = 0; offset < wholeLength;) {
        if (isCancelled()) {
            return stopped();
        }
        progress(offset, 2 * plainLength);
        const uint64_t length = std::min<uint64_t>(chunk.size(), wholeLength - offset);
        if (!m_file->getBytes(chunk.data(), length, offset) || m_temp->failed()) {
            return StatusFailed;
        }
        originalRead({chunk.data(), static_cast<size_t>(length)});
        success = encryptBlocks(cipher, chunk.data(), chunk.data(), length) && success;
        m_temp->appendBytes(chunk.data(), length);
        offset += length;
    }
    crypto::secureWipe(chunk.data(), chunk.size());

    uint8_t tail[kBlockSize];
    if (tailLength > 0 && !m_file->getBytes(tail, tailLength, wholeLength)) {
        return StatusFailed;
    }
    originalRead({tail, tailLength});
    uint8_t input[kBlockSize];
    uint8_t output[kBlockSize];
    format::fillFinalBlock(input, tail, tailLength);
    crypto::secureWipe(tail, sizeof tail);
    if (encryptBlocks(cipher, input, output, kBlockSize)) {
        m_temp->appendBytes(output, kBlockSize);
    } else {
        success = false;
    }
    crypto::secureWipe(input, sizeof input);

    std::memcpy(input, format::kCheckBlock.data(), kBlockSize);
    if (!encryptBlocks(cipher, input, output, kBlockSize)) {
        return StatusFailed;
    }
    m_temp->appendBytes(output, kBlockSize);

    if (!success) {
        return StatusFailed;
    }
    if (isCancelled()) {
        return stopped();
    }
    m_finalLength = format::encryptedLength(plainLength);
    m_direction = RewriteDirection::Encrypt;
    return std::nullopt;
}

} // namespace engine
