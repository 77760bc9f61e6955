// SPDX-License-Identifier: GPL-3.0-or-later
// Listing a folder's journals and reading their headers.
#include "engine/JournalScan.h"

#include "platform/FileStatus.h"

#include <algorithm>

namespace engine {

bool FoundJournal::names(const std::string& name) const {
    return std::any_of(entries.begin(), entries.end(),
                       [&](const JournalEntry& e) { return e.name == name || e.target == name; });
}

std::optional<std::vector<FoundJournal>> findJournals(const platform::Folder& folder) {
    const auto names = folder.namesStartingWith(kJournalPrefix);
    if (!names) {
        return std::nullopt;
    }
    std::vector<FoundJournal> found;
    for (const std::string& name : *names) {
        FoundJournal journal;
        journal.name = name;
        platform::FileHandle::Refusal refusal = platform::FileHandle::Refusal::None;
        auto file = folder.openFile(name, platform::FileHandle::Access::ReadOnly, refusal);
        const auto status = file ? platform::statusOfDescriptor(file->descriptor()) : std::nullopt;
        if (status) {
            journal.live = file->lockedElsewhere();
            journal.owner = status->owner;
            journal.state = Journal::readJournalFile(*file, journal.entries);
        }
        found.push_back(std::move(journal));
    }
    return found;
}

} // namespace engine
