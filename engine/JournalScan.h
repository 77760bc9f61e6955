// SPDX-License-Identifier: GPL-3.0-or-later
// The journals in one folder, read but not applied: what a run, a check or a recovery finds there.
#pragma once

#include "engine/Journal.h"
#include "engine/JournalFormat.h"
#include "platform/Folder.h"

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace engine {

struct FoundJournal {
    std::string name;
    Journal::State state = Journal::State::Damaged;
    uid_t owner = 0;
    std::vector<JournalEntry> entries; // for a Whole journal
    // Locked by a run when it was found: that run may still be writing or applying it.
    bool live = false;

    // Whether the journal names `name` as a file it rewrites, under its old or its new name.
    bool names(const std::string& name) const;
};

// Every journal in the folder, by name; one that cannot be opened counts as Damaged. None when the folder
// cannot be listed.
std::optional<std::vector<FoundJournal>> findJournals(const platform::Folder& folder);

} // namespace engine
