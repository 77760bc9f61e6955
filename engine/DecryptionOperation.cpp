// Decrypts a whole file into its replacement, accepts it by its check block, then puts it over the file.
#include "engine/DecryptionOperation.h"

#include "engine/EncryptedFormat.h"
#include "engine/FileBuffer.h"
#include "engine/LogMessages.h"
#include "engine/PathExtension.h"
#include "engine/StatusCode.h"
#include "engine/TempBuffer.h"
#include "platform/Log.h"

#include <utility>

namespace engine {

using format::kBlockSize;

namespace {

// How often the loop looks at cancellation and hands on its progress: every 64 KiB.
constexpr uint64_t kBlocksPerProgressStep = 4096;

} // namespace

DecryptionOperation::DecryptionOperation(std::filesystem::path url, const twofish::keyInstance& key,
                                         OperationMaster* master, int64_t index)
    : FileOperation(std::move(url), key, master, index) {}

int32_t DecryptionOperation::process() {
    auto file = openFile();
    if (!file) {
        return StatusFailed;
    }
    if (const auto recovered = completePendingRewrite(*file)) {
        return *recovered;
    }
    if (isCancelled()) {
        return stopped();
    }

    twofish::cipherInstance cipher{};
    if (twofish::cipherInit(&cipher, twofish::MODE_CBC, nullptr) != twofish::TRUE) {
        return StatusFailed;
    }

    const uint64_t fileLength = file->fileLength();
    if (fileLength % kBlockSize != 0) {
        return StatusFailed;
    }
    const uint64_t blocks = fileLength / kBlockSize;
    if (blocks < format::kOverheadBlocks) {
        platform::log(logmsg::kPassphraseMightBeWrong);
        return StatusFailed;
    }

    uint8_t iv[kBlockSize];
    if (!file->getBytes(iv, kBlockSize, 0)) {
        return StatusFailed;
    }
    format::loadInitialVector(cipher, iv);
    uint64_t offset = kBlockSize;

    auto temp = TempBuffer::init();
    if (!temp) {
        return StatusFailed;
    }

    bool success = true;
    uint64_t plainLength = 0;
    uint8_t input[kBlockSize];
    uint8_t output[kBlockSize];
    for (uint64_t block = 0; block < blocks - format::kOverheadBlocks; ++block) {
        if (block % kBlocksPerProgressStep == 0) {
            if (isCancelled()) {
                return stopped();
            }
            progress(offset, 2 * fileLength);
        }
        if (!file->getBytes(input, kBlockSize, offset) || temp->failed()) {
            return StatusFailed;
        }
        offset += kBlockSize;
        if (decryptBlock(cipher, input, output)) {
            temp->appendBytes(output, kBlockSize);
            plainLength += kBlockSize;
        } else {
            success = false;
        }
    }

    // The final block carries the last 0..15 plain bytes; any other count contributes nothing.
    if (!file->getBytes(input, kBlockSize, offset)) {
        return StatusFailed;
    }
    offset += kBlockSize;
    if (decryptBlock(cipher, input, output)) {
        const uint8_t tailLength = output[kBlockSize - 1];
        if (tailLength >= 1 && tailLength < kBlockSize) {
            temp->appendBytes(output, tailLength);
            plainLength += tailLength;
        }
    } else {
        success = false;
    }

    if (!file->getBytes(input, kBlockSize, offset) || !decryptBlock(cipher, input, output)) {
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
    return replaceFile(*file, *temp, plainLength, RewriteDirection::Decrypt, withoutLastExtension(m_url));
}

} // namespace engine
