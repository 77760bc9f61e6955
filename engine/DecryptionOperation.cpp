// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the passphrase against a file's last blocks, decrypts the whole file into its replacement, then
// puts that over the file.
#include "engine/DecryptionOperation.h"

#include "crypto/wipe.h"
#include "engine/EncryptedFormat.h"
#include "engine/FileBuffer.h"
#include "engine/LogMessages.h"
#include "engine/PathExtension.h"
#include "engine/StatusCode.h"
#include "engine/TempBuffer.h"
#include "platform/Log.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace engine {

using format::kBlockSize;

DecryptionOperation::DecryptionOperation(std::filesystem::path url, std::shared_ptr<const RunKeys> keys,
                                         OperationMaster* master, int64_t index)
    : FileOperation(std::move(url), std::move(keys), master, index) {}

std::filesystem::path DecryptionOperation::targetName() const {
    return withoutLastExtension(m_url);
}

std::optional<PassphraseForm> DecryptionOperation::useKeyThatOpens(const uint8_t (&lastTwo)[2 * kBlockSize]) {
    for (std::size_t index = 0; index < m_runKeys->count(); ++index) {
        if (index > 0) {
            m_key.emplace(m_runKeys->key(index));
        }
        if (format::checkBlockOpens(m_key->get(), lastTwo)) {
            return m_runKeys->form(index);
        }
    }
    return std::nullopt;
}

std::optional<int32_t> DecryptionOperation::transform() {
    twofish::cipherInstance cipher{};
    if (twofish::cipherInit(&cipher, twofish::MODE_CBC, nullptr) != twofish::TRUE) {
        return StatusFailed;
    }

    const uint64_t fileLength = m_file->fileLength();
    if (fileLength % kBlockSize != 0) {
        note(logmsg::kNotAMultipleOf16);
        return StatusFailed;
    }
    const uint64_t blocks = fileLength / kBlockSize;
    if (blocks < format::kOverheadBlocks) {
        platform::log(logmsg::kPassphraseMightBeWrong);
        note(logmsg::kShorterThanAnyEncryptedFile);
        return StatusFailed;
    }

    // A wrong passphrase shows in the last two blocks alone: refused before anything is read or written,
    // once every key of the run has been tried on them.
    uint8_t lastTwo[2 * kBlockSize];
    if (!m_file->getBytes(lastTwo, sizeof lastTwo, fileLength - sizeof lastTwo)) {
        return StatusFailed;
    }
    const std::optional<PassphraseForm> form = useKeyThatOpens(lastTwo);
    if (!form) {
        platform::log(logmsg::kPassphraseMightBeWrong);
        return StatusFailed;
    }
    if (*form != PassphraseForm::Typed) {
        note(openedWithNote(*form));
    }

    uint8_t iv[kBlockSize];
    if (!m_file->getBytes(iv, kBlockSize, 0)) {
        return StatusFailed;
    }
    originalRead(iv);
    format::loadInitialVector(cipher, iv);

    if (newTempBuffer(fileLength) == nullptr) {
        return StatusFailed;
    }

    // The data blocks a chunk at a time, each chunk in one cipher call.
    bool success = true;
    const uint64_t dataEnd = fileLength - 2 * kBlockSize;
    std::vector<uint8_t> chunk(
        static_cast<size_t>(std::min(kChunkLength, std::max(dataEnd - kBlockSize, kBlockSize))));
    for (uint64_t offset = kBlockSize; offset < dataEnd;) {
        if (isCancelled()) {
            return stopped();
        }
        progress(offset, 2 * fileLength);
        const uint64_t length = std::min<uint64_t>(chunk.size(), dataEnd - offset);
        if (!m_file->getBytes(chunk.data(), length, offset) || m_temp->failed()) {
            return StatusFailed;
        }
        originalRead({chunk.data(), static_cast<size_t>(length)});
        success = decryptBlocks(cipher, chunk.data(), chunk.data(), length) && success;
        m_temp->appendBytes(chunk.data(), length);
        offset += length;
    }
    crypto::secureWipe(chunk.data(), chunk.size());
    uint64_t plainLength = dataEnd - kBlockSize;

    uint8_t input[kBlockSize];
    uint8_t output[kBlockSize];
    if (!m_file->getBytes(input, kBlockSize, dataEnd)) {
        return StatusFailed;
    }
    originalRead(input);
    if (decryptBlocks(cipher, input, output, kBlockSize)) {
        const uint8_t tailLength = format::finalBlockTailLength(output);
        if (tailLength > 0) {
            m_temp->appendBytes(output, tailLength);
            plainLength += tailLength;
        }
    } else {
        success = false;
    }
    crypto::secureWipe(output, sizeof output);

    // The check again, at the end of the chain: it must agree with the early one unless the file changed.
    if (!m_file->getBytes(input, kBlockSize, dataEnd + kBlockSize)) {
        return StatusFailed;
    }
    originalRead(input);
    if (!decryptBlocks(cipher, input, output, kBlockSize)) {
        return StatusFailed;
    }
    if (!format::isCheckBlockValid(output)) {
        platform::log(logmsg::kPassphraseMightBeWrong);
        return StatusFailed;
    }
    if (!success) {
        return StatusFailed;
    }
    if (isCancelled()) {
        return stopped();
    }
    m_finalLength = plainLength;
    m_direction = RewriteDirection::Decrypt;
    return std::nullopt;
}

} // namespace engine
