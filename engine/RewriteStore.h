// The per-user state directory where replacements wait beside their pending-rewrite records.
#pragma once

#include "engine/PendingRewrite.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace engine {

// Replacements are "kov." files made by TempBuffer; each process holds a lock on its own replacements for
// as long as it works with them, which is how a run tells a live run's files from a dead one's. A record
// is named after the identity of the file it rewrites, so that whoever opens a file finds its pending
// rewrite with one lookup. Records are written under a lock too, so that a record still being written is
// never taken for a torn one.
class RewriteStore {
public:
    // The directory is $XDG_STATE_HOME/brisklet or ~/.local/state/brisklet. None, after logging why, when
    // it cannot be made or is not private to the user.
    static std::optional<RewriteStore> open();
    explicit RewriteStore(std::filesystem::path directory) : m_directory(std::move(directory)) {}

    const std::filesystem::path& directory() const { return m_directory; }
    std::filesystem::path recordPath(const platform::FileIdentity& identity) const;

    // Writes the record and makes it, and the replacement's name beside it, survive a power loss: at
    // once, or, for a batch, by one sync of the directory's file system that the caller makes afterwards.
    // Fails (after logging why) when a record for that file already exists or anything cannot be written;
    // no partial record is left behind.
    enum class Durability { Now, ByTheCaller };
    bool writeRecord(const PendingRewrite& record, Durability durability = Durability::Now) const;
    // Removes the record of a rewrite that has completed or never touched its file. Logs a failure.
    bool removeRecord(const PendingRewrite& record) const;

    enum class Lookup { None, Found, Unreadable };
    // The pending rewrite of the file with this identity, if one is recorded.
    Lookup find(const platform::FileIdentity& identity, PendingRewrite& record) const;

    // Every whole record whose replacement no live run holds, after removing what dead runs left before
    // their write-back began: replacements no record names, and records torn while they were written.
    // Files of live runs are never touched.
    std::vector<PendingRewrite> collect() const;

private:
    std::filesystem::path m_directory;
};

// The name of the application's state directory, and how its files are named.
inline constexpr const char* kStateDirectoryName = "brisklet";
inline constexpr const char* kReplacementPrefix = "kov.";
inline constexpr const char* kRecordPrefix = "pending.";

} // namespace engine
