// SPDX-License-Identifier: GPL-3.0-or-later
// Pending files by the journals of their folders.
#include "engine/PendingFiles.h"

#include "engine/JournalScan.h"
#include "engine/PendingJournals.h"
#include "platform/Folder.h"

namespace engine {

bool PendingFiles::isPending(const std::filesystem::path& file) {
    const std::filesystem::path path = comparablePath(file);
    const std::filesystem::path folderPath = path.parent_path();
    auto found = m_folders.find(folderPath);
    if (found == m_folders.end()) {
        Folder folder;
        const auto opened = platform::Folder::open(folderPath);
        const auto journals = opened ? findJournals(*opened) : std::nullopt;
        for (const FoundJournal& journal : journals.value_or(std::vector<FoundJournal>{})) {
            if (journal.state == Journal::State::Damaged || journal.state == Journal::State::UnknownVersion) {
                folder.unreadableJournal = true;
            }
            for (const JournalEntry& entry : journal.entries) {
                folder.names.insert(entry.name);
                folder.names.insert(entry.target);
            }
        }
        found = m_folders.emplace(folderPath, std::move(folder)).first;
    }
    return found->second.unreadableJournal || found->second.names.contains(path.filename().string());
}

} // namespace engine
