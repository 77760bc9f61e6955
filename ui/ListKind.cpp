// SPDX-License-Identifier: GPL-3.0-or-later
// Whether the listed files are all encrypted, all plain, or some of each, told by their names.
#include "ui/ListKind.h"

#include "engine/Cryptor.h"
#include "engine/EncryptedFormat.h"

#include <cstdint>
#include <string>

bool hasEncryptedName(const std::filesystem::path& path) {
    const std::string extension = std::string(".") + std::string(engine::format::kExtension);
    const std::string name = path.filename().string();
    return name.size() > extension.size() && name.ends_with(extension);
}

ListKind listKind(const engine::Cryptor& cryptor) {
    bool encrypted = false;
    bool plain = false;
    const auto rows = static_cast<int64_t>(cryptor.urlCount());
    for (int64_t row = 0; row < rows && !(encrypted && plain); ++row) {
        const bool isEncrypted = hasEncryptedName(cryptor.urlOnRow(row));
        encrypted = encrypted || isEncrypted;
        plain = plain || !isEncrypted;
    }
    if (encrypted && plain) {
        return ListKind::Mixed;
    }
    return encrypted ? ListKind::AllEncrypted : plain ? ListKind::NoneEncrypted : ListKind::Empty;
}
