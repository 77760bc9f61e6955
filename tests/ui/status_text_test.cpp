// The words of the Status column for each status code, run direction and reason the engine gives.
#include "ui/StatusText.h"

#include "engine/LogMessages.h"
#include "engine/StatusCode.h"
#include "ui/StatusColors.h"

#include <QTest>

#include <optional>

Q_DECLARE_METATYPE(RunDirection)
Q_DECLARE_METATYPE(RowPhase)
Q_DECLARE_METATYPE(std::optional<int>)
Q_DECLARE_METATYPE(std::optional<CheckAnswer>)

namespace {

QString line(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

class StatusTextTest : public QObject {
    Q_OBJECT

private slots:
    void wordsForEachOutcome_data();
    void wordsForEachOutcome();
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
    QTest::newRow("stopped") << none << enc << "stopped" << settled << "Stopped";

    QTest::newRow("encrypted") << done << enc << "" << settled << "Encrypted → report.pdf.brisklet";
    QTest::newRow("decrypted") << done << dec << "" << settled << "Decrypted → report.pdf";
    QTest::newRow("done; a warning does not change that")
        << done << enc << line(engine::logmsg::couldNotDeleteTemporaryFile("busy")) << settled
        << "Encrypted → report.pdf.brisklet";
    QTest::newRow("recovered") << done << enc << "recovered after an interruption" << settled << "Recovered";

    // The content is rewritten: the words must say so, and why the name stayed.
    QTest::newRow("not renamed, cause unknown")
        << notRenamed << enc << line(engine::logmsg::kCouldNotRenameFile) << settled
        << "Encrypted, but not renamed to report.pdf.brisklet";
    QTest::newRow("not renamed: name taken")
        << notRenamed << enc << "could not rename file; report.pdf.brisklet already exists" << settled
        << "Encrypted, but not renamed: report.pdf.brisklet already exists";
    QTest::newRow("not renamed when decrypting")
        << notRenamed << dec << "report.pdf already exists" << settled
        << "Decrypted, but not renamed: report.pdf already exists";

    QTest::newRow("wrong passphrase")
        << failed << dec << line(engine::logmsg::kPassphraseMightBeWrong) << settled << "Wrong passphrase?";
    QTest::newRow("permission denied, at a line's end, any case")
        << failed << enc << "could not open file: Permission denied" << settled
        << "Failed: permission denied";
    QTest::newRow("no such file") << failed << enc << "no such file" << settled << "Failed: no such file";
    QTest::newRow("in use") << failed << dec << "in use by another run" << settled
                            << "Failed: in use by another run";
    QTest::newRow("not a regular file")
        << failed << enc << "not a regular file" << settled << "Failed: not a regular file";
    QTest::newRow("target taken before the run")
        << failed << dec << "report.pdf already exists" << settled << "Failed: report.pdf already exists";
    QTest::newRow("write failure, replacement kept")
        << failed << enc
        << line(engine::logmsg::kWritingToFileFailed) + "; " + line(engine::logmsg::interruptedRewritePending("/s"))
        << settled << "Failed: could not write the file";
    QTest::newRow("unknown reason") << failed << enc << "the disk caught fire" << settled
                                    << "Failed: the disk caught fire";
    QTest::newRow("failed without a reason") << failed << enc << "" << settled << "Failed";
    QTest::newRow("stopped midway") << failed << enc << "stopped" << settled << "Stopped";
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
    status.reason = reason;
    // The name the file had when the run began.
    status.fileName = direction == RunDirection::Decrypt ? "report.pdf.brisklet" : "report.pdf";
    status.phase = phase;
    QCOMPARE(statusText(status), words);
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
        << "Does not open" << failure;
    QTest::newRow("not encrypted") << none << RunDirection::None << settled << noPercent
                                   << std::optional(CheckAnswer::NotEncrypted) << "Not an encrypted file"
                                   << failure;
    QTest::newRow("pending") << none << RunDirection::None << settled << noPercent
                             << std::optional(CheckAnswer::RewritePending) << "Interrupted rewrite pending"
                             << caution;
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
        status.reason = line(engine::logmsg::kStoppedUntouched);
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
