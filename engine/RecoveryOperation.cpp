// SPDX-License-Identifier: GPL-3.0-or-later
// A recovery run's operation: the journal locked and vouched for, then the pipeline.
#include "engine/RecoveryOperation.h"

#include "engine/Checksum.h"
#include "engine/FileMatch.h"
#include "engine/Journal.h"
#include "engine/LogMessages.h"
#include "engine/RewritePipeline.h"
#include "engine/StatusCode.h"
#include "platform/Folder.h"
#include "platform/Log.h"

#include <cerrno>
#include <pwd.h>
#include <unistd.h>
#include <utility>

namespace engine {

namespace {

constexpr uint64_t kReadChunk = uint64_t{1} << 20;

std::string userName(uid_t uid) {
    const struct passwd* entry = ::getpwuid(uid);
    return entry != nullptr && entry->pw_name != nullptr ? std::string(entry->pw_name)
                                                         : "user " + std::to_string(uid);
}

// The payload read back whole: its checksum must be the one recorded, and its blocks' checksums are what
// the file's blocks are compared with.
bool payloadVouchedFor(Journal& journal, const JournalEntry& entry, std::vector<uint64_t>& blocks) {
    ChecksumStream whole;
    BlockChecksums perBlock;
    std::vector<uint8_t> chunk(
        static_cast<size_t>(std::min(kReadChunk, std::max<uint64_t>(entry.finalLength, 1))));
    for (uint64_t offset = 0; offset < entry.finalLength;) {
        const uint64_t length = std::min<uint64_t>(chunk.size(), entry.finalLength - offset);
        if (!journal.readPayload(chunk.data(), length, entry.payloadOffset + offset)) {
            return false;
        }
        whole.update({chunk.data(), static_cast<size_t>(length)});
        perBlock.update({chunk.data(), static_cast<size_t>(length)});
        offset += length;
    }
    blocks = perBlock.finish();
    return whole.digest() == entry.payloadChecksum;
}

// For an entry whose payload is damaged: the file was never touched when it still looks exactly as the
// run that read it left it.
bool fileNeverTouched(const platform::Folder& folder, const JournalEntry& entry) {
    const auto status = folder.statusOf(entry.name);
    return status && FileTimes::of(*status) == entry.afterProbe && sameFile(entry, *status, std::nullopt);
}

} // namespace

RecoveryOperation::RecoveryOperation(std::filesystem::path folder, std::string journalName,
                                     std::vector<JournalEntry> expected,
                                     std::vector<std::unique_ptr<RowReport>> rows)
    : m_folder(std::move(folder)), m_journalName(std::move(journalName)), m_expected(std::move(expected)),
      m_rows(std::move(rows)) {}

void RecoveryOperation::main() {
    try {
        recover();
    } catch (...) {
        // Only allocation can fail outside the rows' own steps.
    }
    for (auto& row : m_rows) {
        row->report(StatusFailed);
    }
}

void RecoveryOperation::failAll(std::string_view line) {
    for (auto& row : m_rows) {
        if (!row->reported()) {
            row->report(row->attributed([&] {
                platform::log(line);
                return StatusFailed;
            }));
        }
    }
}

void RecoveryOperation::recover() {
    const std::string where = (m_folder / m_journalName).string();
    const auto folder = platform::Folder::open(m_folder);
    if (!folder) {
        failAll(logmsg::withErrorText(logmsg::kCouldNotReadJournal, errno));
        return;
    }
    Journal::Opening opening = Journal::Opening::Failed;
    const auto journal = Journal::open(*folder, m_journalName, opening);
    if (!journal) {
        failAll(opening == Journal::Opening::Busy
                    ? std::string(logmsg::kInUseByAnotherRun)
                    : logmsg::withErrorText(logmsg::kCouldNotReadJournal, errno));
        return;
    }
    if (journal->owner() != ::geteuid()) {
        failAll(logmsg::journalOfAnotherUser(userName(journal->owner())));
        return;
    }
    std::vector<JournalEntry> entries;
    switch (journal->read(entries)) {
    case Journal::State::Whole:
        break;
    case Journal::State::Unpublished:
        // Its writer died before completing it, so no file was touched: it vouches for nothing.
        journal->remove();
        return;
    case Journal::State::UnknownVersion:
        failAll(std::string(logmsg::kJournalUnknownVersion) + "; " + logmsg::journalKeptAt(where));
        return;
    case Journal::State::Damaged:
        failAll(std::string(logmsg::kJournalDamaged) + "; " + logmsg::journalKeptAt(where));
        return;
    }
    if (entries != m_expected || entries.size() != m_rows.size()) {
        failAll(logmsg::kCouldNotReadJournal);
        return;
    }

    std::vector<RewriteFile> files;
    files.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        RewriteFile& file = files.emplace_back(*m_rows[i], entries[i]);
        const int32_t code = file.row.attributed([&] {
            if (payloadVouchedFor(*journal, file.entry, file.replacementBlocks)) {
                return StatusNone;
            }
            if (fileNeverTouched(*folder, file.entry)) {
                platform::log(logmsg::kJournalDamagedFileWhole);
            } else {
                platform::log(logmsg::kJournalDamaged);
                platform::log(logmsg::journalKeptAt(where));
                file.pending = true;
            }
            return StatusFailed;
        });
        if (code != StatusNone) {
            file.state = RewriteFile::State::Ended;
            file.outcome = code;
        }
    }
    RewritePipeline(*journal, RewritePipeline::Entry::Recovery, [](RewriteFile& file, int32_t code) {
        file.row.report(code);
    }).run(files);
}

} // namespace engine
