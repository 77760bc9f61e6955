// The file table's rows: names, status colours, tooltips and accessible text, and reloads.
#include "ui/FileTableModel.h"

#include "engine/Cryptor.h"
#include "engine/StatusCode.h"

#include <QColor>
#include <QItemSelectionModel>
#include <QPalette>
#include <QTest>

#include <filesystem>

class FileTableModelTest : public QObject {
    Q_OBJECT

private slots:
    void rowShowsItsStatus_data();
    void rowShowsItsStatus();
    void everyColumnShowsTheFileName();
    void growingKeepsTheSelectionShrinkingResets();
};

void FileTableModelTest::rowShowsItsStatus_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QVariant>("color");
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("reasonShown");
    // An invalid colour leaves the palette's text colour in charge, which stays readable on dark themes.
    QTest::newRow("none") << int(engine::StatusNone) << QVariant() << "Not processed yet"
                          << "" << false;
    QTest::newRow("done") << int(engine::StatusDone) << QVariant(QColor::fromRgbF(0, 100 / 255.0, 0))
                          << "Done"
                          << "" << false;
    QTest::newRow("not renamed") << int(engine::StatusNotRenamed) << QVariant(QColor(255, 165, 0))
                                 << "Processed, but the file could not be renamed"
                                 << "could not rename file" << true;
    QTest::newRow("failed") << int(engine::StatusFailed) << QVariant(QColor(Qt::red)) << "Failed"
                            << "writing to file failed; could not truncate file" << true;
    QTest::newRow("failed without a reason")
        << int(engine::StatusFailed) << QVariant(QColor(Qt::red)) << "Failed"
        << "" << false;
    QTest::newRow("unknown code") << 42 << QVariant() << "Unknown status 42"
                                  << "" << false;
}

void FileTableModelTest::rowShowsItsStatus() {
    QFETCH(int, code);
    QFETCH(QVariant, color);
    QFETCH(QString, words);
    QFETCH(QString, reason);
    QFETCH(bool, reasonShown);
    engine::Cryptor cryptor;
    cryptor.addURLs({"/nowhere/a/report.txt"});
    // Stands in for an operation's report; this Cryptor runs nothing, so its run count is not looked at.
    cryptor.updateReason(0, reason.toStdString());
    cryptor.updateStatus(code, 0);
    FileTableModel model(&cryptor);
    model.reload();

    const QModelIndex row = model.index(0, 0);
    QCOMPARE(row.data(Qt::DisplayRole).toString(), QString("report.txt"));
    QCOMPARE(row.data(Qt::ForegroundRole), color);
    QCOMPARE(row.data(Qt::ToolTipRole).toString(), reasonShown ? words + ": " + reason : words);
    QCOMPARE(row.data(Qt::AccessibleTextRole).toString(), "report.txt: " + words);
}

void FileTableModelTest::everyColumnShowsTheFileName() {
    engine::Cryptor cryptor;
    cryptor.addURLs({"/nowhere/a/b.txt", "relative/c.tar.gz"});
    FileTableModel model(&cryptor);
    QCOMPARE(model.rowCount(), 0);
    model.reload();
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.columnCount(), 1);
    QCOMPARE(model.index(0, 0).data().toString(), QString("b.txt"));
    QCOMPARE(model.index(1, 0).data().toString(), QString("c.tar.gz"));
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString("File"));
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
}

void FileTableModelTest::growingKeepsTheSelectionShrinkingResets() {
    engine::Cryptor cryptor;
    cryptor.addURLs({"/x/1", "/x/2"});
    FileTableModel model(&cryptor);
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

QTEST_MAIN(FileTableModelTest)
#include "file_table_model_test.moc"
