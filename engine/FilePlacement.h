// SPDX-License-Identifier: GPL-3.0-or-later
// Puts a journal entry's replacement over the user's file in place: extend, overwrite, cut.
#pragma once

#include "engine/JournalFormat.h"
#include "platform/FileHandle.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace engine {

// The file's own blocks are overwritten: nothing is shared with the journal, which goes afterwards.
class FilePlacement {
public:
    // `written` hears how many bytes of the final content are in place, now and then.
    using Progress = std::function<void(uint64_t written)>;
    // Neither handle is owned; both must outlive the placement. `inKernel` allows copy_file_range where it
    // copies rather than shares blocks.
    FilePlacement(platform::FileHandle& file, platform::FileHandle& journal, const JournalEntry& entry,
                  bool inKernel, Progress written = {});

    enum class Result {
        Placed,
        FailedUntouched, // nothing of the file changed: a full disk found while extending
        FailedTouched,   // part of the file may hold the replacement: its journal completes it
    };
    // Extends the file to its final length first, so that a full disk fails before any byte changes (and
    // cuts it back then); overwrites it from offset 0; cuts it to length. Nothing is synced here. Every
    // failure is logged with its cause.
    Result place();

    // Whether the file's whole content is the replacement: read back and compared by checksum.
    static bool holdsReplacement(platform::FileHandle& file, const JournalEntry& entry);

private:
    enum class Step { Ok, FailedUntouched, FailedTouched };
    Step extend();
    // Copies [begin, end) of the replacement over the same range of the file.
    bool copy(uint64_t begin, uint64_t end);
    bool copyThroughMemory(uint64_t offset, uint64_t length);

    platform::FileHandle& m_file;
    platform::FileHandle& m_journal;
    const JournalEntry& m_entry;
    bool m_inKernel;
    Progress m_written;
    std::vector<uint8_t> m_chunk; // only for copies through memory
};

} // namespace engine
