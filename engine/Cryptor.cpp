// SPDX-License-Identifier: GPL-3.0-or-later
// File list, run start and status reports.
#include "engine/Cryptor.h"

#include "engine/BatchOperation.h"
#include "engine/DecryptionOperation.h"
#include "engine/EncryptionOperation.h"
#include "engine/LogMessages.h"
#include "engine/Notifications.h"
#include "engine/PendingFiles.h"
#include "engine/PendingJournals.h"
#include "engine/RecoveryOperation.h"
#include "engine/StatusCode.h"
#include "platform/FileManager.h"
#include "platform/FileStatus.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"

#include <algorithm>
#include <map>
#include <sys/stat.h>
#include <system_error>
#include <utility>
#include <variant>

namespace engine {

namespace {

// Files up to this length are rewritten in batches of up to kBatchFiles files of one folder and about
// kBatchBytes, which share one journal and its syncs. A batch holds one file open at a time.
constexpr uint64_t kSmallFileLength = 256 * 1024;
constexpr size_t kBatchFiles = 128;
constexpr uint64_t kBatchBytes = 8 * 1024 * 1024;

// What decides whether two rows are the same file: device and inode, or for a missing file its path.
using FileKey = std::variant<platform::FileIdentity, std::filesystem::path>;

// `entry` is the path's own status, links not followed: a link and its target are different rows, and the
// link is refused.
FileKey fileKey(const std::filesystem::path& url, const std::optional<platform::FileStatus>& entry) {
    if (entry) {
        return entry->identity;
    }
    std::error_code error;
    const auto absolute = std::filesystem::absolute(url, error);
    return (error ? url : absolute).lexically_normal();
}

} // namespace

Cryptor::Cryptor() = default;

Cryptor::~Cryptor() {
    stopRun();
}

void Cryptor::addURLs(const std::vector<std::filesystem::path>& urls) {
    std::vector<platform::FileIdentity> descent;
    for (const auto& url : urls) {
        addURL(url, Origin::Named, descent);
    }
}

void Cryptor::addURL(const std::filesystem::path& url, Origin origin,
                     std::vector<platform::FileIdentity>& descent) {
    // A link found inside a folder is never followed, so that a link out of the folder cannot take the run
    // elsewhere; it becomes a row of its own, refused when the run reaches it. A link the user names is
    // followed to a folder.
    const auto entry = platform::statusOfPath(url, platform::FollowLinks::No);
    const bool followable = origin == Origin::Named || (entry && !S_ISLNK(entry->mode));
    if (followable && platform::isDirectory(url)) {
        const auto identity = platform::fileIdentity(url);
        if (!identity || std::find(descent.begin(), descent.end(), *identity) != descent.end()) {
            return;
        }
        const auto entries = platform::contentsOfDirectory(url);
        if (!entries) {
            return;
        }
        descent.push_back(*identity);
        for (const auto& inside : *entries) {
            addURL(inside, Origin::InFolder, descent);
        }
        descent.pop_back();
        return;
    }
    std::lock_guard lock(m_statusLock);
    m_urls.push_back(url);
    m_status.push_back(StatusNone);
    m_reasons.emplace_back();
    m_reasonCodes.emplace_back();
    m_foundInFolder.push_back(origin == Origin::InFolder);
    m_finalURLs.emplace_back();
}

void Cryptor::removeAllURLs() {
    std::lock_guard lock(m_statusLock);
    m_urls.clear();
    m_status.clear();
    m_reasons.clear();
    m_reasonCodes.clear();
    m_foundInFolder.clear();
    m_finalURLs.clear();
}

void Cryptor::removeURLatIndexes(const std::set<int64_t>& indexes) {
    std::lock_guard lock(m_statusLock);
    // From the back, so that the indexes still to remove keep pointing at their rows.
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) {
        if (*it < 0 || static_cast<uint64_t>(*it) >= m_urls.size()) {
            continue;
        }
        m_urls.erase(m_urls.begin() + *it);
        m_status.erase(m_status.begin() + *it);
        m_reasons.erase(m_reasons.begin() + *it);
        m_reasonCodes.erase(m_reasonCodes.begin() + *it);
        m_foundInFolder.erase(m_foundInFolder.begin() + *it);
        m_finalURLs.erase(m_finalURLs.begin() + *it);
    }
}

void Cryptor::removeAllOKs() {
    std::set<int64_t> finished;
    {
        std::lock_guard lock(m_statusLock);
        for (size_t row = 0; row < m_status.size(); ++row) {
            if (m_status[row] == StatusDone || m_status[row] == StatusNotRenamed) {
                finished.insert(static_cast<int64_t>(row));
            } else if (m_status[row] == StatusFailed) {
                m_status[row] = StatusNone;
                m_reasons[row].clear();
                m_reasonCodes[row].clear();
            }
        }
    }
    removeURLatIndexes(finished);
}

std::optional<std::string> Cryptor::encryptFilesUsingPassPhrase(std::u16string_view passphrase,
                                                                const std::set<int64_t>& skippedRows) {
    return startRun(passphrase, twofish::DIR_ENCRYPT, skippedRows);
}

std::optional<std::string> Cryptor::decryptFilesUsingPassPhrase(std::u16string_view passphrase) {
    return startRun(passphrase, twofish::DIR_DECRYPT, {});
}

std::optional<std::string> Cryptor::encryptFilesInto(std::u16string_view passphrase,
                                                     std::vector<std::filesystem::path> outputFolders) {
    return startRun(passphrase, twofish::DIR_ENCRYPT, {}, std::move(outputFolders));
}

std::optional<std::string> Cryptor::decryptFilesInto(std::u16string_view passphrase,
                                                     std::vector<std::filesystem::path> outputFolders) {
    return startRun(passphrase, twofish::DIR_DECRYPT, {}, std::move(outputFolders));
}

std::optional<std::string>
Cryptor::startRun(std::u16string_view passphrase, uint8_t direction, const std::set<int64_t>& skippedRows,
                  std::optional<std::vector<std::filesystem::path>> outputFolders) {
    if (isBusy()) {
        return std::string("A run is already in progress.");
    }
    if (outputFolders && outputFolders->size() != urlCount()) {
        return std::string("Every file needs a folder for its copy.");
    }
    std::vector<std::filesystem::path> urls;
    std::vector<bool> foundInFolder;
    {
        std::lock_guard lock(m_statusLock);
        urls = m_urls;
        foundInFolder = m_foundInFolder;
    }

    std::string refusal;
    auto keys = RunKeys::forPassphrase(passphrase, direction, &refusal);
    if (!keys) {
        return refusal;
    }

    std::vector<bool> skipped(urls.size(), false);
    std::vector<std::filesystem::path> runURLs;
    for (const int64_t row : skippedRows) {
        if (row >= 0 && static_cast<uint64_t>(row) < urls.size()) {
            skipped[static_cast<size_t>(row)] = true;
        }
    }
    for (size_t row = 0; row < urls.size(); ++row) {
        if (!skipped[row]) {
            runURLs.push_back(urls[row]);
        }
    }

    // A file that a journal beside it names is completed from that journal, never read as if it were
    // whole; the journal's other files come along as rows of their own. A skipped file is among them when
    // a journal names it: half rewritten, it cannot be left as it is.
    // A run of copies writes nothing beside its files: it leaves that to recover.
    PendingJournals pending = outputFolders ? PendingJournals{} : PendingJournals::forRun(runURLs);
    std::vector<bool> recovered(urls.size(), false);
    const auto recoveryRows = rowsForRecoveries(pending, &recovered);
    for (size_t row = 0; row < urls.size(); ++row) {
        skipped[row] = skipped[row] && !recovered[row];
    }
    const auto skippedCount = static_cast<uint64_t>(std::count(skipped.begin(), skipped.end(), true));

    {
        std::lock_guard lock(m_statusLock);
        std::fill(m_finalURLs.begin(), m_finalURLs.end(), std::nullopt);
    }
    clearOutcomes(skipped);
    const uint64_t rows = urlCount();
    resetProgress(0, rows, skipped);
    // Set before anything is queued, so that an early finisher cannot bring it to 0.
    m_countdown = rows - skippedCount;
    queueRun(urls, foundInFolder, recovered, skipped, std::move(keys), outputFolders);
    queueRecoveries(std::move(pending), recoveryRows);
    return std::nullopt;
}

void Cryptor::clearOutcomes(const std::vector<bool>& rows) {
    std::lock_guard lock(m_statusLock);
    for (size_t row = 0; row < rows.size() && row < m_status.size(); ++row) {
        if (rows[row]) {
            m_status[row] = StatusNone;
            m_reasons[row].clear();
            m_reasonCodes[row].clear();
        }
    }
}

std::vector<std::vector<int64_t>> Cryptor::rowsForRecoveries(const PendingJournals& pending,
                                                             std::vector<bool>* runRows) {
    std::map<std::filesystem::path, int64_t> rowOfPath;
    if (runRows != nullptr) {
        std::lock_guard lock(m_statusLock);
        for (size_t row = 0; row < runRows->size(); ++row) {
            rowOfPath.try_emplace(comparablePath(m_urls[row]), static_cast<int64_t>(row));
        }
    }
    std::vector<std::vector<int64_t>> rows;
    std::lock_guard lock(m_statusLock);
    m_notices = pending.notices;
    for (const auto& recovery : pending.recoveries) {
        auto& these = rows.emplace_back();
        for (size_t i = 0; i < recovery.files.size(); ++i) {
            // A row of the run may name the file by its old name or by its new one.
            auto found = rowOfPath.find(recovery.files[i]);
            if (found == rowOfPath.end() && i < recovery.entries.size()) {
                found = rowOfPath.find(recovery.folder / recovery.entries[i].target);
            }
            if (found != rowOfPath.end() && !(*runRows)[static_cast<size_t>(found->second)]) {
                (*runRows)[static_cast<size_t>(found->second)] = true;
                these.push_back(found->second);
                continue;
            }
            these.push_back(static_cast<int64_t>(m_urls.size()));
            m_urls.push_back(recovery.files[i]);
            m_status.push_back(StatusNone);
            m_reasons.emplace_back();
            m_reasonCodes.emplace_back();
            m_foundInFolder.push_back(false);
            m_finalURLs.emplace_back();
        }
    }
    return rows;
}

void Cryptor::queueRecoveries(PendingJournals pending, const std::vector<std::vector<int64_t>>& rows) {
    for (size_t i = 0; i < pending.recoveries.size(); ++i) {
        auto& recovery = pending.recoveries[i];
        std::vector<std::unique_ptr<RowReport>> reports;
        for (const int64_t row : rows[i]) {
            reports.push_back(std::make_unique<RowReport>(this, row));
        }
        queue(std::make_unique<RecoveryOperation>(std::move(recovery.folder), std::move(recovery.name),
                                                  std::move(recovery.entries), std::move(reports)),
              rows[i]);
    }
}

void Cryptor::queueRun(const std::vector<std::filesystem::path>& urls, const std::vector<bool>& foundInFolder,
                       const std::vector<bool>& recovered, const std::vector<bool>& skipped,
                       std::shared_ptr<const RunKeys> keys,
                       const std::optional<std::vector<std::filesystem::path>>& outputFolders) {
    // A file reached twice (the same path, a folder and a file in it, two paths to one inode) is processed
    // once, by its first row; the others share that row's outcome when it reports.
    m_followers.clear();
    std::vector<std::optional<platform::FileStatus>> entries;
    std::vector<int64_t> leaders;
    std::map<FileKey, int64_t> firstRowOfFile;
    for (size_t row = 0; row < urls.size(); ++row) {
        entries.push_back(platform::statusOfPath(urls[row], platform::FollowLinks::No));
        if (skipped[row]) {
            continue; // it reports nothing, so it can neither lead nor follow
        }
        const auto [first, added] =
            firstRowOfFile.try_emplace(fileKey(urls[row], entries[row]), static_cast<int64_t>(row));
        if (added) {
            leaders.push_back(static_cast<int64_t>(row));
        } else {
            m_followers[first->second].push_back(static_cast<int64_t>(row));
        }
    }

    // Totals up front, so that the run's whole size is known before its operations open their files.
    std::vector<uint64_t> lengths(urls.size(), 0);
    for (size_t row = 0; row < urls.size(); ++row) {
        if (skipped[row]) {
            continue;
        }
        const auto status = platform::statusOfPath(urls[row], platform::FollowLinks::Yes);
        lengths[row] = status && status->isRegularFile() ? status->length : 0;
        m_progress[row].total.store(2 * lengths[row], std::memory_order_relaxed);
    }

    const auto operationFor = [&](int64_t row) -> std::unique_ptr<FileOperation> {
        const auto& url = urls[static_cast<size_t>(row)];
        if (keys->direction() == twofish::DIR_ENCRYPT) {
            return std::make_unique<EncryptionOperation>(url, keys, this, row);
        }
        return std::make_unique<DecryptionOperation>(url, keys, this, row);
    };

    // Small files go in batches of one folder, which share a journal and its syncs; the rest alone.
    struct Batch {
        std::vector<std::unique_ptr<FileOperation>> files;
        std::vector<int64_t> rows;
        uint64_t bytes = 0;
    };
    std::map<std::filesystem::path, Batch> batches;
    const auto queueBatch = [&](Batch& batch) {
        if (!batch.files.empty()) {
            queue(std::make_unique<BatchOperation>(std::move(batch.files)), batch.rows);
        }
        batch = Batch{};
    };
    const auto refuse = [&](int64_t row, const std::string& reason) {
        updateReasonCodes(row, {reasonOf(reason)});
        updateReason(row, reason);
        updateStatus(StatusFailed, row);
    };
    PendingFiles pendingFiles;
    for (const int64_t row : leaders) {
        const auto index = static_cast<size_t>(row);
        if (recovered[index]) {
            continue; // its journal's recovery reports for it
        }
        if (foundInFolder[index] && entries[index] && S_ISLNK(entries[index]->mode)) {
            refuse(row, std::string(logmsg::kSymbolicLinkInFolder));
            continue;
        }
        if (outputFolders) {
            // Copies go alone: each needs its own file synced anyway, and shares no journal.
            if (pendingFiles.isPending(urls[index])) {
                refuse(row,
                       logmsg::interruptedRewritePending(comparablePath(urls[index]).parent_path().string()));
                continue;
            }
            auto operation = operationFor(row);
            operation->copyInto((*outputFolders)[index]);
            queue(std::move(operation), {row});
            continue;
        }
        if (lengths[index] <= kSmallFileLength) {
            Batch& batch = batches[comparablePath(urls[index]).parent_path()];
            batch.files.push_back(operationFor(row));
            batch.rows.push_back(row);
            batch.bytes += lengths[index];
            if (batch.files.size() == kBatchFiles || batch.bytes >= kBatchBytes) {
                queueBatch(batch);
            }
        } else {
            queue(operationFor(row), {row});
        }
    }
    for (auto& [folder, batch] : batches) {
        queueBatch(batch);
    }
}

void Cryptor::queue(std::unique_ptr<platform::Operation> operation, const std::vector<int64_t>& rows) {
    try {
        m_operationQueue.addOperation(std::move(operation));
    } catch (const std::system_error& error) {
        // No worker could be started: these rows fail, so that the run still ends.
        for (const int64_t row : rows) {
            updateReasonCodes(row, {reasonOf(error.what())});
            updateReason(row, error.what());
            updateStatus(StatusFailed, row);
        }
    }
}

std::optional<std::string> Cryptor::recoverPendingRewrites(const std::vector<std::filesystem::path>& paths) {
    if (isBusy()) {
        return std::string("A run is already in progress.");
    }
    PendingJournals pending = PendingJournals::forRecovery(paths);
    m_followers.clear();
    const int64_t firstRow = static_cast<int64_t>(urlCount());
    const auto rows = rowsForRecoveries(pending, nullptr);
    const uint64_t count = urlCount() - static_cast<uint64_t>(firstRow);
    if (count > 0) {
        resetProgress(firstRow, count);
        m_countdown = count;
    }
    queueRecoveries(std::move(pending), rows);
    return std::nullopt;
}

std::vector<std::string> Cryptor::notices() const {
    std::lock_guard lock(m_statusLock);
    return m_notices;
}

void Cryptor::stopRun() {
    m_operationQueue.cancelAllOperations();
}

bool Cryptor::isBusy() const {
    return m_countdown.load() != 0;
}

void Cryptor::waitUntilAllOperationsAreFinished() {
    m_operationQueue.waitUntilAllOperationsAreFinished();
}

uint64_t Cryptor::urlCount() const {
    std::lock_guard lock(m_statusLock);
    return m_urls.size();
}

std::filesystem::path Cryptor::urlOnRow(int64_t row) const {
    std::lock_guard lock(m_statusLock);
    return m_urls.at(static_cast<size_t>(row));
}

std::string Cryptor::fileNameOnRow(int32_t row) const {
    return urlOnRow(row).filename().string();
}

bool Cryptor::foundInFolderOnRow(int64_t row) const {
    std::lock_guard lock(m_statusLock);
    return m_foundInFolder.at(static_cast<size_t>(row));
}

int32_t Cryptor::statusOnRow(int64_t row) const {
    std::lock_guard lock(m_statusLock);
    return m_status.at(static_cast<size_t>(row));
}

std::filesystem::path Cryptor::finalURLOnRow(int64_t row) const {
    std::lock_guard lock(m_statusLock);
    const auto index = static_cast<size_t>(row);
    return m_finalURLs.at(index) ? *m_finalURLs[index] : m_urls.at(index);
}

void Cryptor::replaceURLOnRow(int64_t row, std::filesystem::path url) {
    std::lock_guard lock(m_statusLock);
    const auto index = static_cast<size_t>(row);
    m_urls.at(index) = std::move(url);
    m_finalURLs.at(index).reset();
}

void Cryptor::updateFinalURL(int64_t index, std::filesystem::path url) {
    std::lock_guard lock(m_statusLock);
    if (index >= 0 && static_cast<uint64_t>(index) < m_finalURLs.size()) {
        m_finalURLs[static_cast<size_t>(index)] = std::move(url);
    }
}

std::vector<Reason> Cryptor::reasonCodesOnRow(int64_t row) const {
    std::lock_guard lock(m_statusLock);
    return m_reasonCodes.at(static_cast<size_t>(row));
}

void Cryptor::updateReasonCodes(int64_t index, std::vector<Reason> reasons) {
    std::lock_guard lock(m_statusLock);
    if (index >= 0 && static_cast<uint64_t>(index) < m_reasonCodes.size()) {
        m_reasonCodes[static_cast<size_t>(index)] = std::move(reasons);
    }
}

std::string Cryptor::failureReasonOnRow(int64_t row) const {
    std::lock_guard lock(m_statusLock);
    return m_reasons.at(static_cast<size_t>(row));
}

void Cryptor::resetProgress(int64_t firstRow, uint64_t count, const std::vector<bool>& skipped) {
    m_progress = std::make_unique<RowProgress[]>(count);
    m_progressFirstRow = firstRow;
    m_progressRows = count;
    m_skippedRows = 0;
    for (size_t slot = 0; slot < count && slot < skipped.size(); ++slot) {
        if (skipped[slot]) {
            m_progress[slot].reported.store(true, std::memory_order_relaxed);
            ++m_skippedRows;
        }
    }
}

std::optional<Cryptor::Progress> Cryptor::progressOnRow(int64_t row) const {
    const int64_t slot = row - m_progressFirstRow;
    if (!m_progress || slot < 0 || static_cast<uint64_t>(slot) >= m_progressRows) {
        return std::nullopt;
    }
    const RowProgress& counters = m_progress[static_cast<size_t>(slot)];
    return Progress{counters.done.load(std::memory_order_relaxed),
                    counters.total.load(std::memory_order_relaxed),
                    counters.reported.load(std::memory_order_relaxed)};
}

Cryptor::RunProgress Cryptor::runProgress() const {
    RunProgress run;
    for (uint64_t slot = 0; slot < m_progressRows; ++slot) {
        run.bytes.done += m_progress[slot].done.load(std::memory_order_relaxed);
        run.bytes.total += m_progress[slot].total.load(std::memory_order_relaxed);
    }
    run.filesTotal = m_progressRows - m_skippedRows;
    run.filesDone = run.filesTotal - std::min<uint64_t>(m_countdown.load(), run.filesTotal);
    return run;
}

void Cryptor::updateProgress(int64_t index, uint64_t done, uint64_t total) {
    const int64_t slot = index - m_progressFirstRow;
    if (m_progress && slot >= 0 && static_cast<uint64_t>(slot) < m_progressRows) {
        m_progress[static_cast<size_t>(slot)].done.store(done, std::memory_order_relaxed);
        m_progress[static_cast<size_t>(slot)].total.store(total, std::memory_order_relaxed);
    }
}

void Cryptor::updateReason(int64_t index, std::string reason) {
    std::lock_guard lock(m_statusLock);
    if (index >= 0 && static_cast<uint64_t>(index) < m_reasons.size()) {
        m_reasons[static_cast<size_t>(index)] = std::move(reason);
    }
}

void Cryptor::updateStatus(int32_t code, int64_t index) {
    report(code, index);
    const auto followers = m_followers.find(index);
    if (followers == m_followers.end()) {
        return;
    }
    const std::string reason = logmsg::sameFileAs(fileNameOnRow(static_cast<int32_t>(index)));
    const std::filesystem::path finalURL = finalURLOnRow(index);
    for (const int64_t row : followers->second) {
        updateReasonCodes(row, {reasonOf(reason)});
        updateReason(row, reason);
        if (code == StatusDone) {
            updateFinalURL(row, finalURL);
        }
        report(code, row);
    }
}

void Cryptor::report(int32_t code, int64_t index) {
    uint64_t remaining = 0;
    {
        std::lock_guard lock(m_statusLock);
        if (index >= 0 && static_cast<uint64_t>(index) < m_status.size()) {
            m_status[static_cast<size_t>(index)] = code;
        }
        // A file that has reported is as far as it will get, whatever its outcome.
        if (const int64_t slot = index - m_progressFirstRow;
            m_progress && slot >= 0 && static_cast<uint64_t>(slot) < m_progressRows) {
            RowProgress& counters = m_progress[static_cast<size_t>(slot)];
            counters.done.store(counters.total.load(std::memory_order_relaxed), std::memory_order_relaxed);
            counters.reported.store(true, std::memory_order_relaxed);
        }
        remaining = --m_countdown;
    }
    platform::NotificationCenter::defaultCenter().post(
        remaining != 0 ? kOperationUpdate : kOperationTerminated, this);
}

bool Cryptor::doHashString(std::u16string_view passphrase, uint8_t (&hash)[passphrase::kDigestSize]) {
    return passphrase::digest(passphrase, hash) == passphrase::Result::Ok;
}

} // namespace engine
