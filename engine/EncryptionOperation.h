// Encrypts one file in place and appends the encrypted extension to its name.
#pragma once

#include "engine/FileOperation.h"

namespace engine {

class EncryptionOperation final : public FileOperation {
public:
    EncryptionOperation(std::filesystem::path url, const twofish::keyInstance& key, OperationMaster* master,
                        int64_t index);

private:
    // StatusDone, StatusNotRenamed or StatusFailed. The user's file is not written until its whole
    // encrypted form exists in the temporary file.
    int32_t process() override;
};

} // namespace engine
