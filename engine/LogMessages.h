// The engine's log sentences, shared by the code that logs them and the tests that expect them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace engine::logmsg {

inline constexpr std::string_view kMakeKeyFailed = "makeKey failed";
inline constexpr std::string_view kBadNumberOfBitsProcessed = "bad number of bits processed";
inline constexpr std::string_view kWritingToFileFailed = "writing to file failed";
inline constexpr std::string_view kCouldNotRenameFile = "could not rename file";
inline constexpr std::string_view kPassphraseMightBeWrong =
    "file did not decrypt to original plain text file - passphrase might be wrong";
inline constexpr std::string_view kCouldNotTruncateFile = "could not truncate file";
inline constexpr std::string_view kMkstempFailed = "mkstemp failed";
inline constexpr std::string_view kCouldNotWriteToTempFile = "could not write to temp file";
inline constexpr std::string_view kCouldNotReadFromTmpFile = "could not read from tmp file";
inline constexpr std::string_view kCouldNotDeleteTemporaryFilePrefix = "could not delete temporary file: ";

// Sentences of the durable rewrite and its recovery; where a file's row gives a reason, these are it.
inline constexpr std::string_view kInUseByAnotherRun = "in use by another run";
inline constexpr std::string_view kFileChangedWhileRead =
    "the file changed while it was read; it was left untouched";
inline constexpr std::string_view kCouldNotWriteRecord = "could not write the pending-rewrite record";
inline constexpr std::string_view kCouldNotReadRecord = "could not read the pending-rewrite record";
inline constexpr std::string_view kCouldNotRemoveRecord = "could not remove the pending-rewrite record";
inline constexpr std::string_view kCouldNotSyncFile = "could not sync the file to disk";
inline constexpr std::string_view kCouldNotSyncFolder = "could not sync the folder to disk";
inline constexpr std::string_view kInterruptedRewritePending =
    "interrupted rewrite pending; run brisklet-cli recover";
inline constexpr std::string_view kRecoveredAfterInterruption = "recovered after an interruption";
inline constexpr std::string_view kStoppedUntouched = "stopped; untouched";
inline constexpr std::string_view kRecoveryFileMoved =
    "the file of an interrupted rewrite is no longer where it was; nothing was changed";
inline constexpr std::string_view kReplacementMissing =
    "the replacement of an interrupted rewrite is missing or incomplete; nothing was changed";
inline constexpr std::string_view kStateDirectoryUnavailablePrefix = "could not use the state directory: ";

// "could not delete temporary file: " followed by the deletion error's description.
inline std::string couldNotDeleteTemporaryFile(std::string_view errorDescription) {
    std::string line(kCouldNotDeleteTemporaryFilePrefix);
    line.append(errorDescription);
    return line;
}

// Follows the failure that left a user's file incomplete: where its full replacement waits for recovery.
inline std::string replacementKeptAt(std::string_view path) {
    std::string line("the complete replacement of the file was kept at: ");
    line.append(path);
    return line;
}

// Reasons for refusing a file before anything of it changes, and the like; handed on without being logged.
inline constexpr std::string_view kSymbolicLinkNamed = "symbolic link; name the file itself";
inline constexpr std::string_view kSymbolicLinkInFolder = "symbolic link; not followed";
inline constexpr std::string_view kNotRegularFile = "not a regular file";
inline constexpr std::string_view kReadOnlyFile = "read-only: its owner may not write it";
inline constexpr std::string_view kNameTooLong = "name too long for the extension";
inline constexpr std::string_view kFolderNotWritable = "folder is not writable";
inline constexpr std::string_view kNoExtensionToRemove = "no extension to remove";
inline constexpr std::string_view kNotAMultipleOf16 = "not a multiple of 16 bytes";

inline std::string severalNames(uint64_t count) {
    return "has " + std::to_string(count) + " names; rewriting it in place would change them all";
}

// For a row that names a file an earlier row of the same run names too: it shares that row's outcome.
inline std::string sameFileAs(std::string_view name) {
    std::string line("same file as ");
    line.append(name);
    return line;
}

// "NAME already exists": the name a file was to get is taken.
inline std::string targetAlreadyExists(std::string_view name) {
    std::string line(name);
    line.append(" already exists");
    return line;
}

inline std::string stateDirectoryUnavailable(std::string_view errorDescription) {
    std::string line(kStateDirectoryUnavailablePrefix);
    line.append(errorDescription);
    return line;
}

} // namespace engine::logmsg
