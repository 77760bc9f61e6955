// SPDX-License-Identifier: GPL-3.0-or-later
// The per-user hint of folders that hold journals, so that a recovery without paths knows where to look.
// Losing it loses nothing: every run also looks for journals in the folders of its files.
#pragma once

#include "platform/Folder.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace engine {

// One file in the state directory ($XDG_STATE_HOME/brisklet/journals), read and rewritten whole under a
// lock, and replaced atomically so that a reader never sees half of it. Every failure is ignored: it is
// only a hint.
class JournalIndex {
public:
    struct Entry {
        std::filesystem::path folder;
        // The folder's identity when it was noted, so that a folder moved away is told from one that is
        // still there.
        uint64_t inode = 0;
        std::optional<uint64_t> generation;
        bool operator==(const Entry&) const = default;
    };

    // Notes the folder, unless it is noted already. Called before a journal is named in it.
    static void add(const platform::Folder& folder);
    static std::vector<Entry> entries();
    // Forgets a folder that holds no journal any more.
    static void remove(const std::filesystem::path& folder);
};

} // namespace engine
