// SPDX-License-Identifier: GPL-3.0-or-later
// A journal file beside the files it rewrites: made unnamed, filled, vouched for, synced, and only then
// given its name; found, read and removed again by whoever completes it.
#pragma once

#include "engine/JournalFormat.h"
#include "platform/FileHandle.h"
#include "platform/Folder.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace engine {

// A Journal object holds the journal's file open and locked: while it lives, no other run applies,
// removes or mistakes the journal for a dead one. Every method logs why it failed.
class Journal {
public:
    // A new, empty journal in `folder` (not owned; it must outlive the journal), its folder noted in the
    // hint index first, so that even a journal that carries a name from its creation on is found. Null
    // when the folder cannot take a new file; errno says why.
    static std::unique_ptr<Journal> create(platform::Folder& folder);

    enum class Opening { Opened, Busy, Failed };
    // The journal `name` in `folder`, locked. Busy while a live run holds it; Failed when it is not a
    // regular file reachable without a link, or cannot be opened.
    static std::unique_ptr<Journal> open(platform::Folder& folder, const std::string& name, Opening& result);

    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    platform::FileHandle& handle() { return *m_handle; }
    platform::Folder& folder() { return m_folder; }
    // Empty until publish() has named it.
    const std::string& name() const { return m_name; }
    uid_t owner() const;

    // Where the next payload goes, and taking one.
    uint64_t nextPayloadOffset() const { return m_payloadEnd; }
    void payloadWritten(uint64_t offset, uint64_t length);

    // Writes the header, vouches for it in the envelope, syncs, then names the journal and syncs the
    // folder: from then on the journal is durable and found by whoever looks in the folder. False when
    // any step failed; the journal is then not named, unless only the folder sync failed.
    bool publish(const std::vector<JournalEntry>& entries);

    // How a found journal reads.
    enum class State {
        Whole,          // envelope, header and the entries' records agree
        Unpublished,    // no envelope: its writer died before completing it, so it vouches for nothing
        UnknownVersion, // whole as far as the envelope goes, of a version this program does not read
        Damaged,        // the envelope is there but the header does not match it
    };
    State read(std::vector<JournalEntry>& entries) { return readJournalFile(*m_handle, entries); }
    // The same for any open journal file, locked or not: a journal is named only once it is complete, so a
    // named one never changes under the reader.
    static State readJournalFile(platform::FileHandle& file, std::vector<JournalEntry>& entries);
    // Reads [offset, offset + length) of an entry's payload.
    bool readPayload(void* dest, uint64_t length, uint64_t offset);

    // Removes the journal's name, after checking under the lock that the name is still this file.
    // Not synced: a journal that comes back after a power loss finds its rewrite complete and goes again.
    bool remove();

private:
    Journal(platform::Folder& folder, std::unique_ptr<platform::FileHandle> handle, std::string name);
    bool publishFile(const std::vector<JournalEntry>& entries);
    bool giveName();
    bool stillNamed() const;

    platform::Folder& m_folder;
    std::unique_ptr<platform::FileHandle> m_handle;
    std::string m_name;
    // For a journal the file system could only make named: it carries that name from its creation, and
    // counts as published only once its envelope is written.
    bool m_namedAtCreation = false;
    uint64_t m_payloadEnd = kJournalPayloadStart;
};

} // namespace engine
