// SPDX-License-Identifier: GPL-3.0-or-later
// Giving up an interrupted rewrite on purpose: one journal removed, after saying what it held.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace engine {

struct Discarded {
    bool removed = false;
    std::vector<std::string> lines; // what the journal held, or why it was not removed
};

// `path` names the journal itself, in its folder. A journal of a live run, another user's, or anything
// whose name is not a journal's is refused. A decryption's journal holds plain text, and the lines say so.
Discarded discardJournal(const std::filesystem::path& path);

} // namespace engine
