// Puts a complete replacement over a user's file in an order that no crash can turn into a loss.
#pragma once

#include "engine/PendingRewrite.h"
#include "engine/RewriteStore.h"
#include "platform/FileHandle.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace engine {

// Runs after the replacement is synced and its record written, so that from the first changed byte on a
// crash leaves something recovery completes: it is also how recovery completes it, since every step
// can be repeated over a file left at any point of an earlier attempt.
class InPlaceRewrite {
public:
    struct Outcome {
        int32_t status; // a StatusCode: StatusDone, StatusNotRenamed or StatusFailed
        bool pending;   // the record and the replacement must stay: the file depends on them
    };

    // `file` is the user's file, open for update and locked against other runs; `replacement` holds the
    // record's whole final content. Neither is owned; both must outlive run().
    // `written`, when given, hears how many bytes of the final content are in place, now and then.
    using Progress = std::function<void(uint64_t written)>;
    InPlaceRewrite(platform::FileHandle& file, platform::FileHandle& replacement,
                   const PendingRewrite& record, const RewriteStore& store, Progress written = {});

    // In order: extend the file to its final length, so that a full disk fails before any byte changes
    // (and cut it back then); overwrite it and sync it; cut it to length and sync it; rename it, never
    // replacing a file, and sync its folder; remove the record. Every failure is logged. A failure before
    // the first byte changed removes the record: the file is as it was.
    Outcome run();

    // The steps of run(), for a batch that syncs many files at once between them.
    enum class Syncs { EachStep, Deferred };
    // Extends, overwrites and cuts the file, syncing after each when asked. None once the content is in
    // place; otherwise the failure's outcome.
    std::optional<Outcome> place(Syncs syncs);
    // Gives the file its target name; false, logged, when that cannot be done.
    bool rename();
    // After the content (and a rename's folder) reached the disk: removes the record.
    Outcome complete(bool renamed);

private:
    enum class Step { Ok, FailedUntouched, FailedTouched };

    Step extend();
    // Copies [begin, end) of the replacement over the file: inside the kernel where it can, else through
    // memory.
    bool copy(uint64_t begin, uint64_t end);
    bool copyThroughMemory(uint64_t offset, uint64_t length);
    bool overwrite(Syncs syncs);
    bool cutToLength(Syncs syncs);
    Outcome failedUntouched();
    // Logs the step's failure, and hands on its cause from errno.
    void failed(std::string_view line);

    platform::FileHandle& m_file;
    platform::FileHandle& m_replacement;
    const PendingRewrite& m_record;
    const RewriteStore& m_store;
    Progress m_written;
    bool m_inKernel = true;
    std::vector<uint8_t> m_chunk; // only for copies through memory
};

} // namespace engine
