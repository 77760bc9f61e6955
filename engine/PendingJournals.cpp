// SPDX-License-Identifier: GPL-3.0-or-later
// Finding journals: in the folders of a run's files, under folders named for a recovery, or by the hint
// index.
#include "engine/PendingJournals.h"

#include "engine/JournalIndex.h"
#include "engine/JournalScan.h"
#include "engine/LogMessages.h"
#include "platform/FileStatus.h"
#include "platform/FileSystemTraits.h"
#include "platform/Folder.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <sys/stat.h>

namespace engine {

namespace {

std::filesystem::path folderOf(const std::filesystem::path& file) {
    const std::filesystem::path absolute = comparablePath(file);
    return absolute.parent_path();
}

PendingJournals::Recovery recoveryOf(const platform::Folder& opened, const std::filesystem::path& folder,
                                     const FoundJournal& journal) {
    const auto status = opened.status();
    PendingJournals::Recovery recovery{
        folder, status ? status->identity.inode : 0, journal.name, journal.entries, {}};
    // One that was never completed vouched for nothing: it is cleared without a row.
    if (journal.state == Journal::State::Unpublished) {
        return recovery;
    }
    for (const JournalEntry& entry : journal.entries) {
        recovery.files.push_back(folder / entry.name);
    }
    if (recovery.files.empty()) {
        recovery.files.push_back(folder / journal.name);
    }
    return recovery;
}

// What a recovery does with a journal that a running rewrite holds.
enum class LiveJournals {
    Take,  // it is tried like any other, and reported in use: the user named it
    Leave, // it is not pending: its run completes it, or leaves it for a later recovery
};

// Every journal of the folder becomes a recovery, or, given a file's name, those that name it. Returns how
// many were left to their live runs.
size_t collect(const std::filesystem::path& folder, PendingJournals& pending, LiveJournals live,
               const std::optional<std::string>& naming = std::nullopt) {
    const auto opened = platform::Folder::open(folder);
    const auto found = opened ? findJournals(*opened) : std::nullopt;
    size_t left = 0;
    if (!found) {
        return left;
    }
    for (const FoundJournal& journal : *found) {
        if (naming && !journal.names(*naming) && journal.state != Journal::State::Unpublished) {
            continue;
        }
        // Only a hint: a run that takes the journal after this look is still met by the recovery's own
        // lock, and one that ends after it leaves either nothing or a journal for the next recovery.
        if (live == LiveJournals::Leave && journal.live) {
            ++left;
            continue;
        }
        // Two paths given may lead to one journal: it is completed once.
        const auto status = opened->status();
        const bool listed =
            std::any_of(pending.recoveries.begin(), pending.recoveries.end(), [&](const auto& r) {
                return r.name == journal.name &&
                       (r.folder == folder || (status && r.folderInode == status->identity.inode));
            });
        if (listed) {
            continue;
        }
        pending.recoveries.push_back(recoveryOf(*opened, folder, journal));
    }
    return left;
}

void collectTree(const std::filesystem::path& folder, PendingJournals& pending, std::set<uint64_t>& seen) {
    const auto status = platform::statusOfPath(folder, platform::FollowLinks::No);
    if (!status || !S_ISDIR(status->mode) || !seen.insert(status->identity.inode).second) {
        return;
    }
    collect(folder, pending, LiveJournals::Take);
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error)) {
            collectTree(it->path(), pending, seen);
        }
    }
}

} // namespace

std::filesystem::path comparablePath(const std::filesystem::path& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return (error ? path : absolute).lexically_normal();
}

PendingJournals PendingJournals::forRun(const std::vector<std::filesystem::path>& files) {
    std::map<std::filesystem::path, std::set<std::string>> namesByFolder;
    for (const auto& file : files) {
        namesByFolder[folderOf(file)].insert(comparablePath(file).filename().string());
    }
    PendingJournals pending;
    for (const auto& [folder, names] : namesByFolder) {
        const auto opened = platform::Folder::open(folder);
        const auto found = opened ? findJournals(*opened) : std::nullopt;
        if (!found) {
            continue;
        }
        for (const FoundJournal& journal : *found) {
            const bool ours = std::any_of(names.begin(), names.end(),
                                          [&](const std::string& name) { return journal.names(name); });
            if (ours || journal.state == Journal::State::Unpublished) {
                pending.recoveries.push_back(recoveryOf(*opened, folder, journal));
            } else {
                pending.notices.push_back(logmsg::interruptedRewritePending(folder.string()));
            }
        }
    }
    return pending;
}

PendingJournals PendingJournals::forRecovery(const std::vector<std::filesystem::path>& paths) {
    PendingJournals pending;
    if (!paths.empty()) {
        std::set<uint64_t> seen;
        for (const auto& path : paths) {
            const auto status = platform::statusOfPath(path, platform::FollowLinks::Yes);
            if (status && S_ISDIR(status->mode)) {
                collectTree(comparablePath(path), pending, seen);
            } else {
                collect(folderOf(path), pending, LiveJournals::Take,
                        comparablePath(path).filename().string());
            }
        }
        return pending;
    }
    for (const JournalIndex::Entry& hinted : JournalIndex::entries()) {
        const auto folder = platform::Folder::open(hinted.folder);
        const auto status = folder ? folder->status() : std::nullopt;
        if (!status) {
            pending.notices.push_back("journals were noted in a folder no longer at " +
                                      hinted.folder.string());
            continue;
        }
        const auto generation = platform::inodeGeneration(folder->descriptor());
        if (status->identity.inode != hinted.inode ||
            (hinted.generation && generation && *hinted.generation != *generation)) {
            pending.notices.push_back("the folder that held journals at " + hinted.folder.string() +
                                      " was moved; run brisklet-cli recover on its new place");
            continue;
        }
        const size_t before = pending.recoveries.size();
        // A live run's journal stays noted: should that run die, the next recovery must find it.
        const size_t live = collect(hinted.folder, pending, LiveJournals::Leave);
        if (pending.recoveries.size() == before && live == 0) {
            JournalIndex::remove(hinted.folder);
        }
    }
    return pending;
}

} // namespace engine
