// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the passphrase against one encrypted file, restores its plain content and drops its last extension.
#pragma once

#include "engine/EncryptedFormat.h"
#include "engine/FileOperation.h"
#include "engine/PassphraseForms.h"

#include <cstdint>
#include <optional>

namespace engine {

class DecryptionOperation final : public FileOperation {
public:
    DecryptionOperation(std::filesystem::path url, std::shared_ptr<const RunKeys> keys,
                        OperationMaster* master, int64_t index);

private:
    // Builds the plain text as the replacement once the check block has accepted the key: a wrong
    // passphrase is refused after reading only the last two blocks. A file not in the encrypted format and
    // every other failure leave the file untouched too.
    std::optional<int32_t> transform() override;
    std::filesystem::path targetName() const override;
    // Makes m_key a copy of the first of the run's keys that opens a file ending in `lastTwo` and returns
    // that key's form; none when no key opens it.
    std::optional<PassphraseForm> useKeyThatOpens(const uint8_t (&lastTwo)[2 * format::kBlockSize]);
};

} // namespace engine
