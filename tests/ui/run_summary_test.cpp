// SPDX-License-Identifier: GPL-3.0-or-later
// The line that sums up a run: categories in a fixed order per kind, empty ones left out, plurals, a file
// listed twice counted once.
#include "ui/RunSummary.h"

#include "engine/ReasonCode.h"
#include "engine/StatusCode.h"

#include <QTest>

#include <utility>
#include <vector>

using Rows = std::vector<std::pair<int, QString>>;
Q_DECLARE_METATYPE(RunSummary::Kind)
Q_DECLARE_METATYPE(Rows)

class RunSummaryTest : public QObject {
    Q_OBJECT

private slots:
    void countsRowsInTheKindsOrder_data();
    void countsRowsInTheKindsOrder();
    void countsCheckAnswers();
};

void RunSummaryTest::countsRowsInTheKindsOrder_data() {
    QTest::addColumn<RunSummary::Kind>("kind");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QString>("text");
    const int done = engine::StatusDone;
    const int notRenamed = engine::StatusNotRenamed;
    const int failed = engine::StatusFailed;
    const int none = engine::StatusNone;
    QTest::newRow("encrypt, every category, stops last") << RunSummary::Kind::Encrypt
                                                         << Rows{{none, "stopped; untouched"},
                                                                 {done, ""},
                                                                 {failed, "no such file"},
                                                                 {done, ""},
                                                                 {notRenamed, "could not rename file"},
                                                                 {failed, "stopped; untouched"}}
                                                         << "2 encrypted, 1 not renamed, 1 failed, 2 stopped";
    QTest::newRow("decrypt, one file, empty categories left out")
        << RunSummary::Kind::Decrypt << Rows{{done, ""}} << "1 decrypted";
    QTest::newRow("a file listed twice counts once")
        << RunSummary::Kind::Encrypt << Rows{{done, ""}, {done, "same file as a.txt"}} << "1 encrypted";
    QTest::newRow("rows the run did not reach count nowhere")
        << RunSummary::Kind::Encrypt << Rows{{none, ""}} << "";
    QTest::newRow("recovery") << RunSummary::Kind::Recovery
                              << Rows{{done, "recovered after an interruption"},
                                      {notRenamed, ""},
                                      {failed, "gone"}}
                              << "2 recovered, 1 failed";
}

void RunSummaryTest::countsRowsInTheKindsOrder() {
    QFETCH(RunSummary::Kind, kind);
    QFETCH(Rows, rows);
    QFETCH(QString, text);
    RunSummary summary(kind);
    for (const auto& [code, reason] : rows) {
        // The engine gives each line of a row's reason its code.
        std::vector<engine::Reason> reasons;
        if (!reason.isEmpty()) {
            reasons.push_back(engine::reasonOf(reason.toStdString()));
        }
        summary.addRow(code, reasons);
    }
    QCOMPARE(summary.text(), text);
}

void RunSummaryTest::countsCheckAnswers() {
    RunSummary summary(RunSummary::Kind::Check);
    for (CheckAnswer answer :
         {CheckAnswer::Unreadable, CheckAnswer::Opens, CheckAnswer::NotEncrypted, CheckAnswer::Opens,
          CheckAnswer::DoesNotOpen, CheckAnswer::NotChecked, CheckAnswer::RewritePending}) {
        summary.addCheckAnswer(answer);
    }
    QCOMPARE(summary.text(), QString("2 open, 1 do not open, 1 not encrypted, 2 could not be read"));
}

QTEST_MAIN(RunSummaryTest)
#include "run_summary_test.moc"
