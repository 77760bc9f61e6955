// SPDX-License-Identifier: GPL-3.0-or-later
// The files met inside a folder that encrypt and decrypt pass over, because they are already in the form
// the command would give them.
#pragma once

#include "cli/Arguments.h"
#include "engine/Cryptor.h"

#include <string>
#include <vector>

namespace cli {

inline constexpr std::string_view kAlreadyEncrypted = "already encrypted; skipped";
inline constexpr std::string_view kNotEncryptedName = "not a .brisklet file; skipped";

// Removes from the list the rows found inside a listed folder whose name says the command has nothing to
// do: for encrypt those ending in ".brisklet" (unless `includeEncrypted`), for decrypt those that do not,
// compared case by case. Files named on the command line stay, whatever their name. Returns one line
// "PATH: REASON" per row removed, in list order.
std::vector<std::string> skipFolderFiles(engine::Cryptor& cryptor, Command command, bool includeEncrypted);

} // namespace cli
