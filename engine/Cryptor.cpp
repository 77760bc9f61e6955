// File list, run start and status reports.
#include "engine/Cryptor.h"

#include "engine/DecryptionOperation.h"
#include "engine/EncryptionOperation.h"
#include "engine/LogMessages.h"
#include "engine/Notifications.h"
#include "engine/PathExtension.h"
#include "engine/RecoveryOperation.h"
#include "engine/RewriteStore.h"
#include "engine/SmallFilesOperation.h"
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

// Files up to this length are rewritten in batches of up to kBatchFiles files and about kBatchBytes,
// which share their syncs. A batch holds two descriptors per file and each file's replacement in memory.
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
    m_foundInFolder.push_back(origin == Origin::InFolder);
    m_finalURLs.emplace_back();
}

void Cryptor::removeAllURLs() {
    std::lock_guard lock(m_statusLock);
    m_urls.clear();
    m_status.clear();
    m_reasons.clear();
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
            }
        }
    }
    removeURLatIndexes(finished);
}

std::optional<std::string> Cryptor::encryptFilesUsingPassPhrase(std::u16string_view passphrase) {
    return startRun(passphrase, twofish::DIR_ENCRYPT);
}

std::optional<std::string> Cryptor::decryptFilesUsingPassPhrase(std::u16string_view passphrase) {
    return startRun(passphrase, twofish::DIR_DECRYPT);
}

std::optional<std::string> Cryptor::startRun(std::u16string_view passphrase, uint8_t direction) {
    if (isBusy()) {
        return std::string("A run is already in progress.");
    }
    std::vector<std::filesystem::path> urls;
    std::vector<bool> foundInFolder;
    {
        std::lock_guard lock(m_statusLock);
        urls = m_urls;
        foundInFolder = m_foundInFolder;
    }

    Secret<uint8_t[passphrase::kDigestSize]> digest;
    const passphrase::Result refusal = passphrase::digest(passphrase, digest.get());
    if (refusal != passphrase::Result::Ok) {
        return std::string(passphrase::describe(refusal));
    }
    auto key = std::make_shared<Secret<twofish::keyInstance>>();
    if (passphrase::prepareKey(key->get(), direction, digest.get()) != twofish::TRUE) {
        platform::log(logmsg::kMakeKeyFailed);
        return std::string(logmsg::kMakeKeyFailed);
    }

    // What dead runs left before their write-back began goes; what they left after it is completed by
    // the operation that opens the file.
    if (const auto store = RewriteStore::open()) {
        store->collect();
    }

    {
        std::lock_guard lock(m_statusLock);
        std::fill(m_finalURLs.begin(), m_finalURLs.end(), std::nullopt);
    }
    m_runKind = direction == twofish::DIR_ENCRYPT ? RunKind::Encrypt : RunKind::Decrypt;
    resetProgress(0, urls.size());
    // Set before anything is queued, so that an early finisher cannot bring it to 0.
    m_countdown = urls.size();
    queueRun(urls, foundInFolder, std::move(key));
    return std::nullopt;
}

void Cryptor::queueRun(const std::vector<std::filesystem::path>& urls, const std::vector<bool>& foundInFolder,
                       RunKey key) {
    // A file reached twice (the same path, a folder and a file in it, two paths to one inode) is processed
    // once, by its first row; the others share that row's outcome when it reports.
    m_followers.clear();
    std::vector<std::optional<platform::FileStatus>> entries;
    std::vector<int64_t> leaders;
    std::map<FileKey, int64_t> firstRowOfFile;
    for (size_t row = 0; row < urls.size(); ++row) {
        entries.push_back(platform::statusOfPath(urls[row], platform::FollowLinks::No));
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
        const auto status = platform::statusOfPath(urls[row], platform::FollowLinks::Yes);
        lengths[row] = status && status->isRegularFile() ? status->length : 0;
        m_progress[row].total.store(2 * lengths[row], std::memory_order_relaxed);
    }

    const auto operationFor = [&](int64_t row) -> std::unique_ptr<FileOperation> {
        const auto& url = urls[static_cast<size_t>(row)];
        if (key->get().direction == twofish::DIR_ENCRYPT) {
            return std::make_unique<EncryptionOperation>(url, key, this, row);
        }
        return std::make_unique<DecryptionOperation>(url, key, this, row);
    };

    // Small files go in batches that share their syncs; the rest alone.
    std::vector<std::unique_ptr<FileOperation>> batch;
    std::vector<int64_t> batchRows;
    uint64_t batchBytes = 0;
    const auto queueBatch = [&] {
        if (!batch.empty()) {
            queue(std::make_unique<SmallFilesOperation>(std::move(batch)), batchRows);
        }
        batch.clear();
        batchRows.clear();
        batchBytes = 0;
    };
    for (const int64_t row : leaders) {
        const auto index = static_cast<size_t>(row);
        if (foundInFolder[index] && entries[index] && S_ISLNK(entries[index]->mode)) {
            updateReason(row, std::string(logmsg::kSymbolicLinkInFolder));
            updateStatus(StatusFailed, row);
            continue;
        }
        if (lengths[index] <= kSmallFileLength) {
            batch.push_back(operationFor(row));
            batchRows.push_back(row);
            batchBytes += lengths[index];
            if (batch.size() == kBatchFiles || batchBytes >= kBatchBytes) {
                queueBatch();
            }
        } else {
            queue(operationFor(row), {row});
        }
    }
    queueBatch();
}

void Cryptor::queue(std::unique_ptr<platform::Operation> operation, const std::vector<int64_t>& rows) {
    try {
        m_operationQueue.addOperation(std::move(operation));
    } catch (const std::system_error& error) {
        // No worker could be started: these rows fail, so that the run still ends.
        for (const int64_t row : rows) {
            updateReason(row, error.what());
            updateStatus(StatusFailed, row);
        }
    }
}

std::optional<std::string> Cryptor::recoverPendingRewrites() {
    if (isBusy()) {
        return std::string("A run is already in progress.");
    }
    const auto store = RewriteStore::open();
    if (!store) {
        return std::string("The state directory cannot be used.");
    }
    std::vector<PendingRewrite> pending = store->collect();
    if (pending.empty()) {
        return std::nullopt;
    }
    m_followers.clear();
    std::vector<int64_t> rows;
    {
        std::lock_guard lock(m_statusLock);
        for (const auto& record : pending) {
            rows.push_back(static_cast<int64_t>(m_urls.size()));
            m_urls.push_back(record.file);
            m_status.push_back(StatusNone);
            m_reasons.emplace_back();
            m_foundInFolder.push_back(false);
            m_finalURLs.emplace_back();
        }
    }
    m_runKind = RunKind::Recovery;
    resetProgress(rows.front(), pending.size());
    m_countdown = pending.size();
    for (size_t i = 0; i < pending.size(); ++i) {
        queue(std::make_unique<RecoveryOperation>(std::move(pending[i]), this, rows[i]), {rows[i]});
    }
    return std::nullopt;
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

std::string Cryptor::failureReasonOnRow(int64_t row) const {
    std::lock_guard lock(m_statusLock);
    return m_reasons.at(static_cast<size_t>(row));
}

void Cryptor::resetProgress(int64_t firstRow, uint64_t count) {
    m_progress = std::make_unique<RowProgress[]>(count);
    m_progressFirstRow = firstRow;
    m_progressRows = count;
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
    run.filesTotal = m_progressRows;
    run.filesDone = m_progressRows - std::min<uint64_t>(m_countdown.load(), m_progressRows);
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
            const auto row = static_cast<size_t>(index);
            m_status[row] = code;
            // Until every operation names its file's new path itself, the extension rule tells it.
            if (code == StatusDone && !m_finalURLs[row] && m_runKind != RunKind::Recovery) {
                if (m_runKind == RunKind::Encrypt) {
                    m_finalURLs[row] = withEncryptedExtension(m_urls[row]);
                } else if (m_runKind == RunKind::Decrypt) {
                    m_finalURLs[row] = withoutLastExtension(m_urls[row]);
                }
            }
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
