// Operation boundary, block calls and write-back shared by both file operations.
#include "engine/FileOperation.h"

#include "crypto/wipe.h"
#include "engine/EncryptedFormat.h"
#include "engine/FileBuffer.h"
#include "engine/LogMessages.h"
#include "engine/StatusCode.h"
#include "engine/TempBuffer.h"
#include "platform/FileManager.h"
#include "platform/Log.h"

#include <algorithm>
#include <exception>
#include <string>
#include <utility>

namespace engine {

namespace {

// Bytes the TempBuffer hands back per read and that are written over the file per write.
constexpr uint64_t kChunkSize = 512;
constexpr int32_t kBlockBits = 128;

} // namespace

FileOperation::FileOperation(std::filesystem::path url, const twofish::keyInstance& key,
                             OperationMaster* master, int64_t index)
    : m_url(std::move(url)), m_key(key), m_master(master), m_index(index) {}

void FileOperation::main() {
    const platform::ThreadLogTap logged;
    int32_t code = StatusFailed;
    try {
        code = process();
    } catch (const std::exception&) {
        code = StatusFailed;
    } catch (...) {
        code = StatusFailed;
    }
    crypto::secureWipe(&m_key, sizeof m_key);

    std::string reason;
    for (const auto& line : logged.lines()) {
        reason += reason.empty() ? "" : "; ";
        reason += line;
    }
    m_master->updateReason(m_index, std::move(reason));
    m_master->updateStatus(code, m_index);
}

bool FileOperation::encryptBlock(twofish::cipherInstance& cipher, const uint8_t* input, uint8_t* output) {
    if (twofish::blockEncrypt(&cipher, &m_key, input, kBlockBits, output) != kBlockBits) {
        platform::log(logmsg::kBadNumberOfBitsProcessed);
        return false;
    }
    return true;
}

bool FileOperation::decryptBlock(twofish::cipherInstance& cipher, const uint8_t* input, uint8_t* output) {
    if (twofish::blockDecrypt(&cipher, &m_key, input, kBlockBits, output) != kBlockBits) {
        platform::log(logmsg::kBadNumberOfBitsProcessed);
        return false;
    }
    return true;
}

bool FileOperation::writeBack(TempBuffer& temp, FileBuffer& file, uint64_t expectedLength) {
    // A length that disagrees with what was appended means the buffer lost bytes; writing it would
    // replace the user's file with less than its full content.
    if (temp.length() != expectedLength) {
        platform::log(logmsg::kWritingToFileFailed);
        return false;
    }
    for (uint64_t offset = 0; offset < expectedLength; offset += kChunkSize) {
        const auto chunk = temp.readDataAtOffset(offset, kChunkSize);
        const bool complete = chunk && chunk->size() == std::min(kChunkSize, expectedLength - offset);
        if (!complete || !file.writeData(*chunk, offset)) {
            platform::log(logmsg::kWritingToFileFailed);
            keepReplacement(temp);
            return false;
        }
    }
    return true;
}

void FileOperation::keepReplacement(TempBuffer& temp) {
    if (const auto kept = temp.keepFile()) {
        platform::log(logmsg::replacementKeptAt(kept->string()));
    }
}

int32_t FileOperation::moveTo(const std::filesystem::path& target) const {
    if (!platform::moveItem(m_url, target)) {
        platform::log(logmsg::kCouldNotRenameFile);
        return StatusNotRenamed;
    }
    return StatusDone;
}

} // namespace engine
