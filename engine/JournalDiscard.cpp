// SPDX-License-Identifier: GPL-3.0-or-later
// Describing a journal's entries, then removing it under its lock.
#include "engine/JournalDiscard.h"

#include "engine/Journal.h"
#include "engine/LogMessages.h"
#include "engine/PendingJournals.h"
#include "platform/Folder.h"

#include <cerrno>
#include <unistd.h>

namespace engine {

namespace {

std::string describe(const JournalEntry& entry) {
    const bool encrypt = entry.direction == RewriteDirection::Encrypt;
    std::string line = std::string(encrypt ? "encryption of " : "decryption of ") + entry.name;
    if (entry.target != entry.name) {
        line += " to " + entry.target;
    }
    line +=
        " (" + std::to_string(entry.originalLength) + " to " + std::to_string(entry.finalLength) + " bytes)";
    if (!encrypt) {
        line += "; the journal holds its plain text";
    }
    return line;
}

} // namespace

Discarded discardJournal(const std::filesystem::path& path) {
    Discarded result;
    const std::filesystem::path journalPath = comparablePath(path);
    const std::string name = journalPath.filename().string();
    if (!name.starts_with(kJournalPrefix)) {
        result.lines.push_back("not a journal: its name does not start with " + std::string(kJournalPrefix));
        return result;
    }
    const auto folder = platform::Folder::open(journalPath.parent_path());
    Journal::Opening opening = Journal::Opening::Failed;
    const auto journal = folder ? Journal::open(*folder, name, opening) : nullptr;
    if (!journal) {
        result.lines.push_back(opening == Journal::Opening::Busy
                                   ? std::string(logmsg::kInUseByAnotherRun)
                                   : logmsg::withErrorText(logmsg::kCouldNotReadJournal, errno));
        return result;
    }
    if (journal->owner() != ::geteuid()) {
        result.lines.push_back("the journal belongs to another user, who must discard it");
        return result;
    }
    std::vector<JournalEntry> entries;
    switch (journal->read(entries)) {
    case Journal::State::Whole:
        for (const JournalEntry& entry : entries) {
            result.lines.push_back(describe(entry));
        }
        break;
    case Journal::State::Unpublished:
        result.lines.emplace_back("an unfinished journal, which no file depends on");
        break;
    case Journal::State::UnknownVersion:
        result.lines.emplace_back("a journal of a version this program does not read");
        break;
    case Journal::State::Damaged:
        result.lines.emplace_back(logmsg::kJournalDamaged);
        break;
    }
    result.removed = journal->remove() && folder->sync();
    if (!result.removed) {
        result.lines.push_back(logmsg::withErrorText(logmsg::kCouldNotRemoveJournal, errno));
    }
    return result;
}

} // namespace engine
