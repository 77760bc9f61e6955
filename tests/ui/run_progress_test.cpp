// SPDX-License-Identifier: GPL-3.0-or-later
// The progress a run shows: the window's bar and files label from the counters, and each row's percentage
// from its own counter while the run holds it.
#include "ui/RunProgress.h"

#include "engine/Cryptor.h"
#include "engine/StatusCode.h"
#include "tests/ui/ui_test_support.h"
#include "ui/FileTableModel.h"
#include "ui/StatusColors.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using Progress = engine::Cryptor::Progress;
using RunProgress = engine::Cryptor::RunProgress;
Q_DECLARE_METATYPE(RunProgress)
Q_DECLARE_METATYPE(std::optional<Progress>)
Q_DECLARE_METATYPE(std::optional<int>)

namespace {

QString status(const FileTableModel& model, int row, int role = Qt::DisplayRole) {
    return model.index(row, FileTableModel::StatusColumn).data(role).toString();
}

} // namespace

class RunProgressTest : public QObject {
    Q_OBJECT

private slots:
    void barAndLabelFollowBytesThenFiles_data();
    void barAndLabelFollowBytesThenFiles();
    void rowPercentOnlyOnceAFileIsUnderWay_data();
    void rowPercentOnlyOnceAFileIsUnderWay();
    void rowsOfAHeldRunShowTheirOwnCounters();
};

void RunProgressTest::barAndLabelFollowBytesThenFiles_data() {
    QTest::addColumn<RunProgress>("progress");
    QTest::addColumn<int>("bar");
    QTest::addColumn<QString>("files");
    const uint64_t huge = uint64_t{1} << 62;
    QTest::newRow("start") << RunProgress{{0, 2000}, 0, 10} << 0 << "0 of 10 files";
    // One large file half done weighs more than several small ones finished.
    QTest::newRow("bytes, not files") << RunProgress{{1000, 2000}, 9, 10} << 500 << "9 of 10 files";
    QTest::newRow("rounded down") << RunProgress{{1999, 2000}, 9, 10} << 999 << "9 of 10 files";
    QTest::newRow("done") << RunProgress{{2000, 2000}, 10, 10} << 1000 << "10 of 10 files";
    QTest::newRow("never past the end") << RunProgress{{2500, 2000}, 12, 10} << 1000 << "10 of 10 files";
    QTest::newRow("sizes near 2^64") << RunProgress{{huge / 4, huge}, 1, 4} << 250 << "1 of 4 files";
    // Empty files, or a check: nothing to count but files.
    QTest::newRow("no bytes: files") << RunProgress{{0, 0}, 3, 4} << 750 << "3 of 4 files";
    QTest::newRow("one file") << RunProgress{{0, 96}, 0, 1} << 0 << "0 of 1 file";
}

void RunProgressTest::barAndLabelFollowBytesThenFiles() {
    QFETCH(RunProgress, progress);
    QFETCH(int, bar);
    QFETCH(QString, files);
    const RunProgressFigures figures = runProgressFigures(progress);
    QCOMPARE(figures.barValue, bar);
    QCOMPARE(figures.filesText, files);
}

void RunProgressTest::rowPercentOnlyOnceAFileIsUnderWay_data() {
    QTest::addColumn<std::optional<Progress>>("progress");
    QTest::addColumn<std::optional<int>>("percent");
    QTest::newRow("not in the run") << std::optional<Progress>() << std::optional<int>();
    QTest::newRow("waiting for a worker") << std::optional(Progress{0, 200}) << std::optional<int>();
    QTest::newRow("empty file") << std::optional(Progress{0, 0}) << std::optional<int>();
    QTest::newRow("first bytes") << std::optional(Progress{1, 200}) << std::optional(0);
    QTest::newRow("transformed, not yet written back")
        << std::optional(Progress{100, 200}) << std::optional(50);
    QTest::newRow("complete") << std::optional(Progress{200, 200}) << std::optional(100);
}

void RunProgressTest::rowPercentOnlyOnceAFileIsUnderWay() {
    QFETCH(std::optional<Progress>, progress);
    QFETCH(std::optional<int>, percent);
    QCOMPARE(percentDone(progress), percent);
}

// Every worker is held in its first report, so the last files wait untouched; the test then moves one of
// their counters the way its operation would, and reads the rows as the window would.
void RunProgressTest::rowsOfAHeldRunShowTheirOwnCounters() {
    QTemporaryDir directory;
    uitest::RunGate gate;
    const int files = uitest::RunGate::filesToHoldARun();
    const int held = files - 2;
    const QByteArray content = uitest::sampleContent(uitest::RunGate::kUnbatchedFileSize, 5);
    engine::Cryptor cryptor;
    for (int i = 0; i < files; ++i) {
        cryptor.addURLs({uitest::writeFile(directory.path(), QString("f%1").arg(i), content).toStdString()});
    }
    FileTableModel model(&cryptor);
    model.runStarting(RunDirection::Encrypt);
    QCOMPARE(cryptor.encryptFilesUsingPassPhrase(u"held open"), std::nullopt);
    QTRY_COMPARE(gate.reportsHeld(), held);

    const int last = files - 1;
    QCOMPARE(status(model, last), QString("Queued"));
    // A row shows its outcome as soon as its file has reported, while the run goes on.
    int shown = 0;
    for (int row = 0; row < files; ++row) {
        shown += status(model, row).startsWith("Encrypted → ") ? 1 : 0;
    }
    QCOMPARE(shown, held);
    const std::optional<Progress> counters = cryptor.progressOnRow(last);
    QVERIFY(counters.has_value());
    QCOMPARE(counters->total, uint64_t(2 * content.size()));
    cryptor.updateProgress(last, counters->total * 42 / 100 + 1, counters->total);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.progressChanged();
    QVERIFY(!changed.isEmpty());
    QCOMPARE(status(model, last), QString("Encrypting… 42%"));
    // The reported rows are complete; the run counts them, and the bytes of all.
    const RunProgress run = cryptor.runProgress();
    QCOMPARE(run.filesDone, uint64_t(held));
    QCOMPARE(run.bytes.total, uint64_t(files) * counters->total);

    // A row listed during the run has no counter and waits.
    cryptor.addURLs({uitest::writeFile(directory.path(), "late", content).toStdString()});
    model.reload();
    QCOMPARE(cryptor.progressOnRow(files), std::nullopt);
    QCOMPARE(status(model, files), QString("Waiting for the next run"));

    cryptor.stopRun();
    gate.release();
    QTRY_VERIFY_WITH_TIMEOUT(!cryptor.isBusy(), 30000);
    cryptor.waitUntilAllOperationsAreFinished();
    model.runEnded();
    for (int row = 0; row < files; ++row) {
        const bool stopped = row >= held;
        QCOMPARE(status(model, row),
                 stopped ? QString("Stopped, untouched") : QString("Encrypted → f%1.brisklet").arg(row));
        QCOMPARE(model.index(row, 0).data(FileTableModel::StatusToneRole).toInt(),
                 int(stopped ? StatusTone::Neutral : StatusTone::Success));
        if (stopped) {
            QCOMPARE(uitest::readFile(directory.filePath(QString("f%1").arg(row))), content);
        }
    }
}

QTEST_MAIN(RunProgressTest)
#include "run_progress_test.moc"
