// SPDX-License-Identifier: GPL-3.0-or-later
// The listed files that are encrypted already, by their names: an encryption skips them unless asked not to.
#pragma once

#include <QStringList>

#include <cstdint>
#include <set>

namespace engine {
class Cryptor;
}

// Encrypting such a file again gives X.brisklet.brisklet, which then needs two decryptions with the right
// passphrases in the right order; that is seldom what was meant, so the confirmation sheet names them.
class AlreadyEncrypted {
public:
    // The rows whose names end in the encrypted extension (ListKind's hasEncryptedName).
    static AlreadyEncrypted in(const engine::Cryptor& cryptor);

    bool isEmpty() const { return m_rows.empty(); }
    const std::set<int64_t>& rows() const { return m_rows; }
    // The files' names in list order, each once however often it is listed.
    const QStringList& names() const { return m_names; }

private:
    std::set<int64_t> m_rows;
    QStringList m_names;
};
