// SPDX-License-Identifier: GPL-3.0-or-later
// File system queries and changes the engine needs: existence, listing, moving without replacing, removal.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Both follow symbolic links; a dangling link does not exist.
bool exists(const std::filesystem::path& path);
bool isDirectory(const std::filesystem::path& path);

// Renames from to to, and never replaces an existing target: false (EEXIST) when to exists, or on any other
// failure. On file systems without RENAME_NOREPLACE (FAT) it falls back to renameUnderFolderLock() with the
// folder of to, as Folder::renameNoReplace() does, so that both exclude each other there.
bool moveItem(const std::filesystem::path& from, const std::filesystem::path& to);

// The no-replace rename of file systems without RENAME_NOREPLACE: under an exclusive flock on the folder
// `toFolder` (a descriptor of it; the lock is taken on a fresh open of it, so that two threads sharing one
// descriptor still exclude each other), `to` is checked absent, a dangling link counting as present, and
// then renamed. False with EEXIST when it is present. Only renames made this way exclude each other:
// another program that creates `to` between the check and the rename is the race that remains. Waits for
// the lock. Names are resolved as renameat(2) does; the fault seam is left to the callers.
bool renameUnderFolderLock(int fromFolder, const char* from, int toFolder, const char* to);

// Removes a file, a symbolic link or an empty directory. None on success, else the error's description
// (for example "No such file or directory") for the log.
std::optional<std::string> removeItem(const std::filesystem::path& path);

// Makes the directory's entries (files created, renamed or removed in it) survive a power loss.
bool syncDirectory(const std::filesystem::path& directory);

// The per-user state directory of an application: $XDG_STATE_HOME/<application> when that variable holds
// an absolute path, else ~/.local/state/<application>. Created with its missing parents; the directory
// itself is made private (mode 0700). None, with errno set, when it cannot be made, or when it is a
// symbolic link or belongs to another user.
std::optional<std::filesystem::path> stateDirectory(std::string_view application);

// The full paths of the directory's entries, sorted by name, without hidden entries (names starting with
// '.'). None when the directory cannot be listed.
std::optional<std::vector<std::filesystem::path>> contentsOfDirectory(const std::filesystem::path& directory);

// $TMPDIR when set and non-empty; else /tmp when it is a directory; else the user's caches directory
// ($XDG_CACHE_HOME, or ~/.cache) when it is one; else /tmp.
std::filesystem::path temporaryDirectory();

} // namespace platform
