// SPDX-License-Identifier: GPL-3.0-or-later
// The file table's rows: name, status words and folder columns, tooltips, accessible text, runs and reloads.
#include "ui/FileTableModel.h"

#include "engine/Cryptor.h"
#include "engine/ReasonCode.h"
#include "engine/StatusCode.h"

#include <QFile>
#include <QItemSelectionModel>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <utility>
#include <vector>

namespace {

// Stands in for an operation's report, with the reason's lines (none here holds "; " itself) and their
// codes; this Cryptor runs nothing, so its run count is not looked at.
void report(engine::Cryptor& cryptor, int64_t row, int32_t code, const std::string& reason = {}) {
    std::vector<engine::Reason> codes;
    for (const QString& line :
         QString::fromStdString(reason).split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
        codes.push_back(engine::reasonOf(line.toStdString()));
    }
    cryptor.updateReasonCodes(row, std::move(codes));
    cryptor.updateReason(row, reason);
    cryptor.updateStatus(code, row);
}

QString cell(const FileTableModel& model, int row, int column, int role = Qt::DisplayRole) {
    return model.index(row, column).data(role).toString();
}

} // namespace

class FileTableModelTest : public QObject {
    Q_OBJECT

private slots:
    void rowShowsNameStatusAndFolder_data();
    void rowShowsNameStatusAndFolder();
    void runInProgressMarksPendingAndWaitingRows();
    void growingKeepsTheSelectionShrinkingResets();
    void aMissingPathIsLookedAtAgainWhenARunStarts();
};

void FileTableModelTest::rowShowsNameStatusAndFolder_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("words");
    // The rows name paths that do not exist.
    QTest::newRow("not processed") << int(engine::StatusNone) << ""
                                   << "Not found";
    QTest::newRow("done") << int(engine::StatusDone) << ""
                          << "Encrypted → report.txt.brisklet";
    QTest::newRow("not renamed") << int(engine::StatusNotRenamed) << "could not rename file"
                                 << "Encrypted, but not renamed to report.txt.brisklet";
    QTest::newRow("failed") << int(engine::StatusFailed) << "writing to file failed; could not truncate file"
                            << "Could not write the file — unchanged";
}

void FileTableModelTest::rowShowsNameStatusAndFolder() {
    QFETCH(int, code);
    QFETCH(QString, reason);
    QFETCH(QString, words);
    engine::Cryptor cryptor;
    // Two files of one name, told apart by their folders.
    cryptor.addURLs({"/nowhere/a/report.txt", "/nowhere/b/report.txt"});
    if (code == engine::StatusDone) {
        // As an operation tells it; the row follows the file only once the run has ended.
        cryptor.updateFinalURL(0, "/nowhere/a/report.txt.brisklet");
    }
    report(cryptor, 0, code, reason.toStdString());
    FileTableModel model(&cryptor);
    model.runStarting(RunDirection::Encrypt);
    model.runEnded();

    QCOMPARE(model.columnCount(), 3);
    QCOMPARE(model.headerData(FileTableModel::StatusColumn, Qt::Horizontal).toString(), QString("Status"));
    QCOMPARE(cell(model, 0, FileTableModel::NameColumn), QString("report.txt"));
    QCOMPARE(cell(model, 0, FileTableModel::StatusColumn), words);
    QCOMPARE(cell(model, 0, FileTableModel::FolderColumn), QString("/nowhere/a"));
    QCOMPARE(cell(model, 1, FileTableModel::FolderColumn), QString("/nowhere/b"));
    QCOMPARE(model.index(0, FileTableModel::FolderColumn).data(FileTableModel::StatusCodeRole).toInt(), code);
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));

    // The tooltip: the whole path, the words and the engine's own reason.
    const QString tip = cell(model, 0, FileTableModel::NameColumn, Qt::ToolTipRole);
    QVERIFY2(tip.startsWith("/nowhere/a/report.txt"), qPrintable(tip));
    QVERIFY2(tip.contains(words) && tip.contains(reason), qPrintable(tip));
    // Assistive technology hears the status with the name, never a bare colour.
    const QString accessible = cell(model, 0, FileTableModel::NameColumn, Qt::AccessibleTextRole);
    QCOMPARE(accessible, "report.txt: " + (words.isEmpty() ? QString("not processed yet") : words));
}

void FileTableModelTest::runInProgressMarksPendingAndWaitingRows() {
    engine::Cryptor cryptor;
    cryptor.addURLs({"/x/one", "/x/two", "/x/three"});
    report(cryptor, 0, engine::StatusDone);
    report(cryptor, 1, engine::StatusFailed, "writing to file failed");
    FileTableModel model(&cryptor);
    model.runStarting(RunDirection::Encrypt);
    model.runEnded();

    // A decryption run: the Cryptor keeps each row's earlier outcome until the new one comes in.
    model.runStarting(RunDirection::Decrypt);
    cryptor.addURLs({"/x/late"});
    report(cryptor, 1, engine::StatusDone);
    model.reload();
    QCOMPARE(cell(model, 0, FileTableModel::StatusColumn), QString("Queued"));
    QCOMPARE(cell(model, 1, FileTableModel::StatusColumn), QString("Decrypted → two"));
    QCOMPARE(cell(model, 2, FileTableModel::StatusColumn), QString("Queued"));
    QCOMPARE(cell(model, 3, FileTableModel::StatusColumn), QString("Waiting for the next run"));

    // The last report repeats the earlier outcome; once the run is over, it shows.
    report(cryptor, 0, engine::StatusDone);
    report(cryptor, 2, engine::StatusFailed,
           "file did not decrypt to original plain text file - passphrase "
           "might be wrong");
    model.runEnded();
    QCOMPARE(cell(model, 0, FileTableModel::StatusColumn), QString("Decrypted → one"));
    QCOMPARE(cell(model, 2, FileTableModel::StatusColumn),
             QString("Does not open with this passphrase (or is not an encrypted file) — unchanged"));
    QCOMPARE(cell(model, 3, FileTableModel::StatusColumn), QString("Not found"));
}

void FileTableModelTest::growingKeepsTheSelectionShrinkingResets() {
    engine::Cryptor cryptor;
    cryptor.addURLs({"/x/1", "/x/2"});
    FileTableModel model(&cryptor);
    QCOMPARE(model.rowCount(), 0);
    model.reload();
    QItemSelectionModel selection(&model);
    selection.select(model.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);

    cryptor.addURLs({"/x/3"});
    model.reload();
    QCOMPARE(model.rowCount(), 3);
    QVERIFY(selection.isRowSelected(1, QModelIndex()));

    cryptor.removeURLatIndexes({0});
    model.reload();
    QCOMPARE(model.rowCount(), 2);
    QVERIFY(!selection.hasSelection());
    QCOMPARE(model.index(0, 0).data().toString(), QString("2"));
}

void FileTableModelTest::aMissingPathIsLookedAtAgainWhenARunStarts() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::filesystem::path later = QFile::encodeName(dir.filePath("later.txt")).toStdString();
    engine::Cryptor cryptor;
    cryptor.addURLs({later});
    FileTableModel model(&cryptor);
    model.reload();
    QCOMPARE(cell(model, 0, FileTableModel::StatusColumn), QString("Not found"));
    {
        QFile file(dir.filePath("later.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    // Between runs the list does not keep looking; a run's start does.
    model.reload();
    QCOMPARE(cell(model, 0, FileTableModel::StatusColumn), QString("Not found"));
    model.runStarting(RunDirection::Encrypt);
    model.runEnded();
    QCOMPARE(cell(model, 0, FileTableModel::StatusColumn), QString());
}

QTEST_MAIN(FileTableModelTest)
#include "file_table_model_test.moc"
