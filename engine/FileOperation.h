// The part that encryption and decryption of one file share: the operation boundary and the write-back.
#pragma once

#include "crypto/twofish.h"
#include "engine/OperationMaster.h"
#include "platform/Operation.h"

#include <cstdint>
#include <filesystem>

namespace engine {

class FileBuffer;
class TempBuffer;

class FileOperation : public platform::Operation {
public:
    // Runs the transformation and reports its StatusCode to the master exactly once, on every path,
    // also when an exception escapes. The key copy is wiped before the report.
    void main() final;

protected:
    // `master` is not owned and must outlive the operation; `key` is copied whole, since the cipher may
    // reorder its round keys in place.
    FileOperation(std::filesystem::path url, const twofish::keyInstance& key, OperationMaster* master,
                  int64_t index);

    // The transformation itself; returns the StatusCode to report.
    virtual int32_t process() = 0;

    // One chained block; a wrong bit count is logged and returns false.
    bool encryptBlock(twofish::cipherInstance& cipher, const uint8_t* input, uint8_t* output);
    bool decryptBlock(twofish::cipherInstance& cipher, const uint8_t* input, uint8_t* output);

    // Copies the finished replacement over the file from offset 0. Nothing is written unless the
    // buffer holds exactly `expectedLength` bytes. When the copy fails after the file may have been
    // touched, the complete replacement is kept on disk and its path logged, so nothing is lost.
    static bool writeBack(TempBuffer& temp, FileBuffer& file, uint64_t expectedLength);

    // Keeps the temporary file after the user's file was left incomplete, and says where it is.
    static void keepReplacement(TempBuffer& temp);

    // StatusDone, or StatusNotRenamed when `target` exists or the move fails otherwise.
    int32_t moveTo(const std::filesystem::path& target) const;

    const std::filesystem::path m_url;
    twofish::keyInstance m_key;

private:
    OperationMaster* const m_master;
    const int64_t m_index;
};

} // namespace engine
