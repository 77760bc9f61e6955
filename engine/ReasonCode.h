// SPDX-License-Identifier: GPL-3.0-or-later
// Why a row ended as it did, as codes that a front end words in its own language: the engine's sentences
// stay for the log and the command line, and the window and its translations go by these.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

enum class ReasonCode : int32_t {
    Unknown = 0, // a line no code stands for; the detail holds it whole
    SystemError, // the system's own error text, as the detail
    Stopped,
    Recovered,
    SameFileAs, // detail: the name of the row that was processed
    WrongPassphrase,
    NotAMultipleOf16,
    ShorterThanAnyEncryptedFile,
    SymbolicLinkNamed,
    SymbolicLinkInFolder,
    NotRegularFile,
    SeveralNames, // detail: how many
    ReadOnly,
    NameTooLong,
    FolderNotWritable,
    TargetExists, // detail: the name that is taken
    NoExtensionToRemove,
    JournalNamed,
    InUseByAnotherRun,
    OpenInAnotherProgram,
    ChangedWhileRead,
    ChangedDuringRewrite,
    LeaseBroken,
    CouldNotCreateJournal, // detail: the system's error text, where there is one
    CouldNotWriteJournal,
    CouldNotSyncJournal,
    CouldNotSyncFolderOfJournal,
    CouldNotReadJournal,
    CouldNotRemoveJournal,
    CouldNotSyncFile,
    WritingFailed,
    CouldNotTruncate,
    CouldNotRename,
    CouldNotWriteTempFile,
    CouldNotReadTempFile,
    RewritePending, // detail: the folder to recover
    NotDurable,     // detail: why the folder could not be synced
    JournalKeptAt,  // detail: the journal's path
    JournalDamaged,
    JournalDamagedFileWhole,
    JournalUnknownVersion,
    JournalOfAnotherUser, // detail: the owner
    FileNoLongerMatches,
    FileOfJournalMissing,
    MakeKeyFailed,
    BadNumberOfBits,
    // A run that writes copies into another folder; details: the system's error text, or for
    // CopyNotDurable why the folder could not be synced.
    CouldNotMakeCopyFolder,
    CouldNotCreateCopy,
    CouldNotNameCopy,
    CopyNotDurable,
    // Notes on a file that was processed: it opened only with this form of the passphrase.
    OpenedWithNfcForm,
    OpenedWithNfdForm,
};

struct Reason {
    ReasonCode code = ReasonCode::Unknown;
    std::string detail;
    bool operator==(const Reason&) const = default;
};

// The code of one line that the engine logged or noted for a row.
Reason reasonOf(std::string_view line);

} // namespace engine
