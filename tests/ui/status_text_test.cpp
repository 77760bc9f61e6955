// SPDX-License-Identifier: GPL-3.0-or-later
// The words of the Status column for each status code, run direction and reason the engine gives.
#include "ui/StatusText.h"

#include "engine/LogMessages.h"
#include "engine/ReasonCode.h"
#include "engine/StatusCode.h"
#include "ui/StatusColors.h"

#include <QTest>

#include <cerrno>

#include <optional>

Q_DECLARE_METATYPE(RunDirection)
Q_DECLARE_METATYPE(RowPhase)
Q_DECLARE_METATYPE(std::optional<int>)
Q_DECLARE_METATYPE(std::optional<CheckAnswer>)
Q_DECLARE_METATYPE(CheckAnswer)

namespace {

QString line(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A reason as the engine gives a row one: its lines (written here one to a line of `lines`) each with its
// code, and the sentence they make.
void setReason(RowStatus& status, const QString& lines) {
    status.reasons.clear();
    if (lines.isEmpty()) {
        return;
    }
    for (const QString& each : lines.split(QLatin1Char('\n'))) {
        status.reasons.push_back(engine::reasonOf(each.toStdString()));
    }
    status.reason = QString(lines).replace(QLatin1Char('\n'), QLatin1String("; "));
}

} // namespace

class StatusTextTest : public QObject {
    Q_OBJECT

private slots:
    void wordsForEachOutcome_data();
    void wordsForEachOutcome();
    void everyEngineSentenceInTheWindowsWords_data();
    void everyEngineSentenceInTheWindowsWords();
    void recoveredRowsSayWhatTheyNowAre_data();
    void recoveredRowsSayWhatTheyNowAre();
    void aCheckReadsAsTheDecryptionWould_data();
    void aCheckReadsAsTheDecryptionWould();
    void aMissingPathIsNotFoundUntilARunSaysMore_data();
    void aMissingPathIsNotFoundUntilARunSaysMore();
    void aRewriteARecoveryWillCompleteIsNoPlainFailure_data();
    void aRewriteARecoveryWillCompleteIsNoPlainFailure();
    void wordsAndToneWhileInProgressAndAfterACheck_data();
    void wordsAndToneWhileInProgressAndAfterACheck();
    void renamedNames_data();
    void renamedNames();
};

void StatusTextTest::wordsForEachOutcome_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<RunDirection>("direction");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<RowPhase>("phase");
    QTest::addColumn<QString>("words");
    const auto enc = RunDirection::Encrypt;
    const auto dec = RunDirection::Decrypt;
    const auto settled = RowPhase::Settled;
    const int none = engine::StatusNone;
    const int done = engine::StatusDone;
    const int notRenamed = engine::StatusNotRenamed;
    const int failed = engine::StatusFailed;

    QTest::newRow("not processed yet") << none << RunDirection::None << "" << settled << "";
    QTest::newRow("waiting for the next run")
        << none << enc << "" << RowPhase::WaitingForNextRun << "Waiting for the next run";
    QTest::newRow("not reported yet, decrypting")
        << none << dec << "" << RowPhase::InProgress << "Decrypting…";
    QTest::newRow("queued") << done << enc << "" << RowPhase::Queued << "Queued";
    QTest::newRow("stopped before it began")
        << none << enc << "stopped; untouched" << settled << "Stopped, untouched";

    QTest::newRow("encrypted") << done << enc << "" << settled << "Encrypted → report.pdf.brisklet";
    QTest::newRow("decrypted") << done << dec << "" << settled << "Decrypted → report.pdf";
    QTest::newRow("done; a warning does not change that")
        << done << enc << line(engine::logmsg::couldNotDeleteTemporaryFile("busy")) << settled
        << "Encrypted → report.pdf.brisklet";

    // The content is rewritten: the words must say so, and why the name stayed.
    QTest::newRow("not renamed, cause unknown")
        << notRenamed << enc << line(engine::logmsg::kCouldNotRenameFile) << settled
        << "Encrypted, but not renamed to report.pdf.brisklet";
    QTest::newRow("not renamed: name taken")
        << notRenamed << enc << "could not rename file\nreport.pdf.brisklet already exists" << settled
        << "Encrypted, but not renamed: report.pdf.brisklet already exists";
    QTest::newRow("not renamed when decrypting")
        << notRenamed << dec << "report.pdf already exists" << settled
        << "Decrypted, but not renamed: report.pdf already exists";

    QTest::newRow("permission denied")
        << failed << enc << "permission denied" << settled << "Permission denied — unchanged";
    QTest::newRow("not renamed: permission denied")
        << notRenamed << enc << "could not rename file\npermission denied" << settled
        << "Encrypted, but not renamed: permission denied";
    QTest::newRow("target taken before the run")
        << failed << dec << "report.pdf already exists" << settled << "report.pdf already exists — unchanged";
    QTest::newRow("a pending rewrite outweighs the failure that left it")
        << failed << enc
        << line(engine::logmsg::kWritingToFileFailed) + "\n" +
               line(engine::logmsg::interruptedRewritePending("/s"))
        << settled << "Interrupted: will be completed at the next start or run";
    QTest::newRow("unknown reason") << failed << enc << "the disk caught fire" << settled
                                    << "Failed: the disk caught fire";
    QTest::newRow("failed without a reason") << failed << enc << "" << settled << "Failed";
    QTest::newRow("unknown code") << 42 << enc << "" << settled << "Unknown status 42";
}

void StatusTextTest::wordsForEachOutcome() {
    QFETCH(int, code);
    QFETCH(RunDirection, direction);
    QFETCH(QString, reason);
    QFETCH(RowPhase, phase);
    QFETCH(QString, words);
    RowStatus status;
    status.code = code;
    status.direction = direction;
    setReason(status, reason);
    // The name the file had when the run began.
    status.fileName = direction == RunDirection::Decrypt ? "report.pdf.brisklet" : "report.pdf";
    status.phase = phase;
    QCOMPARE(statusText(status), words);
}

// Each sentence of engine/LogMessages.h that can reach a row, as the row's only reason or beside the lines
// that come with it, for the code the engine reports it with.
void StatusTextTest::everyEngineSentenceInTheWindowsWords_data() {
    using namespace engine::logmsg;
    QTest::addColumn<int>("code");
    QTest::addColumn<RunDirection>("direction");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("words");
    const auto enc = RunDirection::Encrypt;
    const auto dec = RunDirection::Decrypt;
    const int done = engine::StatusDone;
    const int failed = engine::StatusFailed;
    const QString pending = line(interruptedRewritePending("/home/u/docs"));
    const QString interrupted = "Interrupted: will be completed at the next start or run";
    const QString plain = "Does not open with this passphrase (or is not an encrypted file) — unchanged";
    const auto with = [](std::string_view what, int error) { return line(withErrorText(what, error)); };

    QTest::newRow("symbolic link named")
        << failed << enc << line(kSymbolicLinkNamed) << "Symbolic link: add the file it points to";
    QTest::newRow("symbolic link in a folder")
        << failed << dec << line(kSymbolicLinkInFolder) << "Symbolic link: add the file it points to";
    QTest::newRow("open elsewhere") << failed << enc << line(kOpenInAnotherProgram)
                                    << "Open in another program — unchanged";
    QTest::newRow("in use by a run") << failed << dec << line(kInUseByAnotherRun)
                                     << "In use by another run — unchanged";
    QTest::newRow("changed while read")
        << failed << enc << line(kFileChangedWhileRead) << "Changed while it was read — unchanged";
    QTest::newRow("changed during the rewrite")
        << failed << enc << line(kChangedDuringRewrite) + "\n" + pending
        << "Changed by another program during the rewrite — journal kept";
    QTest::newRow("write failed midway")
        << failed << enc << with(kWritingToFileFailed, ENOSPC) + "\n" + pending << interrupted;
    QTest::newRow("truncation failed midway")
        << failed << dec << line(kCouldNotTruncateFile) + "\n" + pending << interrupted;
    QTest::newRow("not durable") << failed << enc << line(notDurable("input/output error")) + "\n" + pending
                                 << "Finished, but not yet safe on disk — will be completed";
    QTest::newRow("file sync failed") << failed << enc << with(kCouldNotSyncFile, EIO) + "\n" + pending
                                      << "Written, but not yet safe on disk — will be completed";
    QTest::newRow("recovery: open elsewhere, journal kept")
        << failed << enc << line(kOpenInAnotherProgram) + "\n" + line(journalKeptAt("/d/.brisklet-journal-1"))
        << interrupted;
    QTest::newRow("recovery: damaged journal")
        << failed << enc << line(kJournalDamaged) + "\n" + line(journalKeptAt("/d/.brisklet-journal-1"))
        << "Interrupted, and its journal is damaged: the file stays partly rewritten";
    QTest::newRow("recovery: damaged journal, file whole")
        << failed << enc << line(kJournalDamagedFileWhole)
        << "Its journal was damaged; the file was never touched — unchanged";
    QTest::newRow("recovery: unknown version")
        << failed << enc << line(kJournalUnknownVersion) + "\n" + line(journalKeptAt("/d/j"))
        << "Interrupted; its journal needs another version of Brisklet";
    QTest::newRow("recovery: file changed since")
        << failed << enc << line(kFileNoLongerMatches)
        << "Changed since it was interrupted — nothing done, journal kept";
    QTest::newRow("recovery: file gone")
        << failed << dec << line(kFileOfJournalMissing) + "\n" + line(journalKeptAt("/d/j"))
        << "Moved or deleted since it was interrupted — nothing done";
    QTest::newRow("recovery: another user's journal")
        << failed << enc << line(journalOfAnotherUser("bob"))
        << "Interrupted: the journal belongs to bob; run brisklet-cli recover as bob";
    QTest::newRow("recovery: unreadable journal") << failed << enc << with(kCouldNotReadJournal, EACCES)
                                                  << "Could not read the journal of its interrupted rewrite";
    QTest::newRow("journal not created") << failed << enc << with(kCouldNotCreateJournal, ENOSPC)
                                         << "Could not write its working copy beside it — unchanged";
    QTest::newRow("journal not written") << failed << enc << with(kCouldNotWriteJournal, EIO)
                                         << "Could not write its working copy beside it — unchanged";
    QTest::newRow("journal not synced") << failed << enc << with(kCouldNotSyncJournal, EIO)
                                        << "Could not write its working copy beside it — unchanged";
    QTest::newRow("journal's folder not synced") << failed << enc << with(kCouldNotSyncFolderOfJournal, EIO)
                                                 << "Could not write its working copy beside it — unchanged";
    QTest::newRow("working copy not written") << failed << enc << line(kCouldNotWriteToTempFile)
                                              << "Could not write its working copy beside it — unchanged";
    QTest::newRow("write refused before anything changed")
        << failed << enc << line(kWritingToFileFailed) << "Could not write the file — unchanged";
    QTest::newRow("cipher failure") << failed << enc << line(kBadNumberOfBitsProcessed)
                                    << "The cipher failed — unchanged";
    QTest::newRow("a journal named itself")
        << failed << dec << line(kJournalNamed) << "Journal of an interrupted rewrite: recovery completes it";
    QTest::newRow("several names") << failed << enc << line(severalNames(3))
                                   << "Has several names (hard links) — unchanged";
    QTest::newRow("read-only file") << failed << enc << line(kReadOnlyFile) << "Read-only — unchanged";
    QTest::newRow("name too long") << failed << enc << line(kNameTooLong)
                                   << "Name too long to add “.brisklet” — unchanged";
    QTest::newRow("folder not writable")
        << failed << enc << line(kFolderNotWritable) << "Its folder is not writable — unchanged";
    QTest::newRow("read-only file system") << failed << enc << "read-only file system"
                                           << "On a read-only file system — unchanged";
    QTest::newRow("no space") << failed << enc << "no space left"
                              << "No space left on the disk — unchanged";
    QTest::newRow("no such file") << failed << dec << "no such file"
                                  << "Not found";
    QTest::newRow("target taken") << failed << enc << line(targetAlreadyExists("report.pdf.brisklet"))
                                  << "report.pdf.brisklet already exists — unchanged";
    QTest::newRow("wrong passphrase or a plain file")
        << failed << dec << line(kPassphraseMightBeWrong) << plain;
    QTest::newRow("impossible length") << failed << dec << line(kNotAMultipleOf16) << "Not an encrypted file";
    QTest::newRow("too short to be encrypted")
        << failed << dec << line(kPassphraseMightBeWrong) + "\n" + line(kShorterThanAnyEncryptedFile)
        << "Not an encrypted file";
    QTest::newRow("no extension to remove") << int(engine::StatusNotRenamed) << dec
                                            << line(kCouldNotRenameFile) + "\n" + line(kNoExtensionToRemove)
                                            << "Decrypted, but not renamed: no extension to remove";
    QTest::newRow("journal left after success")
        << done << enc << with(kCouldNotRemoveJournal, EIO)
        << "Encrypted → report.pdf.brisklet (a journal was left beside it)";
    QTest::newRow("opened with the NFC form")
        << done << dec << line(kOpenedWithNfcForm)
        << "Decrypted → report.pdf (opened with the passphrase's NFC form)";
    QTest::newRow("opened with the NFD form")
        << done << dec << line(kOpenedWithNfdForm)
        << "Decrypted → report.pdf (opened with the passphrase's NFD form)";
    // The reason of the journal left behind says more than the form.
    QTest::newRow("opened with the NFD form, journal left")
        << done << dec << line(kOpenedWithNfdForm) + "\n" + with(kCouldNotRemoveJournal, EIO)
        << "Decrypted → report.pdf (a journal was left beside it)";
    QTest::newRow("lease broken but the rewrite held")
        << done << enc << line(kLeaseBroken) << "Encrypted → report.pdf.brisklet";
    QTest::newRow("stopped before it began")
        << int(engine::StatusNone) << enc << line(kStoppedUntouched) << "Stopped, untouched";
    // The row shares the outcome of the row that names the same file, whose name the cell gives.
    QTest::newRow("duplicate of a success")
        << done << enc << line(sameFileAs("report.pdf")) << "Same file as report.pdf";
    QTest::newRow("duplicate of a failure")
        << failed << dec << line(sameFileAs("a; b.txt")) << "Same file as a; b.txt";
    QTest::newRow("a name that holds a marker")
        << failed << enc << line(targetAlreadyExists("%1 {verb}")) << "%1 {verb} already exists — unchanged";
}

void StatusTextTest::everyEngineSentenceInTheWindowsWords() {
    QFETCH(int, code);
    QFETCH(RunDirection, direction);
    QFETCH(QString, reason);
    QFETCH(QString, words);
    RowStatus status;
    status.code = code;
    status.direction = direction;
    setReason(status, reason);
    status.fileName = direction == RunDirection::Decrypt ? "report.pdf.brisklet" : "report.pdf";
    QCOMPARE(statusText(status), words);
}

// A recovery completes a rewrite of either direction, whatever run met it; the row says which it was and
// the name the file now has, before the list has followed the file and after.
void StatusTextTest::recoveredRowsSayWhatTheyNowAre_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<RunDirection>("direction");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("finalName");
    QTest::addColumn<QString>("words");
    const int done = engine::StatusDone;
    QTest::newRow("encryption, at launch") << done << RunDirection::None << "a.txt"
                                           << "a.txt.brisklet"
                                           << "Encryption completed after an interruption → a.txt.brisklet";
    QTest::newRow("decryption, at launch") << done << RunDirection::None << "a.txt.brisklet"
                                           << "a.txt"
                                           << "Decryption completed after an interruption → a.txt";
    QTest::newRow("decryption met by an encryption run")
        << done << RunDirection::Encrypt << "a.txt.brisklet"
        << "a.txt"
        << "Decryption completed after an interruption → a.txt";
    QTest::newRow("encryption, once the list followed")
        << done << RunDirection::None << "a.txt.brisklet"
        << "a.txt.brisklet"
        << "Encryption completed after an interruption → a.txt.brisklet";
    QTest::newRow("decryption, once the list followed")
        << done << RunDirection::None << "a.txt"
        << "a.txt"
        << "Decryption completed after an interruption → a.txt";
    QTest::newRow("not renamed") << int(engine::StatusNotRenamed) << RunDirection::None << "a.txt"
                                 << ""
                                 << "Rewrite completed after an interruption, but not renamed";
}

void StatusTextTest::recoveredRowsSayWhatTheyNowAre() {
    QFETCH(int, code);
    QFETCH(RunDirection, direction);
    QFETCH(QString, fileName);
    QFETCH(QString, finalName);
    QFETCH(QString, words);
    RowStatus status;
    status.code = code;
    status.direction = direction;
    setReason(status, line(engine::logmsg::kRecoveredAfterInterruption));
    status.fileName = fileName;
    status.finalName = finalName;
    QCOMPARE(statusText(status), words);
}

// A file reads the same whether Decrypt refused it or Check answered for it.
void StatusTextTest::aCheckReadsAsTheDecryptionWould_data() {
    QTest::addColumn<CheckAnswer>("answer");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<QString>("decryptionReason");
    QTest::addColumn<QString>("words");
    QTest::newRow("does not open")
        << CheckAnswer::DoesNotOpen << "" << line(engine::logmsg::kPassphraseMightBeWrong)
        << "Does not open with this passphrase (or is not an encrypted file) — unchanged";
    QTest::newRow("impossible length") << CheckAnswer::NotEncrypted << ""
                                       << line(engine::logmsg::kNotAMultipleOf16) << "Not an encrypted file";
    QTest::newRow("symbolic link") << CheckAnswer::Unreadable << line(engine::logmsg::kSymbolicLinkInFolder)
                                   << line(engine::logmsg::kSymbolicLinkNamed)
                                   << "Symbolic link: add the file it points to";
    QTest::newRow("missing") << CheckAnswer::Unreadable << "no such file"
                             << "no such file"
                             << "Not found";
    QTest::newRow("unreadable") << CheckAnswer::Unreadable << "permission denied"
                                << "permission denied"
                                << "Permission denied — unchanged";
    QTest::newRow("pending") << CheckAnswer::RewritePending << ""
                             << line(engine::logmsg::kWritingToFileFailed) + "\n" +
                                    line(engine::logmsg::interruptedRewritePending("/d"))
                             << "Interrupted: will be completed at the next start or run";
}

void StatusTextTest::aCheckReadsAsTheDecryptionWould() {
    QFETCH(CheckAnswer, answer);
    QFETCH(QString, detail);
    QFETCH(QString, decryptionReason);
    QFETCH(QString, words);
    RowStatus checked;
    checked.fileName = "a.brisklet";
    checked.check = answer;
    if (!detail.isEmpty()) {
        checked.checkReason = engine::reasonOf(detail.toStdString());
    }
    RowStatus decrypted;
    decrypted.code = engine::StatusFailed;
    decrypted.direction = RunDirection::Decrypt;
    decrypted.fileName = "a.brisklet";
    setReason(decrypted, decryptionReason);
    QCOMPARE(statusText(checked), words);
    QCOMPARE(statusText(decrypted), words);
}

void StatusTextTest::aMissingPathIsNotFoundUntilARunSaysMore_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<RowPhase>("phase");
    QTest::addColumn<QString>("words");
    QTest::newRow("listed") << int(engine::StatusNone) << "" << RowPhase::Settled << "Not found";
    QTest::newRow("queued") << int(engine::StatusNone) << "" << RowPhase::Queued << "Queued";
    QTest::newRow("stopped") << int(engine::StatusNone) << line(engine::logmsg::kStoppedUntouched)
                             << RowPhase::Settled << "Stopped, untouched";
    QTest::newRow("a run's outcome") << int(engine::StatusDone) << "" << RowPhase::Settled
                                     << "Encrypted → a.txt.brisklet";
}

void StatusTextTest::aMissingPathIsNotFoundUntilARunSaysMore() {
    QFETCH(int, code);
    QFETCH(QString, reason);
    QFETCH(RowPhase, phase);
    QFETCH(QString, words);
    RowStatus status;
    status.code = code;
    status.direction = RunDirection::Encrypt;
    setReason(status, reason);
    status.fileName = "a.txt";
    status.phase = phase;
    status.missing = true;
    QCOMPARE(statusText(status), words);
}

// The colour follows what the words say: a file waiting for its journal to complete it is cautioned about,
// the same as a check's "pending", while a journal that cannot complete it is a failure.
void StatusTextTest::aRewriteARecoveryWillCompleteIsNoPlainFailure_data() {
    using namespace engine::logmsg;
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("tone");
    const QString pending = line(interruptedRewritePending("/d"));
    const QString kept = line(journalKeptAt("/d/j"));
    QTest::newRow("write failed midway")
        << line(kWritingToFileFailed) + "\n" + pending << int(StatusTone::Caution);
    QTest::newRow("not durable") << line(notDurable("input/output error")) + "\n" + pending
                                 << int(StatusTone::Caution);
    QTest::newRow("recovery met it open elsewhere")
        << line(kOpenInAnotherProgram) + "\n" + kept << int(StatusTone::Caution);
    QTest::newRow("damaged journal") << line(kJournalDamaged) + "\n" + kept << int(StatusTone::Failure);
    QTest::newRow("journal of another version")
        << line(kJournalUnknownVersion) + "\n" + kept << int(StatusTone::Failure);
    QTest::newRow("refused before anything changed")
        << line(kOpenInAnotherProgram) << int(StatusTone::Failure);
}

void StatusTextTest::aRewriteARecoveryWillCompleteIsNoPlainFailure() {
    QFETCH(QString, reason);
    QFETCH(int, tone);
    RowStatus status;
    status.code = engine::StatusFailed;
    status.direction = RunDirection::Encrypt;
    status.fileName = "report.pdf";
    setReason(status, reason);
    QCOMPARE(int(statusTone(status)), tone);
}

// Rows in progress show how far they have come, and a check's answer stands in for the code's words; the
// colour follows the words, so an earlier outcome's colour never shows beside "Encrypting…".
void StatusTextTest::wordsAndToneWhileInProgressAndAfterACheck_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<RunDirection>("direction");
    QTest::addColumn<RowPhase>("phase");
    QTest::addColumn<std::optional<int>>("percent");
    QTest::addColumn<std::optional<CheckAnswer>>("check");
    QTest::addColumn<QString>("words");
    QTest::addColumn<int>("tone");
    const int none = engine::StatusNone;
    const int done = engine::StatusDone;
    const int failed = engine::StatusFailed;
    const auto inProgress = RowPhase::InProgress;
    const auto settled = RowPhase::Settled;
    const std::optional<int> noPercent;
    const std::optional<CheckAnswer> noAnswer;
    const int neutral = int(StatusTone::Neutral);
    const int success = int(StatusTone::Success);
    const int caution = int(StatusTone::Caution);
    const int failure = int(StatusTone::Failure);

    QTest::newRow("queued: no number yet")
        << none << RunDirection::Encrypt << inProgress << noPercent << noAnswer << "Encrypting…" << neutral;
    QTest::newRow("under way") << none << RunDirection::Encrypt << inProgress << std::optional<int>(42)
                               << noAnswer << "Encrypting… 42%" << neutral;
    QTest::newRow("under way after an earlier success, still neutral")
        << done << RunDirection::Decrypt << inProgress << std::optional<int>(100) << noAnswer
        << "Decrypting… 100%" << neutral;
    QTest::newRow("recovering at launch") << none << RunDirection::None << inProgress << std::optional<int>(7)
                                          << noAnswer << "Recovering… 7%" << neutral;
    QTest::newRow("checking") << failed << RunDirection::Check << inProgress << noPercent << noAnswer
                              << "Checking…" << neutral;
    QTest::newRow("waiting, after a failure")
        << failed << RunDirection::Encrypt << RowPhase::WaitingForNextRun << noPercent << noAnswer
        << "Waiting for the next run" << neutral;

    QTest::newRow("opens, over an earlier failure")
        << failed << RunDirection::Decrypt << settled << noPercent << std::optional(CheckAnswer::Opens)
        << "Opens" << success;
    QTest::newRow("does not open, over an earlier success")
        << done << RunDirection::Encrypt << settled << noPercent << std::optional(CheckAnswer::DoesNotOpen)
        << "Does not open with this passphrase (or is not an encrypted file) — unchanged" << failure;
    QTest::newRow("not encrypted") << none << RunDirection::None << settled << noPercent
                                   << std::optional(CheckAnswer::NotEncrypted) << "Not an encrypted file"
                                   << failure;
    QTest::newRow("pending") << none << RunDirection::None << settled << noPercent
                             << std::optional(CheckAnswer::RewritePending)
                             << "Interrupted: will be completed at the next start or run" << caution;
    QTest::newRow("check stopped first")
        << done << RunDirection::Encrypt << settled << noPercent << std::optional(CheckAnswer::NotChecked)
        << "Stopped, not checked" << neutral;
    QTest::newRow("stopped run: neutral, not a failure")
        << none << RunDirection::Encrypt << settled << noPercent << noAnswer << "Stopped, untouched"
        << neutral;
}

void StatusTextTest::wordsAndToneWhileInProgressAndAfterACheck() {
    QFETCH(int, code);
    QFETCH(RunDirection, direction);
    QFETCH(RowPhase, phase);
    QFETCH(std::optional<int>, percent);
    QFETCH(std::optional<CheckAnswer>, check);
    QFETCH(QString, words);
    QFETCH(int, tone);
    RowStatus status;
    status.code = code;
    status.direction = direction;
    status.fileName = "report.pdf";
    status.phase = phase;
    status.percent = percent;
    status.check = check;
    if (words == "Stopped, untouched") {
        setReason(status, line(engine::logmsg::kStoppedUntouched));
    }
    QCOMPARE(statusText(status), words);
    QCOMPARE(int(statusTone(status)), tone);
}

void StatusTextTest::renamedNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<RunDirection>("direction");
    QTest::addColumn<QString>("renamed");
    QTest::newRow("encrypting appends") << "report.pdf" << RunDirection::Encrypt << "report.pdf.brisklet";
    QTest::newRow("an encrypted name gains it again")
        << "a.brisklet" << RunDirection::Encrypt << "a.brisklet.brisklet";
    QTest::newRow("decrypting drops the last extension")
        << "report.pdf.brisklet" << RunDirection::Decrypt << "report.pdf";
    QTest::newRow("a dot file keeps its name") << ".profile" << RunDirection::Decrypt << ".profile";
    QTest::newRow("non-ASCII names survive")
        << "résumé €.txt" << RunDirection::Encrypt << "résumé €.txt.brisklet";
}

void StatusTextTest::renamedNames() {
    QFETCH(QString, name);
    QFETCH(RunDirection, direction);
    QFETCH(QString, renamed);
    QCOMPARE(renamedFileName(name, direction), renamed);
}

QTEST_MAIN(StatusTextTest)
#include "status_text_test.moc"
