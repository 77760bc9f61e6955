// The words of the Status column for each status code, run direction and reason the engine gives.
#include "ui/StatusText.h"

#include "engine/LogMessages.h"
#include "engine/StatusCode.h"

#include <QTest>

Q_DECLARE_METATYPE(RunDirection)
Q_DECLARE_METATYPE(RowPhase)

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
        << line(engine::logmsg::kWritingToFileFailed) + "; " + line(engine::logmsg::replacementKeptAt("/s/r"))
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
