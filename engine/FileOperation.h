// What encryption and decryption of one file share: the key, the block calls, opening the file, finishing
// a pending rewrite found there, and replacing the file durably.
#pragma once

#include "crypto/twofish.h"
#include "engine/PendingRewrite.h"
#include "engine/ReportingOperation.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

namespace engine {

class FileBuffer;
class TempBuffer;

class FileOperation : public ReportingOperation {
protected:
    // `master` is not owned and must outlive the operation; `key` is copied whole, since the cipher may
    // reorder its round keys in place. The copy is wiped before the report.
    FileOperation(std::filesystem::path url, const twofish::keyInstance& key, OperationMaster* master,
                  int64_t index);

    void finish() noexcept override;

    // One chained block; a wrong bit count is logged and returns false.
    bool encryptBlock(twofish::cipherInstance& cipher, const uint8_t* input, uint8_t* output);
    bool decryptBlock(twofish::cipherInstance& cipher, const uint8_t* input, uint8_t* output);
    // Whole blocks in place, chained through `cipher` exactly as one call per block would be; `length` is a
    // multiple of the block size, at most kChunkLength. A wrong bit count is logged and returns false.
    bool encryptBlocks(twofish::cipherInstance& cipher, uint8_t* blocks, uint64_t length);
    bool decryptBlocks(twofish::cipherInstance& cipher, uint8_t* blocks, uint64_t length);

    // How much of the file the operations read, transform and append at a time.
    static constexpr uint64_t kChunkLength = uint64_t{1} << 20;

    // Opens m_url through a FileBuffer, which locks it against other runs; null after logging why not.
    std::unique_ptr<FileBuffer> openFile();
    // When an earlier run's rewrite of this file was interrupted, completes that instead: the file is not
    // whole, so it must not be read as it is. The StatusCode of the recovery, or none when there is
    // nothing pending.
    std::optional<int32_t> completePendingRewrite(FileBuffer& file);

    // Puts the replacement that `temp` holds over the file and renames it to `target`, durably: the file
    // must be unchanged since it was read, the replacement is synced and its pending-rewrite record
    // written before the first byte of the file changes. Nothing is written unless the buffer holds
    // exactly `expectedLength` bytes. Stops untouched when cancelled before the record is written.
    int32_t replaceFile(FileBuffer& file, TempBuffer& temp, uint64_t expectedLength,
                        RewriteDirection direction, const std::filesystem::path& target);

    const std::filesystem::path m_url;
    twofish::keyInstance m_key;
};

} // namespace engine
