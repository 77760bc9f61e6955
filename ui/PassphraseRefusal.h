// SPDX-License-Identifier: GPL-3.0-or-later
// Why a passphrase cannot make a key, in the window's words and language.
#pragma once

#include "crypto/passphrase_key.h"

#include <QString>

#include <optional>

// Empty for Result::Ok.
QString passphraseRefusalText(passphrase::Result refusal);

// The words for a passphrase that no key can be made from (too long, an unpaired surrogate), told before a
// run is asked for so that the window need not show the engine's English sentence; none for a usable one.
std::optional<QString> passphraseRefusal(const QString& passphrase);
