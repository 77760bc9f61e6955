// Checks the passphrase against one encrypted file, restores its plain content and drops its last extension.
#pragma once

#include "engine/FileOperation.h"

namespace engine {

class DecryptionOperation final : public FileOperation {
public:
    DecryptionOperation(std::filesystem::path url, const twofish::keyInstance& key, OperationMaster* master,
                        int64_t index);

private:
    // StatusDone, StatusNotRenamed or StatusFailed. A wrong passphrase, a file not in the encrypted
    // format and every failure before the write-back leave the file untouched.
    int32_t process() override;
};

} // namespace engine
