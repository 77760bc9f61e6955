// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the passphrase against one encrypted file, restores its plain content and drops its last extension.
#pragma once

#include "engine/FileOperation.h"

namespace engine {

class DecryptionOperation final : public FileOperation {
public:
    DecryptionOperation(std::filesystem::path url, RunKey key, OperationMaster* master, int64_t index);

private:
    // Builds the plain text as the replacement once the check block has accepted the key: a wrong
    // passphrase is refused after reading only the last two blocks. A file not in the encrypted format and
    // every other failure leave the file untouched too.
    std::optional<int32_t> transform() override;
    std::filesystem::path targetName() const override;
};

} // namespace engine
