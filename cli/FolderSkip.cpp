// SPDX-License-Identifier: GPL-3.0-or-later
// Picks the folder rows to pass over by their extension, in the front end only: the engine's list keeps
// every file it is given, as the window shows them.
#include "cli/FolderSkip.h"

#include "cli/NameEscaping.h"
#include "engine/EncryptedFormat.h"

#include <set>

namespace cli {

namespace {

bool hasEncryptedExtension(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    const std::string suffix = "." + std::string(engine::format::kExtension);
    return name.size() > suffix.size() && name.ends_with(suffix);
}

} // namespace

std::vector<std::string> skipFolderFiles(engine::Cryptor& cryptor, Command command, bool includeEncrypted) {
    const bool encrypt = command == Command::Encrypt;
    if ((encrypt && includeEncrypted) || (!encrypt && command != Command::Decrypt)) {
        return {};
    }
    std::set<int64_t> skipped;
    std::vector<std::string> lines;
    for (int64_t row = 0; row < static_cast<int64_t>(cryptor.urlCount()); ++row) {
        const auto path = cryptor.urlOnRow(row);
        if (!cryptor.foundInFolderOnRow(row) || hasEncryptedExtension(path) != encrypt) {
            continue;
        }
        skipped.insert(row);
        lines.push_back(escapePath(path) + ": " +
                        std::string(encrypt ? kAlreadyEncrypted : kNotEncryptedName));
    }
    cryptor.removeURLatIndexes(skipped);
    return lines;
}

} // namespace cli
