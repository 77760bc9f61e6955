// The short words the file table shows for a row's status, from the engine's status code and reasons.
#include "ui/StatusText.h"

#include "engine/LogMessages.h"
#include "engine/PathExtension.h"
#include "engine/StatusCode.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <filesystem>
#include <string_view>

namespace {

enum class Match {
    Line,    // the whole reason, or one of its lines, is the pattern
    LineEnd, // one of the reason's lines ends with the pattern
};

// Words for a code and a reason. %1 is "Encrypted" or "Decrypted", %2 the file's new name, %3 the line
// that matched. The first rule of the row's code that matches wins, so the more telling lines come first.
struct Rule {
    int32_t code;
    Match match;
    std::string_view pattern;
    const char* words;
};

// Reasons the engine gives now (engine/LogMessages.h) and those it is to give for interrupted, stopped,
// locked and refused files.
constexpr Rule kRules[] = {
    {engine::StatusNone, Match::Line, "stopped; untouched",
     QT_TRANSLATE_NOOP("StatusText", "Stopped, untouched")},
    {engine::StatusNone, Match::Line, "stopped", QT_TRANSLATE_NOOP("StatusText", "Stopped")},

    {engine::StatusDone, Match::Line, "recovered after an interruption",
     QT_TRANSLATE_NOOP("StatusText", "Recovered")},

    {engine::StatusNotRenamed, Match::LineEnd, " already exists",
     QT_TRANSLATE_NOOP("StatusText", "%1, but not renamed: %3")},
    {engine::StatusNotRenamed, Match::LineEnd, "permission denied",
     QT_TRANSLATE_NOOP("StatusText", "%1, but not renamed: permission denied")},

    {engine::StatusFailed, Match::Line, engine::logmsg::kPassphraseMightBeWrong,
     QT_TRANSLATE_NOOP("StatusText", "Wrong passphrase?")},
    {engine::StatusFailed, Match::Line, "stopped", QT_TRANSLATE_NOOP("StatusText", "Stopped")},
    {engine::StatusFailed, Match::Line, "in use by another run",
     QT_TRANSLATE_NOOP("StatusText", "Failed: in use by another run")},
    {engine::StatusFailed, Match::LineEnd, "permission denied",
     QT_TRANSLATE_NOOP("StatusText", "Failed: permission denied")},
    {engine::StatusFailed, Match::LineEnd, "no such file",
     QT_TRANSLATE_NOOP("StatusText", "Failed: no such file")},
    {engine::StatusFailed, Match::LineEnd, "no such file or directory",
     QT_TRANSLATE_NOOP("StatusText", "Failed: no such file")},
    {engine::StatusFailed, Match::LineEnd, "not a regular file",
     QT_TRANSLATE_NOOP("StatusText", "Failed: not a regular file")},
    {engine::StatusFailed, Match::LineEnd, " already exists", QT_TRANSLATE_NOOP("StatusText", "Failed: %3")},
    {engine::StatusFailed, Match::Line, engine::logmsg::kWritingToFileFailed,
     QT_TRANSLATE_NOOP("StatusText", "Failed: could not write the file")},
    {engine::StatusFailed, Match::Line, engine::logmsg::kMkstempFailed,
     QT_TRANSLATE_NOOP("StatusText", "Failed: no room for the temporary copy")},
    {engine::StatusFailed, Match::Line, engine::logmsg::kCouldNotWriteToTempFile,
     QT_TRANSLATE_NOOP("StatusText", "Failed: no room for the temporary copy")},
};

QString tr(const char* words) {
    return QCoreApplication::translate("StatusText", words);
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

QString checkText(CheckAnswer answer, const QString& detail) {
    switch (answer) {
    case CheckAnswer::Opens:
        return tr(QT_TRANSLATE_NOOP("StatusText", "Opens"));
    case CheckAnswer::DoesNotOpen:
        return tr(QT_TRANSLATE_NOOP("StatusText", "Does not open"));
    case CheckAnswer::NotEncrypted:
        return tr(QT_TRANSLATE_NOOP("StatusText", "Not an encrypted file"));
    case CheckAnswer::Unreadable:
        return detail.isEmpty() ? tr(QT_TRANSLATE_NOOP("StatusText", "Cannot be read"))
                                : tr(QT_TRANSLATE_NOOP("StatusText", "Cannot be read: %1")).arg(detail);
    case CheckAnswer::RewritePending:
        return tr(QT_TRANSLATE_NOOP("StatusText", "Interrupted rewrite pending"));
    case CheckAnswer::NotChecked:
        break;
    }
    return tr(QT_TRANSLATE_NOOP("StatusText", "Stopped, not checked"));
}

bool matches(const Rule& rule, const QString& line) {
    const QString pattern = QString::fromUtf8(rule.pattern.data(), qsizetype(rule.pattern.size()));
    return rule.match == Match::Line ? line.compare(pattern, Qt::CaseInsensitive) == 0
                                     : line.endsWith(pattern, Qt::CaseInsensitive);
}

// The first rule of the code that the whole reason or one of its lines matches, with that line.
const Rule* ruleFor(int32_t code, const QString& reason, QString* matchedLine) {
    if (reason.isEmpty()) {
        return nullptr;
    }
    const QStringList lines = reason.split(QStringLiteral("; "), Qt::SkipEmptyParts);
    for (const Rule& rule : kRules) {
        if (rule.code != code) {
            continue;
        }
        // Only a whole pattern may span lines ("stopped; untouched"); an ending belongs to one line.
        QStringList candidates = lines;
        if (rule.match == Match::Line && lines.size() > 1) {
            candidates.prepend(reason);
        }
        for (const QString& line : candidates) {
            if (matches(rule, line.trimmed())) {
                *matchedLine = line.trimmed();
                return &rule;
            }
        }
    }
    return nullptr;
}

QString defaultText(const RowStatus& status) {
    const QString newName = renamedFileName(status.fileName, status.direction);
    switch (status.code) {
    case engine::StatusDone:
        if (!status.finalName.isEmpty()) {
            return tr(QT_TRANSLATE_NOOP("StatusText", "%1 → %2"))
                .arg(verb(status.direction), status.finalName);
        }
        return tr(QT_TRANSLATE_NOOP("StatusText", "%1 → %2")).arg(verb(status.direction), newName);
    case engine::StatusNotRenamed:
        // The content has been rewritten: the words must not let anyone think the file is as it was.
        return tr(QT_TRANSLATE_NOOP("StatusText", "%1, but not renamed to %2"))
            .arg(verb(status.direction), newName);
    case engine::StatusFailed:
        return status.reason.isEmpty() ? tr(QT_TRANSLATE_NOOP("StatusText", "Failed"))
                                       : tr(QT_TRANSLATE_NOOP("StatusText", "Failed: %1")).arg(status.reason);
    case engine::StatusNone:
        return status.reason;
    default:
        return tr(QT_TRANSLATE_NOOP("StatusText", "Unknown status %1")).arg(status.code);
    }
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
        return checkText(*status.check, status.checkDetail);
    }
    QString line;
    if (const Rule* rule = ruleFor(status.code, status.reason, &line)) {
        QString words = tr(rule->words);
        // arg() on text without a marker warns; only the rules that use them get them.
        if (words.contains(QLatin1String("%1"))) {
            words = words.arg(verb(status.direction));
        }
        if (words.contains(QLatin1String("%3"))) {
            words.replace(QLatin1String("%3"), line);
        }
        return words;
    }
    return defaultText(status);
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
