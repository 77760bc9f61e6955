// SPDX-License-Identifier: GPL-3.0-or-later
// One table from the engine's sentences to their codes, read by the row reports.
#include "engine/ReasonCode.h"

#include "engine/LogMessages.h"

#include <array>
#include <cstring>

namespace engine {

namespace {

struct Exact {
    std::string_view line;
    ReasonCode code;
};

constexpr std::array kExact{
    Exact{logmsg::kStoppedUntouched, ReasonCode::Stopped},
    Exact{logmsg::kRecoveredAfterInterruption, ReasonCode::Recovered},
    Exact{logmsg::kPassphraseMightBeWrong, ReasonCode::WrongPassphrase},
    Exact{logmsg::kNotAMultipleOf16, ReasonCode::NotAMultipleOf16},
    Exact{logmsg::kShorterThanAnyEncryptedFile, ReasonCode::ShorterThanAnyEncryptedFile},
    Exact{logmsg::kSymbolicLinkNamed, ReasonCode::SymbolicLinkNamed},
    Exact{logmsg::kSymbolicLinkInFolder, ReasonCode::SymbolicLinkInFolder},
    Exact{logmsg::kNotRegularFile, ReasonCode::NotRegularFile},
    Exact{logmsg::kReadOnlyFile, ReasonCode::ReadOnly},
    Exact{logmsg::kNameTooLong, ReasonCode::NameTooLong},
    Exact{logmsg::kFolderNotWritable, ReasonCode::FolderNotWritable},
    Exact{logmsg::kNoExtensionToRemove, ReasonCode::NoExtensionToRemove},
    Exact{logmsg::kJournalNamed, ReasonCode::JournalNamed},
    Exact{logmsg::kInUseByAnotherRun, ReasonCode::InUseByAnotherRun},
    Exact{logmsg::kOpenInAnotherProgram, ReasonCode::OpenInAnotherProgram},
    Exact{logmsg::kFileChangedWhileRead, ReasonCode::ChangedWhileRead},
    Exact{logmsg::kChangedDuringRewrite, ReasonCode::ChangedDuringRewrite},
    Exact{logmsg::kLeaseBroken, ReasonCode::LeaseBroken},
    Exact{logmsg::kJournalDamaged, ReasonCode::JournalDamaged},
    Exact{logmsg::kJournalDamagedFileWhole, ReasonCode::JournalDamagedFileWhole},
    Exact{logmsg::kJournalUnknownVersion, ReasonCode::JournalUnknownVersion},
    Exact{logmsg::kFileNoLongerMatches, ReasonCode::FileNoLongerMatches},
    Exact{logmsg::kFileOfJournalMissing, ReasonCode::FileOfJournalMissing},
    Exact{logmsg::kWritingToFileFailed, ReasonCode::WritingFailed},
    Exact{logmsg::kCouldNotTruncateFile, ReasonCode::CouldNotTruncate},
    Exact{logmsg::kCouldNotRenameFile, ReasonCode::CouldNotRename},
    Exact{logmsg::kCouldNotWriteToTempFile, ReasonCode::CouldNotWriteTempFile},
    Exact{logmsg::kCouldNotReadFromTmpFile, ReasonCode::CouldNotReadTempFile},
    Exact{logmsg::kMakeKeyFailed, ReasonCode::MakeKeyFailed},
    Exact{logmsg::kBadNumberOfBitsProcessed, ReasonCode::BadNumberOfBits},
    Exact{logmsg::kOpenedWithNfcForm, ReasonCode::OpenedWithNfcForm},
    Exact{logmsg::kOpenedWithNfdForm, ReasonCode::OpenedWithNfdForm},
};

// Sentences that go on with a detail: the sentence, a separator, the detail.
struct Prefix {
    std::string_view start;
    ReasonCode code;
};

constexpr std::string_view kSameFileAs = "same file as ";
constexpr std::string_view kPending = "interrupted rewrite pending; run brisklet-cli recover ";
constexpr std::string_view kNotDurable = "finished, but could not be made durable (folder sync: ";
constexpr std::string_view kCopyNotDurable = "copied, but could not be made durable (folder sync: ";
constexpr std::string_view kKeptAt = "the journal was kept at: ";
constexpr std::string_view kOtherUser = "the journal belongs to ";

constexpr std::array kPrefixes{
    Prefix{kSameFileAs, ReasonCode::SameFileAs},
    Prefix{kPending, ReasonCode::RewritePending},
    Prefix{kKeptAt, ReasonCode::JournalKeptAt},
};

// The sentences that withErrorText() follows with ": " and the system's error text.
constexpr std::array kWithError{
    Exact{logmsg::kCouldNotCreateJournal, ReasonCode::CouldNotCreateJournal},
    Exact{logmsg::kCouldNotWriteJournal, ReasonCode::CouldNotWriteJournal},
    Exact{logmsg::kCouldNotSyncJournal, ReasonCode::CouldNotSyncJournal},
    Exact{logmsg::kCouldNotSyncFolderOfJournal, ReasonCode::CouldNotSyncFolderOfJournal},
    Exact{logmsg::kCouldNotReadJournal, ReasonCode::CouldNotReadJournal},
    Exact{logmsg::kCouldNotRemoveJournal, ReasonCode::CouldNotRemoveJournal},
    Exact{logmsg::kCouldNotSyncFile, ReasonCode::CouldNotSyncFile},
    Exact{logmsg::kWritingToFileFailed, ReasonCode::WritingFailed},
    Exact{logmsg::kCouldNotMakeCopyFolder, ReasonCode::CouldNotMakeCopyFolder},
    Exact{logmsg::kCouldNotCreateCopy, ReasonCode::CouldNotCreateCopy},
    Exact{logmsg::kCouldNotNameCopy, ReasonCode::CouldNotNameCopy},
};

bool isSystemErrorText(std::string_view line) {
    // platform::errorText() gives strerror() in lower case; the kernel's numbers stay below 150.
    for (int error = 1; error < 150; ++error) {
        if (line == platform::errorText(error)) {
            return true;
        }
    }
    return false;
}

} // namespace

Reason reasonOf(std::string_view line) {
    for (const Exact& exact : kExact) {
        if (line == exact.line) {
            return {exact.code, {}};
        }
    }
    for (const Prefix& prefix : kPrefixes) {
        if (line.starts_with(prefix.start)) {
            return {prefix.code, std::string(line.substr(prefix.start.size()))};
        }
    }
    for (const Exact& withError : kWithError) {
        if (line.starts_with(withError.line) && line.substr(withError.line.size()).starts_with(": ")) {
            return {withError.code, std::string(line.substr(withError.line.size() + 2))};
        }
    }
    if (line.starts_with(kNotDurable) && line.ends_with("); journal kept")) {
        const size_t end = line.size() - std::strlen("); journal kept");
        return {ReasonCode::NotDurable,
                std::string(line.substr(kNotDurable.size(), end - kNotDurable.size()))};
    }
    if (line.starts_with(kCopyNotDurable) && line.ends_with(")")) {
        return {ReasonCode::CopyNotDurable,
                std::string(line.substr(kCopyNotDurable.size(), line.size() - 1 - kCopyNotDurable.size()))};
    }
    if (line.starts_with(kOtherUser)) {
        const std::string_view rest = line.substr(kOtherUser.size());
        return {ReasonCode::JournalOfAnotherUser, std::string(rest.substr(0, rest.find(';')))};
    }
    if (line.ends_with(" already exists")) {
        return {ReasonCode::TargetExists,
                std::string(line.substr(0, line.size() - std::strlen(" already exists")))};
    }
    if (line.starts_with("has ") && line.find(" names; ") != std::string_view::npos) {
        return {ReasonCode::SeveralNames, std::string(line.substr(4, line.find(' ', 4) - 4))};
    }
    if (isSystemErrorText(line)) {
        return {ReasonCode::SystemError, std::string(line)};
    }
    return {ReasonCode::Unknown, std::string(line)};
}

} // namespace engine
