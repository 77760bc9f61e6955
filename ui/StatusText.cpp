// SPDX-License-Identifier: GPL-3.0-or-later
// The short words the file table shows for a row's status, from the engine's status code and reasons.
#include "ui/StatusText.h"

#include "engine/LogMessages.h"
#include "engine/PathExtension.h"
#include "engine/StatusCode.h"

#include <QCoreApplication>
#include <QFile>

#include <filesystem>
#include <optional>
#include <string_view>

namespace {

// The codes a rule applies to, as bits.
enum Codes : unsigned {
    None = 1u << engine::StatusNone,
    Done = 1u << engine::StatusDone,
    NotRenamed = 1u << engine::StatusNotRenamed,
    Failed = 1u << engine::StatusFailed,
    Renamed = Done | NotRenamed,
    Any = None | Done | NotRenamed | Failed,
};

// A reason is the engine's lines joined by "; " (lines may hold "; " themselves), so a pattern is looked
// for where a line begins or ends rather than by splitting.
enum class Match {
    Line,   // a whole line of the reason
    Prefix, // the start of a line; {line} runs from there to the reason's end, {rest} after the prefix
    Suffix, // the end of a line; {line} is that line
};

// Words for a code and a line of its reason. {verb} is "Encrypted" or "Decrypted", {noun} "Encryption" or
// "Decryption", {name} the file's name after the run, {line} and {rest} what the rule matched.
struct Rule {
    unsigned codes;
    Match match;
    std::string_view pattern;
    const char* words;
};

// "Unchanged" is said only where the engine guarantees it: every failure leaves the file as it was unless
// a line says that its rewrite is pending or its journal was kept, which the rules above them catch.
// clang-format off
constexpr Rule kRules[] = {
    // Rows that share another row's file, and rewrites that a journal completed.
    {Any, Match::Prefix, "same file as ", QT_TRANSLATE_NOOP("StatusText", "Same file as {rest}")},
    {Done, Match::Line, engine::logmsg::kRecoveredAfterInterruption,
     QT_TRANSLATE_NOOP("StatusText", "{noun} completed after an interruption → {name}")},
    {NotRenamed, Match::Line, engine::logmsg::kRecoveredAfterInterruption,
     QT_TRANSLATE_NOOP("StatusText", "{noun} completed after an interruption, but not renamed")},

    // Rewrites whose journal stays beside the file until a recovery completes them.
    {Failed, Match::Prefix, "finished, but could not be made durable",
     QT_TRANSLATE_NOOP("StatusText", "Finished, but not yet safe on disk — will be completed")},
    {Failed, Match::Prefix, engine::logmsg::kCouldNotSyncFile,
     QT_TRANSLATE_NOOP("StatusText", "Written, but not yet safe on disk — will be completed")},
    {Failed, Match::Line, engine::logmsg::kJournalDamagedFileWhole,
     QT_TRANSLATE_NOOP("StatusText", "Its journal was damaged; the file was never touched — unchanged")},
    {Failed, Match::Line, engine::logmsg::kJournalDamaged,
     QT_TRANSLATE_NOOP("StatusText", "Interrupted, and its journal is damaged: the file stays partly "
                       "rewritten")},
    {Failed, Match::Line, engine::logmsg::kJournalUnknownVersion,
     QT_TRANSLATE_NOOP("StatusText", "Interrupted; its journal needs another version of Brisklet")},
    {Failed, Match::Line, engine::logmsg::kFileNoLongerMatches,
     QT_TRANSLATE_NOOP("StatusText", "Changed since it was interrupted — nothing done, journal kept")},
    {Failed, Match::Line, engine::logmsg::kFileOfJournalMissing,
     QT_TRANSLATE_NOOP("StatusText", "Moved or deleted since it was interrupted — nothing done")},
    {Failed, Match::Prefix, "the journal belongs to ",
     QT_TRANSLATE_NOOP("StatusText", "Interrupted: {line}")},
    {Failed, Match::Line, engine::logmsg::kChangedDuringRewrite,
     QT_TRANSLATE_NOOP("StatusText", "Changed by another program during the rewrite — journal kept")},
    {Failed, Match::Prefix, "interrupted rewrite pending",
     QT_TRANSLATE_NOOP("StatusText", "Interrupted: will be completed at the next start or run")},
    {Failed, Match::Prefix, "the journal was kept at: ",
     QT_TRANSLATE_NOOP("StatusText", "Interrupted: will be completed at the next start or run")},

    // Files another program or run holds.
    {Failed, Match::Line, engine::logmsg::kOpenInAnotherProgram,
     QT_TRANSLATE_NOOP("StatusText", "Open in another program — unchanged")},
    {Failed, Match::Line, engine::logmsg::kInUseByAnotherRun,
     QT_TRANSLATE_NOOP("StatusText", "In use by another run — unchanged")},
    {Failed, Match::Line, engine::logmsg::kFileChangedWhileRead,
     QT_TRANSLATE_NOOP("StatusText", "Changed while it was read — unchanged")},

    // What a file is not: the more certain answer about its length before the guess about the passphrase.
    {Failed, Match::Line, engine::logmsg::kShorterThanAnyEncryptedFile,
     QT_TRANSLATE_NOOP("StatusText", "Not an encrypted file")},
    {Failed, Match::Line, engine::logmsg::kNotAMultipleOf16,
     QT_TRANSLATE_NOOP("StatusText", "Not an encrypted file")},
    {Failed, Match::Line, engine::logmsg::kPassphraseMightBeWrong,
     QT_TRANSLATE_NOOP("StatusText", "Does not open with this passphrase (or is not an encrypted file) — "
                       "unchanged")},
    {Failed, Match::Line, engine::logmsg::kSymbolicLinkNamed,
     QT_TRANSLATE_NOOP("StatusText", "Symbolic link: add the file it points to")},
    {Failed, Match::Line, engine::logmsg::kSymbolicLinkInFolder,
     QT_TRANSLATE_NOOP("StatusText", "Symbolic link: add the file it points to")},
    {Failed, Match::Line, engine::logmsg::kNotRegularFile,
     QT_TRANSLATE_NOOP("StatusText", "Not a regular file — unchanged")},
    {Failed, Match::Line, engine::logmsg::kJournalNamed,
     QT_TRANSLATE_NOOP("StatusText", "Journal of an interrupted rewrite: recovery completes it")},
    {Failed, Match::Suffix, "names; rewriting it in place would change them all",
     QT_TRANSLATE_NOOP("StatusText", "Has several names (hard links) — unchanged")},
    {Failed, Match::Line, engine::logmsg::kReadOnlyFile,
     QT_TRANSLATE_NOOP("StatusText", "Read-only — unchanged")},

    // Names: the one the file was to get, and its folder.
    {Failed, Match::Line, engine::logmsg::kNameTooLong,
     QT_TRANSLATE_NOOP("StatusText", "Name too long to add “.brisklet” — unchanged")},
    {Failed, Match::Line, engine::logmsg::kFolderNotWritable,
     QT_TRANSLATE_NOOP("StatusText", "Its folder is not writable — unchanged")},
    {Failed, Match::Suffix, " already exists", QT_TRANSLATE_NOOP("StatusText", "{line} — unchanged")},
    {NotRenamed, Match::Suffix, " already exists",
     QT_TRANSLATE_NOOP("StatusText", "{verb}, but not renamed: {line}")},
    {NotRenamed, Match::Line, engine::logmsg::kNoExtensionToRemove,
     QT_TRANSLATE_NOOP("StatusText", "{verb}, but not renamed: no extension to remove")},
    {NotRenamed, Match::Suffix, "permission denied",
     QT_TRANSLATE_NOOP("StatusText", "{verb}, but not renamed: permission denied")},

    // The working copy beside the file, and the file's own writes.
    {Failed, Match::Prefix, engine::logmsg::kCouldNotCreateJournal,
     QT_TRANSLATE_NOOP("StatusText", "Could not write its working copy beside it — unchanged")},
    {Failed, Match::Prefix, engine::logmsg::kCouldNotWriteJournal,
     QT_TRANSLATE_NOOP("StatusText", "Could not write its working copy beside it — unchanged")},
    {Failed, Match::Prefix, engine::logmsg::kCouldNotSyncJournal,
     QT_TRANSLATE_NOOP("StatusText", "Could not write its working copy beside it — unchanged")},
    {Failed, Match::Prefix, engine::logmsg::kCouldNotSyncFolderOfJournal,
     QT_TRANSLATE_NOOP("StatusText", "Could not write its working copy beside it — unchanged")},
    {Failed, Match::Line, engine::logmsg::kMkstempFailed,
     QT_TRANSLATE_NOOP("StatusText", "Could not write its working copy beside it — unchanged")},
    {Failed, Match::Line, engine::logmsg::kCouldNotWriteToTempFile,
     QT_TRANSLATE_NOOP("StatusText", "Could not write its working copy beside it — unchanged")},
    {Failed, Match::Line, engine::logmsg::kCouldNotReadFromTmpFile,
     QT_TRANSLATE_NOOP("StatusText", "Could not read its working copy — unchanged")},
    {Failed, Match::Prefix, engine::logmsg::kCouldNotReadJournal,
     QT_TRANSLATE_NOOP("StatusText", "Could not read the journal of its interrupted rewrite")},
    {Failed, Match::Prefix, engine::logmsg::kWritingToFileFailed,
     QT_TRANSLATE_NOOP("StatusText", "Could not write the file — unchanged")},
    {Failed, Match::Line, engine::logmsg::kCouldNotTruncateFile,
     QT_TRANSLATE_NOOP("StatusText", "Could not shorten the file — unchanged")},
    {Failed, Match::Line, engine::logmsg::kBadNumberOfBitsProcessed,
     QT_TRANSLATE_NOOP("StatusText", "The cipher failed — unchanged")},
    {Failed, Match::Line, engine::logmsg::kMakeKeyFailed,
     QT_TRANSLATE_NOOP("StatusText", "The key could not be prepared — unchanged")},
    // System errors, in platform::errorText's words, at the end of the line that met them; after the steps
    // above, whose words say more than the error alone.
    {Failed, Match::Suffix, "no such file", QT_TRANSLATE_NOOP("StatusText", "Not found")},
    {Failed, Match::Suffix, "no such file or directory", QT_TRANSLATE_NOOP("StatusText", "Not found")},
    {Failed, Match::Suffix, "permission denied",
     QT_TRANSLATE_NOOP("StatusText", "Permission denied — unchanged")},
    {Failed, Match::Suffix, "read-only file system",
     QT_TRANSLATE_NOOP("StatusText", "On a read-only file system — unchanged")},
    {Failed, Match::Suffix, "no space left",
     QT_TRANSLATE_NOOP("StatusText", "No space left on the disk — unchanged")},

    {Done, Match::Line, engine::logmsg::kCouldNotRemoveJournal,
     QT_TRANSLATE_NOOP("StatusText", "{verb} → {name} (a journal was left beside it)")},
    // A file that opened only with another normalization form of the passphrase than the one typed.
    {Done, Match::Line, engine::logmsg::kOpenedWithNfcForm,
     QT_TRANSLATE_NOOP("StatusText", "{verb} → {name} (opened with the passphrase's NFC form)")},
    {Done, Match::Line, engine::logmsg::kOpenedWithNfdForm,
     QT_TRANSLATE_NOOP("StatusText", "{verb} → {name} (opened with the passphrase's NFD form)")},

    // Stops.
    {None, Match::Line, engine::logmsg::kStoppedUntouched,
     QT_TRANSLATE_NOOP("StatusText", "Stopped, untouched")},
    {None | Failed, Match::Line, "stopped", QT_TRANSLATE_NOOP("StatusText", "Stopped")},
};
// clang-format on

QString tr(const char* words) {
    return QCoreApplication::translate("StatusText", words);
}

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString verb(RunDirection direction) {
    switch (direction) {
    case RunDirection::Encrypt:
        return tr(QT_TRANSLATE_NOOP("StatusText", "Encrypted"));
    case RunDirection::Decrypt:
        return tr(QT_TRANSLATE_NOOP("StatusText", "Decrypted"));
    case RunDirection::None:
    case RunDirection::Check:
        break;
    }
    return tr(QT_TRANSLATE_NOOP("StatusText", "Processed"));
}

QString noun(RunDirection direction) {
    switch (direction) {
    case RunDirection::Encrypt:
        return tr(QT_TRANSLATE_NOOP("StatusText", "Encryption"));
    case RunDirection::Decrypt:
        return tr(QT_TRANSLATE_NOOP("StatusText", "Decryption"));
    case RunDirection::None:
    case RunDirection::Check:
        break;
    }
    return tr(QT_TRANSLATE_NOOP("StatusText", "Rewrite"));
}

QString inProgressText(RunDirection direction) {
    switch (direction) {
    case RunDirection::Encrypt:
        return tr(QT_TRANSLATE_NOOP("StatusText", "Encrypting…"));
    case RunDirection::Decrypt:
        return tr(QT_TRANSLATE_NOOP("StatusText", "Decrypting…"));
    case RunDirection::Check:
        return tr(QT_TRANSLATE_NOOP("StatusText", "Checking…"));
    case RunDirection::None:
        break;
    }
    return tr(QT_TRANSLATE_NOOP("StatusText", "Recovering…"));
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

struct Found {
    QString line; // the line that matched
    QString rest; // a prefix's line after the prefix
};

bool lineStartsAt(const QString& reason, qsizetype at) {
    return at == 0 || QStringView(reason).mid(at - 2, 2) == QLatin1String("; ");
}

bool lineEndsAt(const QString& reason, qsizetype at) {
    return at == reason.size() || QStringView(reason).mid(at, 2) == QLatin1String("; ");
}

std::optional<Found> find(const Rule& rule, const QString& reason) {
    const QString pattern = fromView(rule.pattern);
    for (qsizetype at = reason.indexOf(pattern, 0, Qt::CaseInsensitive); at >= 0;
         at = reason.indexOf(pattern, at + 1, Qt::CaseInsensitive)) {
        const qsizetype end = at + pattern.size();
        switch (rule.match) {
        case Match::Line:
            if (lineStartsAt(reason, at) && lineEndsAt(reason, end)) {
                return Found{reason.mid(at, end - at), {}};
            }
            break;
        case Match::Prefix:
            // What follows may hold "; " itself (a name, a sentence of two parts), so it runs to the end.
            if (lineStartsAt(reason, at)) {
                return Found{reason.mid(at), reason.mid(end)};
            }
            break;
        case Match::Suffix:
            if (lineEndsAt(reason, end)) {
                const qsizetype separator = at >= 2 ? reason.lastIndexOf(QLatin1String("; "), at - 2) : -1;
                const qsizetype lineStart = separator < 0 ? 0 : separator + 2;
                return Found{reason.mid(lineStart, end - lineStart), {}};
            }
            break;
        }
    }
    return std::nullopt;
}

// Placeholders by name rather than QString::arg(), which would also replace markers inside a file name.
QString filled(QString words, const RowStatus& status, const Found& found) {
    RunDirection direction = status.direction;
    QString name =
        status.finalName.isEmpty() ? renamedFileName(status.fileName, direction) : status.finalName;
    if (words.contains(QLatin1String("{noun}"))) {
        direction = recoveredDirection(status.fileName, status.finalName);
    }
    const std::pair<const char*, QString> values[] = {
        {"{verb}", verb(direction)}, {"{noun}", noun(direction)}, {"{name}", name},
        {"{line}", found.line},      {"{rest}", found.rest},
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

// The first rule of the row's code that its reason matches, filled in.
std::optional<QString> tableWords(const RowStatus& status) {
    if (status.reason.isEmpty() || status.code < 0 || status.code > engine::StatusFailed) {
        return std::nullopt;
    }
    for (const Rule& rule : kRules) {
        if ((rule.codes & (1u << status.code)) == 0) {
            continue;
        }
        if (const auto found = find(rule, status.reason)) {
            return filled(tr(rule.words), status, *found);
        }
    }
    return std::nullopt;
}

QString wordsFor(const RowStatus& status) {
    if (const auto words = tableWords(status)) {
        return *words;
    }
    switch (status.code) {
    case engine::StatusDone:
        return filled(tr(QT_TRANSLATE_NOOP("StatusText", "{verb} → {name}")), status, {});
    case engine::StatusNotRenamed: {
        // The content has been rewritten: the words must not let anyone think the file is as it was.
        RowStatus unnamed = status;
        unnamed.finalName.clear();
        return filled(tr(QT_TRANSLATE_NOOP("StatusText", "{verb}, but not renamed to {name}")), unnamed, {});
    }
    case engine::StatusFailed:
        return status.reason.isEmpty() ? tr(QT_TRANSLATE_NOOP("StatusText", "Failed"))
                                       : tr(QT_TRANSLATE_NOOP("StatusText", "Failed: %1")).arg(status.reason);
    case engine::StatusNone:
        if (status.reason.isEmpty() && status.missing) {
            return tr(QT_TRANSLATE_NOOP("StatusText", "Not found"));
        }
        return status.reason;
    default:
        return tr(QT_TRANSLATE_NOOP("StatusText", "Unknown status %1")).arg(status.code);
    }
}

// A check reads a file as a decryption would, so its answer is put as the outcome that decryption would
// report and read through the same table.
QString checkText(const RowStatus& status) {
    RowStatus outcome = status;
    outcome.code = engine::StatusFailed;
    outcome.direction = RunDirection::Decrypt;
    switch (*status.check) {
    case CheckAnswer::Opens:
        // The detail names the form of the passphrase that opened it, when not the typed one.
        if (status.checkDetail == fromView(engine::logmsg::kOpenedWithNfcForm)) {
            return tr(QT_TRANSLATE_NOOP("StatusText", "Opens with the passphrase's NFC form"));
        }
        if (status.checkDetail == fromView(engine::logmsg::kOpenedWithNfdForm)) {
            return tr(QT_TRANSLATE_NOOP("StatusText", "Opens with the passphrase's NFD form"));
        }
        return tr(QT_TRANSLATE_NOOP("StatusText", "Opens"));
    case CheckAnswer::DoesNotOpen:
        outcome.reason = fromView(engine::logmsg::kPassphraseMightBeWrong);
        break;
    case CheckAnswer::NotEncrypted:
        outcome.reason = fromView(engine::logmsg::kNotAMultipleOf16);
        break;
    case CheckAnswer::RewritePending:
        outcome.reason = QString::fromStdString(engine::logmsg::interruptedRewritePending(""));
        break;
    case CheckAnswer::Unreadable:
        outcome.reason = status.checkDetail;
        if (status.checkDetail.isEmpty()) {
            return tr(QT_TRANSLATE_NOOP("StatusText", "Cannot be read"));
        }
        break;
    case CheckAnswer::NotChecked:
        return tr(QT_TRANSLATE_NOOP("StatusText", "Stopped, not checked"));
    }
    if (const auto words = tableWords(outcome)) {
        return *words;
    }
    return tr(QT_TRANSLATE_NOOP("StatusText", "Cannot be read: %1")).arg(status.checkDetail);
}

} // namespace

QString statusText(const RowStatus& status) {
    switch (status.phase) {
    case RowPhase::WaitingForNextRun:
        return tr(QT_TRANSLATE_NOOP("StatusText", "Waiting for the next run"));
    case RowPhase::Queued:
        return tr(QT_TRANSLATE_NOOP("StatusText", "Queued"));
    case RowPhase::InProgress:
        if (status.percent) {
            return tr(QT_TRANSLATE_NOOP("StatusText", "%1 %2%"))
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
    static const Rule kKept[] = {
        {Failed, Match::Prefix, "interrupted rewrite pending", ""},
        {Failed, Match::Prefix, "finished, but could not be made durable", ""},
        {Failed, Match::Prefix, "the journal was kept at: ", ""},
    };
    for (const Rule& rule : kKept) {
        if (find(rule, status.reason)) {
            return !find(Rule{Failed, Match::Line, engine::logmsg::kJournalDamaged, ""}, status.reason) &&
                   !find(Rule{Failed, Match::Line, engine::logmsg::kJournalUnknownVersion, ""},
                         status.reason);
        }
    }
    return false;
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
