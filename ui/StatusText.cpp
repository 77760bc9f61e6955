// SPDX-License-Identifier: GPL-3.0-or-later
// The short words the file table shows for a row's status, from the engine's status code and reasons.
#include "ui/StatusText.h"

#include "engine/PathExtension.h"
#include "engine/StatusCode.h"
#include "platform/ErrorText.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <string_view>

namespace {

using engine::ReasonCode;

// The codes a rule applies to, as bits.
enum Codes : unsigned {
    None = 1u << engine::StatusNone,
    Done = 1u << engine::StatusDone,
    NotRenamed = 1u << engine::StatusNotRenamed,
    Failed = 1u << engine::StatusFailed,
    Any = None | Done | NotRenamed | Failed,
};

// Words for a status code and a line of its reason. {verb} is "Encrypted" or "Decrypted", {noun}
// "Encryption" or "Decryption", {name} the file's name after the run, {detail} the line's detail. A rule
// with a system error applies to a SystemError line of that error only.
struct Rule {
    unsigned codes;
    ReasonCode reason;
    const char* words;
    int systemError = 0;
};

// "Unchanged" is said only where the engine guarantees it: every failure leaves the file as it was unless
// a line says that its rewrite is pending or its journal was kept, which the rules above them catch.
// clang-format off
constexpr Rule kRules[] = {
    // Rows that share another row's file, and rewrites that a journal completed.
    {Any, ReasonCode::SameFileAs, QT_TRANSLATE_NOOP("StatusText", "Same file as {detail}")},
    {Done, ReasonCode::Recovered,
     QT_TRANSLATE_NOOP("StatusText", "{noun} completed after an interruption → {name}")},
    {NotRenamed, ReasonCode::Recovered,
     QT_TRANSLATE_NOOP("StatusText", "{noun} completed after an interruption, but not renamed")},

    // Rewrites whose journal stays beside the file until a recovery completes them.
    {Failed, ReasonCode::NotDurable,
     QT_TRANSLATE_NOOP("StatusText", "Finished, but not yet safe on disk — will be completed")},
    {Failed, ReasonCode::CouldNotSyncFile,
     QT_TRANSLATE_NOOP("StatusText", "Written, but not yet safe on disk — will be completed")},
    {Failed, ReasonCode::JournalDamagedFileWhole,
     QT_TRANSLATE_NOOP("StatusText", "Its journal was damaged; the file was never touched — unchanged")},
    {Failed, ReasonCode::JournalDamaged,
     QT_TRANSLATE_NOOP("StatusText", "Interrupted, and its journal is damaged: the file stays partly "
                       "rewritten")},
    {Failed, ReasonCode::JournalUnknownVersion,
     QT_TRANSLATE_NOOP("StatusText", "Interrupted; its journal needs another version of Brisklet")},
    {Failed, ReasonCode::FileNoLongerMatches,
     QT_TRANSLATE_NOOP("StatusText", "Changed since it was interrupted — nothing done, journal kept")},
    {Failed, ReasonCode::FileOfJournalMissing,
     QT_TRANSLATE_NOOP("StatusText", "Moved or deleted since it was interrupted — nothing done")},
    {Failed, ReasonCode::JournalOfAnotherUser,
     QT_TRANSLATE_NOOP("StatusText", "Interrupted: the journal belongs to {detail}; run brisklet-cli recover "
                       "as {detail}")},
    {Failed, ReasonCode::ChangedDuringRewrite,
     QT_TRANSLATE_NOOP("StatusText", "Changed by another program during the rewrite — journal kept")},
    {Failed, ReasonCode::RewritePending,
     QT_TRANSLATE_NOOP("StatusText", "Interrupted: will be completed at the next start or run")},
    {Failed, ReasonCode::JournalKeptAt,
     QT_TRANSLATE_NOOP("StatusText", "Interrupted: will be completed at the next start or run")},

    // Files another program or run holds.
    {Failed, ReasonCode::OpenInAnotherProgram,
     QT_TRANSLATE_NOOP("StatusText", "Open in another program — unchanged")},
    {Failed, ReasonCode::InUseByAnotherRun,
     QT_TRANSLATE_NOOP("StatusText", "In use by another run — unchanged")},
    {Failed, ReasonCode::ChangedWhileRead,
     QT_TRANSLATE_NOOP("StatusText", "Changed while it was read — unchanged")},

    // What a file is not: the more certain answer about its length before the guess about the passphrase.
    {Failed, ReasonCode::ShorterThanAnyEncryptedFile, QT_TRANSLATE_NOOP("StatusText", "Not an encrypted file")},
    {Failed, ReasonCode::NotAMultipleOf16, QT_TRANSLATE_NOOP("StatusText", "Not an encrypted file")},
    {Failed, ReasonCode::WrongPassphrase,
     QT_TRANSLATE_NOOP("StatusText", "Does not open with this passphrase (or is not an encrypted file) — "
                       "unchanged")},
    {Failed, ReasonCode::SymbolicLinkNamed,
     QT_TRANSLATE_NOOP("StatusText", "Symbolic link: add the file it points to")},
    {Failed, ReasonCode::SymbolicLinkInFolder,
     QT_TRANSLATE_NOOP("StatusText", "Symbolic link: add the file it points to")},
    {Failed, ReasonCode::NotRegularFile, QT_TRANSLATE_NOOP("StatusText", "Not a regular file — unchanged")},
    {Failed, ReasonCode::JournalNamed,
     QT_TRANSLATE_NOOP("StatusText", "Journal of an interrupted rewrite: recovery completes it")},
    {Failed, ReasonCode::SeveralNames,
     QT_TRANSLATE_NOOP("StatusText", "Has several names (hard links) — unchanged")},
    {Failed, ReasonCode::ReadOnly, QT_TRANSLATE_NOOP("StatusText", "Read-only — unchanged")},

    // Names: the one the file was to get, and its folder.
    {Failed, ReasonCode::NameTooLong,
     QT_TRANSLATE_NOOP("StatusText", "Name too long to add “.brisklet” — unchanged")},
    {Failed, ReasonCode::FolderNotWritable,
     QT_TRANSLATE_NOOP("StatusText", "Its folder is not writable — unchanged")},
    {Failed, ReasonCode::TargetExists, QT_TRANSLATE_NOOP("StatusText", "{detail} already exists — unchanged")},
    {NotRenamed, ReasonCode::TargetExists,
     QT_TRANSLATE_NOOP("StatusText", "{verb}, but not renamed: {detail} already exists")},
    {NotRenamed, ReasonCode::NoExtensionToRemove,
     QT_TRANSLATE_NOOP("StatusText", "{verb}, but not renamed: no extension to remove")},
    {NotRenamed, ReasonCode::SystemError,
     QT_TRANSLATE_NOOP("StatusText", "{verb}, but not renamed: permission denied"), EACCES},

    // The working copy beside the file, and the file's own writes.
    {Failed, ReasonCode::CouldNotCreateJournal,
     QT_TRANSLATE_NOOP("StatusText", "Could not write its working copy beside it — unchanged")},
    {Failed, ReasonCode::CouldNotWriteJournal,
     QT_TRANSLATE_NOOP("StatusText", "Could not write its working copy beside it — unchanged")},
    {Failed, ReasonCode::CouldNotSyncJournal,
     QT_TRANSLATE_NOOP("StatusText", "Could not write its working copy beside it — unchanged")},
    {Failed, ReasonCode::CouldNotSyncFolderOfJournal,
     QT_TRANSLATE_NOOP("StatusText", "Could not write its working copy beside it — unchanged")},
    {Failed, ReasonCode::CouldNotWriteTempFile,
     QT_TRANSLATE_NOOP("StatusText", "Could not write its working copy beside it — unchanged")},
    {Failed, ReasonCode::CouldNotReadTempFile,
     QT_TRANSLATE_NOOP("StatusText", "Could not read its working copy — unchanged")},
    {Failed, ReasonCode::CouldNotReadJournal,
     QT_TRANSLATE_NOOP("StatusText", "Could not read the journal of its interrupted rewrite")},
    {Failed, ReasonCode::WritingFailed, QT_TRANSLATE_NOOP("StatusText", "Could not write the file — unchanged")},
    {Failed, ReasonCode::CouldNotTruncate,
     QT_TRANSLATE_NOOP("StatusText", "Could not shorten the file — unchanged")},
    {Failed, ReasonCode::BadNumberOfBits, QT_TRANSLATE_NOOP("StatusText", "The cipher failed — unchanged")},
    {Failed, ReasonCode::MakeKeyFailed,
     QT_TRANSLATE_NOOP("StatusText", "The key could not be prepared — unchanged")},
    // System errors, after the steps above, whose words say more than the error alone.
    {Failed, ReasonCode::SystemError, QT_TRANSLATE_NOOP("StatusText", "Not found"), ENOENT},
    {Failed, ReasonCode::SystemError, QT_TRANSLATE_NOOP("StatusText", "Permission denied — unchanged"), EACCES},
    {Failed, ReasonCode::SystemError,
     QT_TRANSLATE_NOOP("StatusText", "On a read-only file system — unchanged"), EROFS},
    {Failed, ReasonCode::SystemError,
     QT_TRANSLATE_NOOP("StatusText", "No space left on the disk — unchanged"), ENOSPC},

    {Done, ReasonCode::CouldNotRemoveJournal,
     QT_TRANSLATE_NOOP("StatusText", "{verb} → {name} (a journal was left beside it)")},
    // A file that opened only with another normalization form of the passphrase than the one typed.
    {Done, ReasonCode::OpenedWithNfcForm,
     QT_TRANSLATE_NOOP("StatusText", "{verb} → {name} (opened with the passphrase's NFC form)")},
    {Done, ReasonCode::OpenedWithNfdForm,
     QT_TRANSLATE_NOOP("StatusText", "{verb} → {name} (opened with the passphrase's NFD form)")},

    // Stops.
    {None, ReasonCode::Stopped, QT_TRANSLATE_NOOP("StatusText", "Stopped, untouched")},
};
// clang-format on

QString translated(const char* words) {
    return QCoreApplication::translate("StatusText", words);
}

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString verb(RunDirection direction) {
    switch (direction) {
    case RunDirection::Encrypt:
        return translated(QT_TRANSLATE_NOOP("StatusText", "Encrypted"));
    case RunDirection::Decrypt:
        return translated(QT_TRANSLATE_NOOP("StatusText", "Decrypted"));
    case RunDirection::None:
    case RunDirection::Check:
        break;
    }
    return translated(QT_TRANSLATE_NOOP("StatusText", "Processed"));
}

QString noun(RunDirection direction) {
    switch (direction) {
    case RunDirection::Encrypt:
        return translated(QT_TRANSLATE_NOOP("StatusText", "Encryption"));
    case RunDirection::Decrypt:
        return translated(QT_TRANSLATE_NOOP("StatusText", "Decryption"));
    case RunDirection::None:
    case RunDirection::Check:
        break;
    }
    return translated(QT_TRANSLATE_NOOP("StatusText", "Rewrite"));
}

QString inProgressText(RunDirection direction) {
    switch (direction) {
    case RunDirection::Encrypt:
        return translated(QT_TRANSLATE_NOOP("StatusText", "Encrypting…"));
    case RunDirection::Decrypt:
        return translated(QT_TRANSLATE_NOOP("StatusText", "Decrypting…"));
    case RunDirection::Check:
        return translated(QT_TRANSLATE_NOOP("StatusText", "Checking…"));
    case RunDirection::None:
        break;
    }
    return translated(QT_TRANSLATE_NOOP("StatusText", "Recovering…"));
}

// A recovery completes a rewrite of either direction, whatever run met its journal: the names tell which.
// Once the list has followed the file, both names are the new one, which only an encryption ends in
// ".brisklet" (short of decrypting a file encrypted twice).
RunDirection recoveredDirection(const QString& fileName, const QString& finalName) {
    if (finalName.isEmpty()) {
        return RunDirection::None;
    }
    if (finalName != fileName) {
        if (finalName == renamedFileName(fileName, RunDirection::Encrypt)) {
            return RunDirection::Encrypt;
        }
        return finalName == renamedFileName(fileName, RunDirection::Decrypt) ? RunDirection::Decrypt
                                                                             : RunDirection::None;
    }
    const QString extension = QLatin1Char('.') + fromView(engine::format::kExtension);
    return finalName.endsWith(extension) ? RunDirection::Encrypt : RunDirection::Decrypt;
}

bool matches(const Rule& rule, const engine::Reason& reason) {
    if (reason.code != rule.reason) {
        return false;
    }
    // The platform words each error the same way whatever errno stood for it (EPERM as EACCES), so the
    // error is told by its words rather than by one number.
    return rule.systemError == 0 || reason.detail == platform::errorText(rule.systemError);
}

// Placeholders by name rather than QString::arg(), which would also replace markers inside a file name.
QString filled(QString words, const RowStatus& status, const QString& detail) {
    RunDirection direction = status.direction;
    QString name =
        status.finalName.isEmpty() ? renamedFileName(status.fileName, direction) : status.finalName;
    if (words.contains(QLatin1String("{noun}"))) {
        direction = recoveredDirection(status.fileName, status.finalName);
    }
    const std::pair<const char*, QString> values[] = {
        {"{verb}", verb(direction)},
        {"{noun}", noun(direction)},
        {"{name}", name},
        {"{detail}", detail},
    };
    // One pass, left to right, so that a replaced value is never searched again.
    QString result;
    qsizetype at = 0;
    while (at < words.size()) {
        bool replaced = false;
        for (const auto& [key, value] : values) {
            if (QStringView(words).mid(at).startsWith(QLatin1String(key))) {
                result += value;
                at += qsizetype(qstrlen(key));
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            result += words[at++];
        }
    }
    return result;
}

// The first rule of the row's status code that a line of its reason has, filled in.
std::optional<QString> tableWords(const RowStatus& status, const std::vector<engine::Reason>& reasons) {
    if (status.code < 0 || status.code > engine::StatusFailed) {
        return std::nullopt;
    }
    for (const Rule& rule : kRules) {
        if ((rule.codes & (1u << status.code)) == 0) {
            continue;
        }
        for (const engine::Reason& reason : reasons) {
            if (matches(rule, reason)) {
                return filled(translated(rule.words), status, QString::fromStdString(reason.detail));
            }
        }
    }
    return std::nullopt;
}

QString wordsFor(const RowStatus& status) {
    if (const auto words = tableWords(status, status.reasons)) {
        return *words;
    }
    switch (status.code) {
    case engine::StatusDone:
        return filled(translated(QT_TRANSLATE_NOOP("StatusText", "{verb} → {name}")), status, {});
    case engine::StatusNotRenamed: {
        // The content has been rewritten: the words must not let anyone think the file is as it was.
        RowStatus unnamed = status;
        unnamed.finalName.clear();
        return filled(translated(QT_TRANSLATE_NOOP("StatusText", "{verb}, but not renamed to {name}")),
                      unnamed, {});
    }
    case engine::StatusFailed:
        return status.reason.isEmpty()
                   ? translated(QT_TRANSLATE_NOOP("StatusText", "Failed"))
                   : translated(QT_TRANSLATE_NOOP("StatusText", "Failed: %1")).arg(status.reason);
    case engine::StatusNone:
        if (status.reasons.empty() && status.missing) {
            return translated(QT_TRANSLATE_NOOP("StatusText", "Not found"));
        }
        return status.reason;
    default:
        return translated(QT_TRANSLATE_NOOP("StatusText", "Unknown status %1")).arg(status.code);
    }
}

// A check reads a file as a decryption would, so its answer is put as the outcome that decryption would
// report and read through the same table.
QString checkText(const RowStatus& status) {
    RowStatus outcome = status;
    outcome.code = engine::StatusFailed;
    outcome.direction = RunDirection::Decrypt;
    engine::Reason reason;
    switch (*status.check) {
    case CheckAnswer::Opens:
        // The reason names the form of the passphrase that opened it, when not the typed one.
        if (status.checkReason.code == ReasonCode::OpenedWithNfcForm) {
            return translated(QT_TRANSLATE_NOOP("StatusText", "Opens with the passphrase's NFC form"));
        }
        if (status.checkReason.code == ReasonCode::OpenedWithNfdForm) {
            return translated(QT_TRANSLATE_NOOP("StatusText", "Opens with the passphrase's NFD form"));
        }
        return translated(QT_TRANSLATE_NOOP("StatusText", "Opens"));
    case CheckAnswer::DoesNotOpen:
        reason.code = ReasonCode::WrongPassphrase;
        break;
    case CheckAnswer::NotEncrypted:
        reason.code = ReasonCode::NotAMultipleOf16;
        break;
    case CheckAnswer::RewritePending:
        reason.code = ReasonCode::RewritePending;
        break;
    case CheckAnswer::Unreadable:
        reason = status.checkReason;
        if (reason.code == ReasonCode::Unknown && reason.detail.empty()) {
            return translated(QT_TRANSLATE_NOOP("StatusText", "Cannot be read"));
        }
        break;
    case CheckAnswer::NotChecked:
        return translated(QT_TRANSLATE_NOOP("StatusText", "Stopped, not checked"));
    }
    if (const auto words = tableWords(outcome, {reason})) {
        return *words;
    }
    return translated(QT_TRANSLATE_NOOP("StatusText", "Cannot be read: %1"))
        .arg(QString::fromStdString(reason.detail));
}

} // namespace

QString statusText(const RowStatus& status) {
    switch (status.phase) {
    case RowPhase::WaitingForNextRun:
        return translated(QT_TRANSLATE_NOOP("StatusText", "Waiting for the next run"));
    case RowPhase::Queued:
        return translated(QT_TRANSLATE_NOOP("StatusText", "Queued"));
    case RowPhase::InProgress:
        if (status.percent) {
            return translated(QT_TRANSLATE_NOOP("StatusText", "%1 %2%"))
                .arg(inProgressText(status.direction))
                .arg(*status.percent);
        }
        return inProgressText(status.direction);
    case RowPhase::Settled:
        break;
    }
    if (status.check) {
        return checkText(status);
    }
    return wordsFor(status);
}

bool awaitsCompletion(const RowStatus& status) {
    if (status.phase != RowPhase::Settled || status.check || status.code != engine::StatusFailed) {
        return false;
    }
    // The lines that say a journal was kept for the file; damaged or foreign journals say more and are not
    // completed by themselves.
    const auto has = [&status](ReasonCode code) { return hasReason(status.reasons, code); };
    return (has(ReasonCode::RewritePending) || has(ReasonCode::NotDurable) ||
            has(ReasonCode::JournalKeptAt)) &&
           !has(ReasonCode::JournalDamaged) && !has(ReasonCode::JournalUnknownVersion);
}

bool hasReason(const std::vector<engine::Reason>& reasons, engine::ReasonCode code) {
    return std::any_of(reasons.begin(), reasons.end(),
                       [code](const engine::Reason& reason) { return reason.code == code; });
}

QString renamedFileName(const QString& fileName, RunDirection direction) {
    const std::filesystem::path name(QFile::encodeName(fileName).toStdString());
    switch (direction) {
    case RunDirection::Encrypt:
        return QFile::decodeName(QByteArray::fromStdString(engine::withEncryptedExtension(name).string()));
    case RunDirection::Decrypt:
        return QFile::decodeName(QByteArray::fromStdString(engine::withoutLastExtension(name).string()));
    case RunDirection::None:
    case RunDirection::Check:
        break;
    }
    return fileName;
}
