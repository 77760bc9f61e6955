// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's log sentences, shared by the code that logs them and the tests that expect them.
#pragma once

#include "platform/ErrorText.h"

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
inline constexpr std::string_view kOpenInAnotherProgram = "open in another program";
inline constexpr std::string_view kFileChangedWhileRead =
    "the file changed while it was read; it was left untouched";
inline constexpr std::string_view kChangedDuringRewrite = "changed by another program during the rewrite";
inline constexpr std::string_view kLeaseBroken =
    "another program opened the file during the rewrite; it waited until the rewrite was complete";
inline constexpr std::string_view kCouldNotCreateJournal = "could not create the journal beside the file";
inline constexpr std::string_view kCouldNotWriteJournal = "could not write the journal";
inline constexpr std::string_view kCouldNotSyncJournal = "could not sync the journal to disk";
inline constexpr std::string_view kCouldNotSyncFolderOfJournal =
    "could not sync the journal's folder to disk";
inline constexpr std::string_view kCouldNotReadJournal = "could not read the journal";
inline constexpr std::string_view kCouldNotRemoveJournal = "could not remove the journal";
inline constexpr std::string_view kCouldNotSyncFile = "could not sync the file to disk";
inline constexpr std::string_view kJournalDamaged = "journal damaged; the file is partly rewritten";
inline constexpr std::string_view kJournalDamagedFileWhole =
    "journal damaged, but the file was never touched; the journal was removed";
inline constexpr std::string_view kJournalUnknownVersion =
    "journal of a version this program does not read; it was kept";
inline constexpr std::string_view kFileNoLongerMatches =
    "the file no longer matches its journal; nothing was changed";
inline constexpr std::string_view kFileOfJournalMissing =
    "the file of an interrupted rewrite is no longer where it was; nothing was changed";
inline constexpr std::string_view kRecoveredAfterInterruption = "recovered after an interruption";
inline constexpr std::string_view kStoppedUntouched = "stopped; untouched";

// Sentences of a run that writes copies into another folder.
inline constexpr std::string_view kCouldNotMakeCopyFolder = "could not make the folder for the copy";
inline constexpr std::string_view kCouldNotCreateCopy = "could not create the copy";
inline constexpr std::string_view kCouldNotNameCopy = "could not give the copy its name";
// Notes on a file that opened only with another normalization form of the passphrase than the one typed;
// the file was processed all the same.
inline constexpr std::string_view kOpenedWithNfcForm = "opened with the passphrase's NFC form";
inline constexpr std::string_view kOpenedWithNfdForm = "opened with the passphrase's NFD form";

// "WHAT: <the error's description>": every reason that comes from a failed call says which.
inline std::string withErrorText(std::string_view what, int error) {
    std::string line(what);
    line.append(": ");
    line.append(platform::errorText(error));
    return line;
}

// Follows a failure that left a user's file partly rewritten: its journal completes it.
inline std::string interruptedRewritePending(std::string_view path) {
    std::string line("interrupted rewrite pending; run brisklet-cli recover ");
    line.append(path);
    return line;
}

// The rewrite is complete and renamed, but the folder's entries may not survive a power loss yet.
inline std::string notDurable(std::string_view folderSyncError) {
    std::string line("finished, but could not be made durable (folder sync: ");
    line.append(folderSyncError);
    line.append("); journal kept");
    return line;
}

// The copy is complete under its name, but its name may not survive a power loss yet.
inline std::string copyNotDurable(std::string_view folderSyncError) {
    std::string line("copied, but could not be made durable (folder sync: ");
    line.append(folderSyncError);
    line.append(")");
    return line;
}

inline std::string journalKeptAt(std::string_view path) {
    std::string line("the journal was kept at: ");
    line.append(path);
    return line;
}

inline std::string journalOfAnotherUser(std::string_view owner) {
    std::string line("the journal belongs to ");
    line.append(owner);
    line.append("; run brisklet-cli recover as ");
    line.append(owner);
    return line;
}

// "could not delete temporary file: " followed by the deletion error's description.
inline std::string couldNotDeleteTemporaryFile(std::string_view errorDescription) {
    std::string line(kCouldNotDeleteTemporaryFilePrefix);
    line.append(errorDescription);
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
// Follows the wrong-passphrase line for a file too short to hold even an empty plain text's encrypted form.
inline constexpr std::string_view kShorterThanAnyEncryptedFile = "shorter than any encrypted file";
inline constexpr std::string_view kJournalNamed =
    "the journal of an interrupted rewrite; brisklet-cli recover completes or discards it";

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

} // namespace engine::logmsg
