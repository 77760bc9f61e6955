// SPDX-License-Identifier: GPL-3.0-or-later
// Whether the listed files are all encrypted, all plain, or some of each, told by their names.
#pragma once

#include <filesystem>

namespace engine {
class Cryptor;
}

// Return in the passphrase field runs Decrypt on a list of encrypted files and Encrypt on a list of plain
// ones; a mixed list leaves the choice to the user.
enum class ListKind { Empty, AllEncrypted, NoneEncrypted, Mixed };

// By the rows' names: a name ending in the encrypted extension counts as encrypted.
ListKind listKind(const engine::Cryptor& cryptor);
// Whether the name ends in the encrypted extension, matched case-sensitively, after at least one other
// character: the extension alone is a hidden file's name.
bool hasEncryptedName(const std::filesystem::path& path);
