// SPDX-License-Identifier: GPL-3.0-or-later
// Encrypts one file in place and appends the encrypted extension to its name.
#pragma once

#include "engine/FileOperation.h"

namespace engine {

class EncryptionOperation final : public FileOperation {
public:
    EncryptionOperation(std::filesystem::path url, std::shared_ptr<const RunKeys> keys,
                        OperationMaster* master, int64_t index);

private:
    // Builds the encrypted form as the replacement; every failure leaves the file untouched.
    std::optional<int32_t> transform() override;
    std::filesystem::path targetName() const override;
};

} // namespace engine
