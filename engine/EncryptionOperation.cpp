// Builds the encrypted form of a file as its replacement, then puts it over the file and renames it.
#include "engine/EncryptionOperation.h"

#include "engine/EncryptedFormat.h"
#include "engine/FileBuffer.h"
#include "engine/PathExtension.h"
#include "engine/StatusCode.h"
#include "engine/TempBuffer.h"
#include "platform/SecureRandom.h"

#include <cstring>
#include <utility>

namespace engine {

using format::kBlockSize;

namespace {

// How often the loop looks at cancellation and hands on its progress: every 64 KiB.
constexpr uint64_t kBlocksPerProgressStep = 4096;

} // namespace

EncryptionOperation::EncryptionOperation(std::filesystem::path url, const twofish::keyInstance& key,
                                         OperationMaster* master, int64_t index)
    : FileOperation(std::move(url), key, master, index) {}

int32_t EncryptionOperation::process() {
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
    const int32_t cipherReady = twofish::cipherInit(&cipher, twofish::MODE_CBC, nullptr);
    uint8_t iv[kBlockSize];
    if (cipherReady != twofish::TRUE || !platform::secureRandomBytes(iv, sizeof iv)) {
        return StatusFailed;
    }
    format::loadInitialVector(cipher, iv);

    auto temp = TempBuffer::init();
    if (!temp) {
        return StatusFailed;
    }

    const uint64_t plainLength = file->fileLength();
    const uint64_t wholeBlocks = plainLength / kBlockSize;
    const auto tailLength = static_cast<uint8_t>(plainLength % kBlockSize);
    temp->appendBytes(iv, sizeof iv);

    bool success = true;
    uint64_t offset = 0;
    uint8_t input[kBlockSize];
    uint8_t output[kBlockSize];
    for (uint64_t block = 0; block < wholeBlocks; ++block) {
        if (block % kBlocksPerProgressStep == 0) {
            if (isCancelled()) {
                return stopped();
            }
            progress(offset, 2 * plainLength);
        }
        if (!file->getBytes(input, kBlockSize, offset) || temp->failed()) {
            return StatusFailed;
        }
        offset += kBlockSize;
        if (encryptBlock(cipher, input, output)) {
            temp->appendBytes(output, kBlockSize);
        } else {
            success = false;
        }
    }

    // The final block: the last 0..15 plain bytes, zero filler, and their count in the last byte.
    std::memset(input, 0, sizeof input);
    input[kBlockSize - 1] = tailLength;
    if (tailLength > 0 && !file->getBytes(input, tailLength, offset)) {
        return StatusFailed;
    }
    if (encryptBlock(cipher, input, output)) {
        temp->appendBytes(output, kBlockSize);
    } else {
        success = false;
    }

    std::memcpy(input, format::kCheckBlock.data(), kBlockSize);
    if (!encryptBlock(cipher, input, output)) {
        return StatusFailed;
    }
    temp->appendBytes(output, kBlockSize);

    if (!success) {
        return StatusFailed;
    }
    if (isCancelled()) {
        return stopped();
    }
    return replaceFile(*file, *temp, format::encryptedLength(plainLength), RewriteDirection::Encrypt,
                       withEncryptedExtension(m_url));
}

} // namespace engine
