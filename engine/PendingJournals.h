// SPDX-License-Identifier: GPL-3.0-or-later
// The journals that a run finds in the folders of its files, or that a recovery is pointed at: which
// rewrites to complete, with the files they name, and what to tell the user about the rest.
#pragma once

#include "engine/JournalFormat.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace engine {

struct PendingJournals {
    // One journal to complete. `files` are the paths of its rows: one per entry, in the journal's order,
    // or the journal's own path alone when its entries cannot be read.
    struct Recovery {
        std::filesystem::path folder;
        uint64_t folderInode = 0; // the same journal reached through two spellings of its folder is one
        std::string name;
        std::vector<JournalEntry> entries;
        std::vector<std::filesystem::path> files;
    };
    std::vector<Recovery> recoveries;
    // Journals left alone, and hinted folders that are gone: one sentence each for the user.
    std::vector<std::string> notices;

    // For an encryption or decryption of `files`: a journal in one of their folders that names one of
    // them is completed whole (its other files too); any other one pending there is named in a notice.
    // Journals whose writer died before completing them are cleared either way.
    static PendingJournals forRun(const std::vector<std::filesystem::path>& files);
    // For a recovery: every journal in the folders named (folders recursively, without following links),
    // in the folders of the files named, or where none are named, in the folders of the hint index. Where
    // none are named, a journal that a live run holds is not pending and is left out without a word.
    static PendingJournals forRecovery(const std::vector<std::filesystem::path>& paths);
};

// A path as rows are compared: absolute and without "." or "..", however it was spelled.
std::filesystem::path comparablePath(const std::filesystem::path& path);

} // namespace engine
