// The state directory: records written durably and under lock, looked up by file identity, and the
// clean-up of what dead runs left behind.
#include "engine/RewriteStore.h"

#include "engine/LogMessages.h"
#include "platform/FaultInjection.h"
#include "platform/FileHandle.h"
#include "platform/FileManager.h"
#include "platform/FileStatus.h"
#include "platform/Log.h"

#include <cerrno>
#include <set>
#include <system_error>

namespace engine {

namespace {

using platform::FileHandle;

// Records hold two paths and a few numbers; anything longer is not one of ours.
constexpr size_t kRecordLimit = 64 * 1024;

std::string errorText(int error) {
    return std::generic_category().message(error);
}

std::optional<std::string> readRecordText(const std::filesystem::path& path, int& error) {
    auto handle = FileHandle::openNoFollow(path, FileHandle::Access::ReadOnly);
    if (!handle) {
        error = errno;
        return std::nullopt;
    }
    std::string text(kRecordLimit, '\0');
    const auto got = handle->readAt(text.data(), text.size(), 0);
    if (!got) {
        error = errno;
        return std::nullopt;
    }
    text.resize(*got);
    return text;
}

// Whether the file at `path` is still the one `handle` has open: a clean-up may have removed the name
// between the creation and the lock.
bool stillNamed(const std::filesystem::path& path, FileHandle& handle) {
    const auto named = platform::statusOfPath(path, platform::FollowLinks::No);
    const auto open = platform::statusOfDescriptor(handle.descriptor());
    return named && open && named->identity == open->identity;
}

// True when no live run holds the file: it is then locked by `handle` until that closes.
std::unique_ptr<FileHandle> lockIfAbandoned(const std::filesystem::path& path) {
    auto handle = FileHandle::openNoFollow(path, FileHandle::Access::ReadWrite);
    if (!handle || handle->tryLock() != FileHandle::LockResult::Locked || !stillNamed(path, *handle)) {
        return nullptr;
    }
    return handle;
}

void removeQuietly(const std::filesystem::path& path) {
    platform::removeItem(path);
}

} // namespace

std::optional<RewriteStore> RewriteStore::open() {
    const auto directory = platform::stateDirectory(kStateDirectoryName);
    if (!directory) {
        platform::log(logmsg::stateDirectoryUnavailable(errorText(errno)));
        return std::nullopt;
    }
    return RewriteStore(*directory);
}

std::filesystem::path RewriteStore::recordPath(const platform::FileIdentity& identity) const {
    return m_directory / (std::string(kRecordPrefix) + std::to_string(identity.device) + "-" +
                          std::to_string(identity.inode) + "-" + std::to_string(identity.birthNanoseconds));
}

bool RewriteStore::writeRecord(const PendingRewrite& record, Durability durability) const {
    const bool syncNow = durability == Durability::Now;
    const std::filesystem::path path = recordPath(record.identity);
    const std::string text = encodePendingRewrite(record);
    bool written = false;
    if (!platform::shouldFail(platform::FaultPoint::RecordWrite, path)) {
        // The name is ours from its exclusive creation on, unless a clean-up took it before the lock.
        auto handle = FileHandle::createNew(path);
        const bool locked = handle && handle->tryLock() == FileHandle::LockResult::Locked;
        const bool named = locked && stillNamed(path, *handle);
        written = named && handle->writeAt(text.data(), text.size(), 0) && (!syncNow || handle->sync());
        if (handle && !written && (!locked || named)) {
            removeQuietly(path);
        }
    }
    if (written && (!syncNow || platform::syncDirectory(m_directory))) {
        return true;
    }
    if (written) {
        removeQuietly(path);
    }
    platform::log(logmsg::kCouldNotWriteRecord);
    return false;
}

bool RewriteStore::removeRecord(const PendingRewrite& record) const {
    // Not synced: a record that comes back after a power loss finds its rewrite complete and goes again.
    if (platform::removeItem(recordPath(record.identity))) {
        platform::log(logmsg::kCouldNotRemoveRecord);
        return false;
    }
    return true;
}

RewriteStore::Lookup RewriteStore::find(const platform::FileIdentity& identity,
                                        PendingRewrite& record) const {
    const std::filesystem::path path = recordPath(identity);
    int error = 0;
    const auto text = readRecordText(path, error);
    if (!text) {
        if (error == ENOENT) {
            return Lookup::None;
        }
        platform::log(logmsg::kCouldNotReadRecord);
        return Lookup::Unreadable;
    }
    if (auto decoded = decodePendingRewrite(*text); decoded && decoded->identity == identity) {
        record = std::move(*decoded);
        return Lookup::Found;
    }
    // The caller holds the file's lock, so no live run can be writing this record: it was torn by a
    // crash before its write-back began, and the file is whole.
    if (lockIfAbandoned(path)) {
        removeQuietly(path);
    }
    return Lookup::None;
}

std::vector<PendingRewrite> RewriteStore::collect() const {
    const auto entries = platform::contentsOfDirectory(m_directory);
    if (!entries) {
        return {};
    }
    std::vector<PendingRewrite> pending;
    std::set<std::filesystem::path> named;
    for (const auto& path : *entries) {
        if (!path.filename().string().starts_with(kRecordPrefix)) {
            continue;
        }
        int error = 0;
        const auto text = readRecordText(path, error);
        auto record = text ? decodePendingRewrite(*text) : std::nullopt;
        if (!record) {
            if (text && lockIfAbandoned(path)) {
                removeQuietly(path);
            }
            continue;
        }
        named.insert(record->replacement);
        // A live run holds its replacement's lock; a record without a replacement is reported by recovery.
        auto replacement = FileHandle::openNoFollow(record->replacement, FileHandle::Access::ReadWrite);
        if (replacement && replacement->tryLock() != FileHandle::LockResult::Locked) {
            continue;
        }
        pending.push_back(std::move(*record));
    }
    for (const auto& path : *entries) {
        if (path.filename().string().starts_with(kReplacementPrefix) && !named.contains(path)) {
            if (const auto abandoned = lockIfAbandoned(path)) {
                removeQuietly(path);
            }
        }
    }
    return pending;
}

} // namespace engine
