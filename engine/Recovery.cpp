// Recovery of one pending rewrite: find the replacement and the file, then finish the rewrite.
#include "engine/Recovery.h"

#include "engine/InPlaceRewrite.h"
#include "engine/LogMessages.h"
#include "engine/StatusCode.h"
#include "platform/FileManager.h"
#include "platform/FileStatus.h"
#include "platform/Log.h"

#include <memory>

namespace engine {

namespace {

using platform::FileHandle;

int32_t keptPending(const PendingRewrite& record) {
    platform::log(logmsg::replacementKeptAt(record.replacement.string()));
    return StatusFailed;
}

bool sameFile(const std::filesystem::path& path, const PendingRewrite& record) {
    const auto status = platform::statusOfPath(path, platform::FollowLinks::No);
    return status && status->identity == record.identity;
}

// Drops the record, then the replacement: the rewrite completed before it could do so itself.
int32_t completedEarlier(const PendingRewrite& record, const RewriteStore& store) {
    if (!store.removeRecord(record)) {
        return StatusFailed;
    }
    platform::removeItem(record.replacement);
    platform::log(logmsg::kRecoveredAfterInterruption);
    return StatusDone;
}

} // namespace

int32_t recoverRewrite(const PendingRewrite& record, const RewriteStore& store, FileHandle* openFile,
                       const std::filesystem::path& openPath) {
    auto replacement = FileHandle::openNoFollow(record.replacement, FileHandle::Access::ReadWrite);
    if (replacement && replacement->tryLock() != FileHandle::LockResult::Locked) {
        platform::log(logmsg::kInUseByAnotherRun);
        return StatusFailed;
    }
    // Its own run may have completed it between the caller's look and the lock.
    PendingRewrite current;
    if (store.find(record.identity, current) != RewriteStore::Lookup::Found || current != record) {
        platform::log(logmsg::kRecoveredAfterInterruption);
        return StatusDone;
    }

    std::unique_ptr<FileHandle> opened;
    FileHandle* file = openFile;
    const bool keepsItsName = record.target == record.file;
    if (file != nullptr) {
        const bool atTarget = !keepsItsName && std::filesystem::absolute(openPath) == record.target;
        if (atTarget) {
            return completedEarlier(record, store);
        }
        if (std::filesystem::absolute(openPath) != record.file) {
            platform::log(logmsg::kRecoveryFileMoved);
            return keptPending(record);
        }
    } else if (sameFile(record.file, record)) {
        opened = FileHandle::openNoFollow(record.file, FileHandle::Access::ReadWrite);
        if (!opened) {
            platform::log(logmsg::kRecoveryFileMoved);
            return keptPending(record);
        }
        if (opened->tryLock() != FileHandle::LockResult::Locked) {
            platform::log(logmsg::kInUseByAnotherRun);
            return StatusFailed;
        }
        file = opened.get();
    } else if (!keepsItsName && sameFile(record.target, record)) {
        return completedEarlier(record, store);
    } else {
        platform::log(logmsg::kRecoveryFileMoved);
        return keptPending(record);
    }

    const auto opens = platform::statusOfDescriptor(file->descriptor());
    if (!opens || opens->identity != record.identity) {
        platform::log(logmsg::kRecoveryFileMoved);
        return keptPending(record);
    }
    const auto held = replacement ? platform::statusOfDescriptor(replacement->descriptor()) : std::nullopt;
    if (!held || held->length != record.finalLength || record.replacementLength != record.finalLength) {
        platform::log(logmsg::kReplacementMissing);
        return keptPending(record);
    }
    if (!keepsItsName && platform::statusOfPath(record.target, platform::FollowLinks::No)) {
        platform::log(logmsg::targetAlreadyExists(record.target.filename().string()));
        return keptPending(record);
    }

    const auto outcome = InPlaceRewrite(*file, *replacement, record, store).run();
    if (outcome.pending) {
        return keptPending(record);
    }
    platform::removeItem(record.replacement);
    if (outcome.status != StatusFailed) {
        platform::log(logmsg::kRecoveredAfterInterruption);
    }
    return outcome.status;
}

} // namespace engine
