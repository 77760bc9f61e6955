// SPDX-License-Identifier: GPL-3.0-or-later
// The one way a file is rewritten in place once its journal is durable, whether by the run that read it
// or by a later run that found the journal: re-check, place, make durable, rename, sync the folder, and
// only then remove the journal.
#pragma once

#include "engine/Journal.h"
#include "engine/JournalFormat.h"
#include "engine/RowReport.h"
#include "platform/FileHandle.h"
#include "platform/FileSystemTraits.h"
#include "platform/Operation.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace engine {

// One file of a journal on its way through the pipeline.
struct RewriteFile {
    RewriteFile(RowReport& row, JournalEntry entry) : row(row), entry(std::move(entry)) {}

    RowReport& row;     // where the file's lines and outcome go
    JournalEntry entry; // what the journal says of it
    // Open and locked since it was read, for a file rewritten alone; opened by name otherwise.
    std::unique_ptr<platform::FileHandle> handle;
    // Whose stop request leaves the file untouched, while it still is. Not owned; may be null.
    const platform::Operation* owner = nullptr;
    // For recovery: the replacement's block checksums, from the journal's payload.
    std::vector<uint64_t> replacementBlocks;
    // Hears how many bytes of the final content are in place.
    std::function<void(uint64_t written)> written;

    // Set by the pipeline.
    enum class State { Waiting, Ended, Placed } state = State::Waiting;
    bool renamed = false;
    bool pending = false; // its journal must stay: it alone completes the file
    std::optional<int32_t> outcome;
    bool announced = false;
};

class RewritePipeline {
public:
    // Fresh: the run that read the files and wrote the journal; each file must still look exactly as it
    // did after reading. Recovery: a later run; each file must be the one the journal names, caught at
    // some point of its rewrite (see FileMatch.h).
    enum class Entry { Fresh, Recovery };
    // Called once per file when its outcome is known, with the StatusCode: early for files that end
    // before the others, the rest once the journal has been dealt with.
    using Ended = std::function<void(RewriteFile& file, int32_t code)>;

    // `journal` is published (durable and named) and not owned.
    RewritePipeline(Journal& journal, Entry entry, Ended ended);

    void run(std::vector<RewriteFile>& files);

private:
    // Re-check under the file's lock and lease, place the content, sync it where each file is synced on
    // its own, make sure nobody else wrote meanwhile, rename.
    void rewrite(RewriteFile& file);
    std::optional<int32_t> openForRewrite(RewriteFile& file, std::string& nameNow);
    // Fails the file (its lease given up by end()) when it is not the one to write into now.
    std::optional<int32_t> recheck(RewriteFile& file);
    void rename(RewriteFile& file, const std::string& nameNow);
    void end(RewriteFile& file, int32_t code);
    void announce(RewriteFile& file);
    // After a failure once the file may have changed: only the journal completes it now.
    void endPending(RewriteFile& file);
    // Marks the journal as needed, and says where it is or how to complete it.
    void keepJournal(RewriteFile& file);
    void keepJournalIfRecovering(RewriteFile& file);

    void makeDurable(std::vector<RewriteFile>& files);
    void finishAll(std::vector<RewriteFile>& files);

    Journal& m_journal;
    const Entry m_entry;
    Ended m_ended;
    // Every file of a journal lies in the journal's folder, so on its file system.
    const platform::FileSystemTraits m_traits;
    // One syncfs for every file placed, where it reports write-back errors; else each file is synced.
    bool m_groupedSync;
};

} // namespace engine
