// SPDX-License-Identifier: GPL-3.0-or-later
// The list of files with a status per file, and the runs that encrypt or decrypt all of them.
#pragma once

#include "crypto/passphrase_key.h"
#include "engine/OperationMaster.h"
#include "engine/PendingJournals.h"
#include "engine/RunKeys.h"
#include "platform/FileIdentity.h"
#include "platform/OperationQueue.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// Rows are read and changed on one thread (the front end's main thread), while the operations of a run
// report from worker threads; every member is safe against those reports. Runs post kOperationUpdate and
// kOperationTerminated (engine/Notifications.h) on the default notification centre, on the reporting
// worker thread, with the Cryptor as object.
class Cryptor final : public OperationMaster {
public:
    Cryptor();
    // Stops the run in progress (see stopRun) and waits for its operations: they refer to the Cryptor.
    ~Cryptor() override;
    Cryptor(const Cryptor&) = delete;
    Cryptor& operator=(const Cryptor&) = delete;

    // Appends each file as a row with StatusNone; a directory (also through a link, when it is named
    // here) contributes its visible entries, descending into subdirectories but never through a symbolic
    // link found inside one: such a link is a row of its own, which a run refuses. A directory that cannot
    // be listed is skipped, and one already being descended is not entered again. Paths that do not exist
    // are listed too, and fail when a run reaches them. A file given twice has two rows; a run processes
    // it once, and the later row shares the earlier one's outcome, with the reason "same file as NAME".
    void addURLs(const std::vector<std::filesystem::path>& urls);

    // The three removals: only while not busy.
    void removeAllURLs();
    void removeURLatIndexes(const std::set<int64_t>& indexes);
    // Removes rows with StatusDone or StatusNotRenamed and clears StatusFailed back to StatusNone.
    void removeAllOKs();

    // Start a run over every row and return at once. None when the run started (an empty list starts
    // nothing and posts nothing); otherwise a sentence for the user saying why nothing started: a
    // passphrase that cannot be turned into a key, or a key schedule that could not be built. A decryption
    // also tries the passphrase's NFC and NFD forms (RunKeys) on a file the typed form does not open; a
    // row that opened so reports done with the note "opened with the passphrase's NFC form" (or NFD).
    // An encryption leaves out the rows in `skippedRows` (indexes out of range are ignored): their files
    // are not touched, they lose the outcome of any earlier run (StatusNone, no reason), report nothing,
    // show as reported at once with nothing to do (progressOnRow) and count nowhere in runProgress().
    // Only a skipped file that a pending journal names takes part, to be completed from that journal. A
    // run whose every row is skipped starts nothing and posts nothing.
    std::optional<std::string> encryptFilesUsingPassPhrase(std::u16string_view passphrase,
                                                           const std::set<int64_t>& skippedRows = {});
    std::optional<std::string> decryptFilesUsingPassPhrase(std::u16string_view passphrase);
    // The same runs, making each row's transformed copy in `outputFolders[row]` (one folder per row, made
    // owner-only where missing) instead of rewriting the file (FileOperation::copyInto): every original
    // stays as it is, and nothing is written beside it. A file that an interrupted rewrite left pending is
    // refused, naming recover, rather than completed. A row's final URL is its copy.
    std::optional<std::string> encryptFilesInto(std::u16string_view passphrase,
                                                std::vector<std::filesystem::path> outputFolders);
    std::optional<std::string> decryptFilesInto(std::u16string_view passphrase,
                                                std::vector<std::filesystem::path> outputFolders);

    // Completes the interrupted rewrites whose journals lie in the folders named (recursively), in the
    // folders of the files named, or, with no paths, in the folders the hint index names, as a run: one
    // row per file is appended (with the path the file had), and each reports StatusDone or
    // StatusNotRenamed with the reason "recovered after an interruption", or StatusFailed with why, its
    // journal kept. Files of live runs, in this process or another, are never touched. None when the run
    // started or there was nothing to recover (the row count tells which); otherwise why not.
    std::optional<std::string> recoverPendingRewrites(const std::vector<std::filesystem::path>& paths = {});
    // What the last run or recovery found and left alone, one sentence each: journals pending beside the
    // run's files, hinted folders that are gone.
    std::vector<std::string> notices() const;

    // Asks the run in progress to stop. Files whose rewrite has not begun end untouched, with StatusNone
    // and the reason "stopped; untouched"; rewrites already under way finish. The run still ends with
    // one report per row. Any thread may call it.
    void stopRun();

    // True from a run's start until its last report.
    bool isBusy() const;
    // For front ends without an event loop: blocks until every queued operation has finished.
    void waitUntilAllOperationsAreFinished();

    uint64_t urlCount() const;
    std::filesystem::path urlOnRow(int64_t row) const;
    std::string fileNameOnRow(int32_t row) const;
    // Whether the row was met inside a listed folder rather than named itself.
    bool foundInFolderOnRow(int64_t row) const;
    int32_t statusOnRow(int64_t row) const;
    // Where the row's file lives after the last run: the new name of a file that run renamed, otherwise
    // the row's URL. An encryption or decryption that reports StatusDone renames by the extension rule
    // (engine/PathExtension.h) unless its operation named the final path itself (updateFinalURL).
    std::filesystem::path finalURLOnRow(int64_t row) const;
    // Makes the row name `url`, keeping its code and reason; for following renamed files once a run has
    // ended. Main thread, only while not busy.
    void replaceURLOnRow(int64_t row, std::filesystem::path url);
    // The log lines the row's last operation wrote, joined by "; "; empty when it wrote none.
    std::string failureReasonOnRow(int64_t row) const;
    // The same lines as codes with their details, in order: what a front end words in its own language.
    std::vector<Reason> reasonCodesOnRow(int64_t row) const;

    // How far a row of the run in progress (or of the last run) has come: units done of its total, a
    // file's bytes transformed and then written back against twice its length. None for a row that
    // was not part of that run, such as one added during it. Safe to poll from the main thread while
    // the run's operations update it.
    struct Progress {
        uint64_t done = 0;
        uint64_t total = 0;
        bool reported = false; // the row's outcome of this run is in
    };
    std::optional<Progress> progressOnRow(int64_t row) const;
    // The same summed over the run, and its files: reported of all.
    struct RunProgress {
        Progress bytes;
        uint64_t filesDone = 0;
        uint64_t filesTotal = 0;
    };
    RunProgress runProgress() const;

    void updateReason(int64_t index, std::string reason) override;
    void updateReasonCodes(int64_t index, std::vector<Reason> reasons) override;
    void updateStatus(int32_t code, int64_t index) override;
    void updateProgress(int64_t index, uint64_t done, uint64_t total) override;
    void updateFinalURL(int64_t index, std::filesystem::path url) override;

    // The passphrase's 32-byte digest, the same that keys a run. False, with `hash` untouched, for a
    // passphrase that cannot be turned into a key.
    bool doHashString(std::u16string_view passphrase, uint8_t (&hash)[passphrase::kDigestSize]);

private:
    // With `outputFolders`, a run of copies.
    std::optional<std::string> startRun(std::u16string_view passphrase, uint8_t direction,
                                        const std::set<int64_t>& skippedRows,
                                        std::optional<std::vector<std::filesystem::path>> outputFolders = {});
    // Fresh progress counters for the rows [firstRow, firstRow + count) of a run about to start; rows
    // marked in `skipped` (indexed from firstRow) count as reported, with nothing to do.
    void resetProgress(int64_t firstRow, uint64_t count, const std::vector<bool>& skipped = {});
    // Rows the run leaves out: no outcome of an earlier run stays on them.
    void clearOutcomes(const std::vector<bool>& rows);
    enum class Origin { Named, InFolder };
    void addURL(const std::filesystem::path& url, Origin origin,
                std::vector<platform::FileIdentity>& descent);
    // Queues the rows that are neither `recovered` (their journal's recovery reports for them) nor
    // `skipped`.
    void queueRun(const std::vector<std::filesystem::path>& urls, const std::vector<bool>& foundInFolder,
                  const std::vector<bool>& recovered, const std::vector<bool>& skipped,
                  std::shared_ptr<const RunKeys> keys,
                  const std::optional<std::vector<std::filesystem::path>>& outputFolders);
    // Rows for the files of the journals to complete, one list per journal: a run's own row where
    // `runRows` (the run's rows, marked as they are taken) has one for the file, else a new row.
    std::vector<std::vector<int64_t>> rowsForRecoveries(const PendingJournals& pending,
                                                        std::vector<bool>* runRows);
    void queueRecoveries(PendingJournals pending, const std::vector<std::vector<int64_t>>& rows);
    // Stores a row's code and posts the notification for it.
    void report(int32_t code, int64_t index);
    void queue(std::unique_ptr<platform::Operation> operation, const std::vector<int64_t>& rows);

    mutable std::mutex m_statusLock; // guards the three lists and the decrements of m_countdown
    std::vector<std::filesystem::path> m_urls;
    std::vector<int32_t> m_status;
    std::vector<std::string> m_reasons;
    std::vector<std::vector<Reason>> m_reasonCodes;
    std::vector<bool> m_foundInFolder; // the row was found inside a listed folder, not named itself
    std::vector<std::string> m_notices;
    // The path a run left the row's file at, once known; none while the file keeps the row's URL.
    std::vector<std::optional<std::filesystem::path>> m_finalURLs;
    std::atomic<uint64_t> m_countdown{0};
    // For the run in progress: rows that name the same file as an earlier row, by that row. Set before
    // the run's operations are queued, read by their reports.
    std::map<int64_t, std::vector<int64_t>> m_followers;

    // Replaced only between runs, when no operation can touch it; within a run the counters are atomic.
    struct RowProgress {
        std::atomic<uint64_t> done{0};
        std::atomic<uint64_t> total{0};
        std::atomic<bool> reported{false};
    };
    std::unique_ptr<RowProgress[]> m_progress;
    int64_t m_progressFirstRow = 0;
    uint64_t m_progressRows = 0;
    uint64_t m_skippedRows = 0; // of the m_progressRows, those the run leaves out
    // Last, so that it is destroyed first: its destructor lets running operations report into the rest.
    platform::OperationQueue m_operationQueue;
};

} // namespace engine
