// SPDX-License-Identifier: GPL-3.0-or-later
// Why a passphrase cannot make a key, in the window's words and language.
#include "ui/PassphraseRefusal.h"

#include "engine/Secret.h"

#include <QCoreApplication>

#include <cstdint>

QString passphraseRefusalText(passphrase::Result refusal) {
    const int most = static_cast<int>(passphrase::kMaxLength);
    switch (refusal) {
    case passphrase::Result::Ok:
        break;
    case passphrase::Result::TooLong:
        return QCoreApplication::translate("PassphraseRefusal",
                                           "The passphrase is too long: at most %n character(s) can be used.",
                                           nullptr, most);
    case passphrase::Result::NoUtf8Form:
        return QCoreApplication::translate(
            "PassphraseRefusal",
            "The passphrase contains an invalid character (an unpaired UTF-16 surrogate).");
    }
    return QString();
}

std::optional<QString> passphraseRefusal(const QString& passphrase) {
    // The digest is the one test of both conditions; it is wiped at once.
    engine::Secret<uint8_t[passphrase::kDigestSize]> digest;
    const passphrase::Result refusal = passphrase::digest(
        {reinterpret_cast<const char16_t*>(passphrase.constData()), static_cast<size_t>(passphrase.size())},
        digest.get());
    if (refusal == passphrase::Result::Ok) {
        return std::nullopt;
    }
    return passphraseRefusalText(refusal);
}
