// SPDX-License-Identifier: GPL-3.0-or-later
// The listed files that are encrypted already, by their names: an encryption skips them unless asked not to.
#include "ui/AlreadyEncrypted.h"

#include "engine/Cryptor.h"
#include "ui/ListKind.h"

#include <QFile>

#include <filesystem>

AlreadyEncrypted AlreadyEncrypted::in(const engine::Cryptor& cryptor) {
    AlreadyEncrypted found;
    std::set<std::filesystem::path> paths;
    const auto rows = static_cast<int64_t>(cryptor.urlCount());
    for (int64_t row = 0; row < rows; ++row) {
        const std::filesystem::path url = cryptor.urlOnRow(row);
        if (!hasEncryptedName(url)) {
            continue;
        }
        found.m_rows.insert(row);
        if (paths.insert(url).second) {
            found.m_names.append(QFile::decodeName(QByteArray::fromStdString(url.filename().string())));
        }
    }
    return found;
}
