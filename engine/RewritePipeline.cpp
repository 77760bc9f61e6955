// SPDX-License-Identifier: GPL-3.0-or-later
// The pipeline's steps after the journal: per file, then for all files at once.
#include "engine/RewritePipeline.h"

#include "engine/FileMatch.h"
#include "engine/FilePlacement.h"
#include "engine/LogMessages.h"
#include "engine/StatusCode.h"
#include "platform/FileSystemTraits.h"
#include "platform/Lease.h"
#include "platform/Log.h"

#include <cerrno>
#include <chrono>
#include <utility>

namespace engine {

namespace {

// What rewrite() leaves behind when the file goes on to the shared steps; never a StatusCode.
constexpr int32_t kGoesOn = -1;
// How long a file open in another program may take to be closed again before it is refused: long enough
// for a thumbnailer's look.
constexpr std::chrono::milliseconds kLeasePatience{1000};

} // namespace

RewritePipeline::RewritePipeline(Journal& journal, Entry entry, Ended ended)
    : m_journal(journal), m_entry(entry), m_ended(std::move(ended)),
      m_traits(platform::fileSystemTraits(journal.folder().descriptor())),
      m_groupedSync(platform::syncFileSystemReportsErrors()) {}

void RewritePipeline::run(std::vector<RewriteFile>& files) {
    // A file alone is synced with fdatasync: a syncfs would wait for everything else on the disk too.
    m_groupedSync = m_groupedSync && files.size() > 1;
    for (RewriteFile& file : files) {
        if (file.state != RewriteFile::State::Waiting) {
            announce(file); // ended before the pipeline, by the caller's own checks
            continue;
        }
        const int32_t code = file.row.attributed([&] {
            rewrite(file);
            return kGoesOn;
        });
        if (code != kGoesOn && file.state == RewriteFile::State::Waiting) {
            // Only allocation throws; whether the file was touched is not known, so its journal stays.
            file.row.attributed([&] {
                endPending(file);
                return StatusFailed;
            });
        }
        announce(file);
    }
    makeDurable(files);
    finishAll(files);
}

void RewritePipeline::rewrite(RewriteFile& file) {
    if (m_entry == Entry::Fresh && file.owner != nullptr && file.owner->isCancelled()) {
        end(file, file.row.stopped());
        return;
    }
    std::string nameNow;
    if (const auto ended = openForRewrite(file, nameNow)) {
        end(file, *ended);
        return;
    }
    const int descriptor = file.handle->descriptor();
    const platform::LeaseResult lease = m_traits.leasesSeeEveryOpener
                                            ? platform::takeWriteLease(descriptor, kLeasePatience)
                                            : platform::LeaseResult::Unsupported;
    if (lease == platform::LeaseResult::InUse) {
        platform::log(logmsg::kOpenInAnotherProgram);
        keepJournalIfRecovering(file);
        end(file, StatusFailed);
        return;
    }
    if (const auto refused = recheck(file)) {
        end(file, *refused);
        return;
    }

    const bool complete = m_entry == Entry::Recovery && nameNow == file.entry.target &&
                          FilePlacement::holdsReplacement(*file.handle, file.entry);
    if (!complete) {
        const bool inKernel = m_traits.copyOverwritesInPlace;
        switch (FilePlacement(*file.handle, m_journal.handle(), file.entry, inKernel, file.written).place()) {
        case FilePlacement::Result::Placed:
            break;
        case FilePlacement::Result::FailedUntouched:
            keepJournalIfRecovering(file);
            end(file, StatusFailed);
            return;
        case FilePlacement::Result::FailedTouched:
            endPending(file);
            return;
        }
    }
    // Without a lease, or with one broken meanwhile, another program may have written between our
    // writes: only the bytes themselves can tell. A file found complete was just read whole, and not written.
    const bool leaseHeld = lease == platform::LeaseResult::Granted && platform::writeLeaseHeld(descriptor);
    if (!leaseHeld && !complete) {
        if (lease == platform::LeaseResult::Granted) {
            platform::log(logmsg::kLeaseBroken);
        }
        if (!FilePlacement::holdsReplacement(*file.handle, file.entry)) {
            platform::log(logmsg::kChangedDuringRewrite);
            endPending(file);
            return;
        }
    }
    if (!m_groupedSync && !file.handle->sync()) {
        platform::log(logmsg::withErrorText(logmsg::kCouldNotSyncFile, errno));
        endPending(file);
        return;
    }
    rename(file, nameNow);
    platform::releaseLease(descriptor);
    file.handle.reset();
    file.state = RewriteFile::State::Placed;
}

std::optional<int32_t> RewritePipeline::openForRewrite(RewriteFile& file, std::string& nameNow) {
    using platform::FileHandle;
    platform::Folder& folder = m_journal.folder();
    const auto lock = [&](std::unique_ptr<FileHandle>& handle) -> std::optional<int32_t> {
        switch (handle->tryLock()) {
        case FileHandle::LockResult::Locked:
            return std::nullopt;
        case FileHandle::LockResult::Busy:
            platform::log(logmsg::kInUseByAnotherRun);
            break;
        case FileHandle::LockResult::Failed:
            platform::log(logmsg::withErrorText(logmsg::kWritingToFileFailed, errno));
            break;
        }
        handle.reset();
        keepJournalIfRecovering(file);
        return StatusFailed;
    };

    if (m_entry == Entry::Fresh) {
        nameNow = file.entry.name;
        if (file.handle) {
            return std::nullopt;
        }
        FileHandle::Refusal refusal = FileHandle::Refusal::None;
        file.handle = folder.openFile(nameNow, FileHandle::Access::ReadWrite, refusal);
        if (!file.handle) {
            platform::log(logmsg::kFileChangedWhileRead);
            return StatusFailed;
        }
        return lock(file.handle);
    }

    // Under the name it had, or already under its new one: a rename may have come before the crash.
    std::vector<std::string> names{file.entry.name};
    if (file.entry.target != file.entry.name) {
        names.push_back(file.entry.target);
    }
    for (const std::string& name : names) {
        FileHandle::Refusal refusal = FileHandle::Refusal::None;
        auto handle =
            folder.statusOf(name) ? folder.openFile(name, FileHandle::Access::ReadWrite, refusal) : nullptr;
        if (!handle) {
            continue;
        }
        const auto status = platform::statusOfDescriptor(handle->descriptor());
        if (!status || !sameFile(file.entry, *status, platform::inodeGeneration(handle->descriptor()))) {
            continue;
        }
        if (const auto busy = lock(handle)) {
            return busy;
        }
        file.handle = std::move(handle);
        nameNow = name;
        return std::nullopt;
    }
    platform::log(logmsg::kFileOfJournalMissing);
    keepJournal(file);
    return StatusFailed;
}

std::optional<int32_t> RewritePipeline::recheck(RewriteFile& file) {
    const int descriptor = file.handle->descriptor();
    const auto status = platform::statusOfDescriptor(descriptor);
    if (m_entry == Entry::Fresh) {
        if (!status || !sameFile(file.entry, *status, platform::inodeGeneration(descriptor)) ||
            FileTimes::of(*status) != file.entry.afterProbe || status->linkCount > 1) {
            platform::log(logmsg::kFileChangedWhileRead);
            return StatusFailed;
        }
        return std::nullopt;
    }
    if (!status || !lengthInWindow(file.entry, status->length) ||
        !blocksAgree(*file.handle, status->length, file.entry, file.replacementBlocks)) {
        platform::log(logmsg::kFileNoLongerMatches);
        keepJournal(file);
        return StatusFailed;
    }
    return std::nullopt;
}

void RewritePipeline::rename(RewriteFile& file, const std::string& nameNow) {
    const std::string& target = file.entry.target;
    if (nameNow == target) {
        file.renamed = target != file.entry.name;
        if (file.renamed) {
            file.row.renamedTo(m_journal.folder().path() / target);
        } else if (m_entry == Entry::Fresh) {
            platform::log(logmsg::kCouldNotRenameFile);
            platform::note(logmsg::kNoExtensionToRemove);
        }
        return;
    }
    if (!m_journal.folder().renameNoReplace(nameNow, target)) {
        const int error = errno;
        platform::log(logmsg::kCouldNotRenameFile);
        platform::note(error == EEXIST ? logmsg::targetAlreadyExists(target) : platform::errorText(error));
        return;
    }
    file.renamed = true;
    file.row.renamedTo(m_journal.folder().path() / target);
}

void RewritePipeline::end(RewriteFile& file, int32_t code) {
    if (file.handle) {
        platform::releaseLease(file.handle->descriptor());
        file.handle.reset();
    }
    file.state = RewriteFile::State::Ended;
    file.outcome = code;
}

void RewritePipeline::announce(RewriteFile& file) {
    // Outside the step's attributed() call, so that the lines the step logged are part of the reason.
    if (file.outcome && !file.announced) {
        file.announced = true;
        m_ended(file, *file.outcome);
    }
}

void RewritePipeline::endPending(RewriteFile& file) {
    keepJournal(file);
    end(file, StatusFailed);
}

void RewritePipeline::keepJournal(RewriteFile& file) {
    if (file.pending) {
        return;
    }
    file.pending = true;
    const platform::Folder& folder = m_journal.folder();
    platform::log(m_entry == Entry::Fresh
                      ? logmsg::interruptedRewritePending(folder.path().string())
                      : logmsg::journalKeptAt((folder.path() / m_journal.name()).string()));
}

void RewritePipeline::keepJournalIfRecovering(RewriteFile& file) {
    if (m_entry == Entry::Recovery) {
        keepJournal(file);
    }
}

void RewritePipeline::makeDurable(std::vector<RewriteFile>& files) {
    const auto placed = [](const RewriteFile& file) { return file.state == RewriteFile::State::Placed; };
    if (std::none_of(files.begin(), files.end(), placed)) {
        return;
    }
    const auto failEach = [&](const std::string& line) {
        for (RewriteFile& file : files) {
            if (placed(file)) {
                file.row.attributed([&] {
                    platform::log(line);
                    endPending(file);
                    return StatusFailed;
                });
                announce(file);
            }
        }
    };
    if (m_groupedSync && !m_journal.handle().syncFileSystem()) {
        failEach(logmsg::withErrorText(logmsg::kCouldNotSyncFile, errno));
        return;
    }
    if (!m_journal.folder().sync()) {
        failEach(logmsg::notDurable(platform::errorText(errno)));
    }
}

void RewritePipeline::finishAll(std::vector<RewriteFile>& files) {
    const bool keep = std::any_of(files.begin(), files.end(), [](const RewriteFile& f) { return f.pending; });
    const bool removed = keep || m_journal.remove();
    for (RewriteFile& file : files) {
        file.row.attributed([&] {
            if (file.state == RewriteFile::State::Placed) {
                if (!removed) {
                    platform::log(logmsg::kCouldNotRemoveJournal);
                }
                if (m_entry == Entry::Recovery) {
                    platform::log(logmsg::kRecoveredAfterInterruption);
                }
                end(file, file.renamed ? StatusDone : StatusNotRenamed);
            }
            return StatusDone;
        });
        announce(file);
    }
}

} // namespace engine
