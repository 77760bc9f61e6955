// SPDX-License-Identifier: GPL-3.0-or-later
// Runs started from the window: the confirmation sheet, refusals, busy presses and the state a run leaves.
#include "ui/BriskletAppDelegate.h"

#include "engine/Cryptor.h"
#include "engine/StatusCode.h"
#include "tests/ui/delegate_fixture.h"
#include "tests/ui/ui_test_support.h"
#include "ui/ColorFeedbackView.h"
#include "ui/ConfirmationSheet.h"
#include "ui/FileTableModel.h"
#include "ui/MainWindow.h"
#include "ui/MySecureTextField.h"
#include "ui/Preferences.h"

#include <QColor>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

namespace {

constexpr int kRunTimeoutMs = 60000;

} // namespace

class RunTest : public QObject, public uitest::DelegateFixture {
    Q_OBJECT

private slots:
    void initTestCase() { setUpSettings(); }
    void init() { startTest(); }
    void cleanup() { endTest(); }

    void confirmOKIsEnabledAndMismatchUnsaidExactlyWhileTheTextsMatch();
    void sheetOpensWithFocusInItsFieldAndReturnPressesOnlyAnEnabledOK();
    void cancellingTheSheetEmptiesItAndStartsNothing_data();
    void cancellingTheSheetEmptiesItAndStartsNothing();
    void encryptWithoutConfirmation_data();
    void encryptWithoutConfirmation();
    void decryptNeverAsksAgain();
    void pressesDuringARunDoNothing();
    void confirmationOKDuringARunStartsNoSecondRun();
    void runLeavesFieldEmptyBarsHiddenAndButtonsEnabled();
    void rowsShowTheirOutcomeAndRemoveOKsClearsThem();
    void removeOKsOfEveryRowDisablesRemoveAll();
    void refusedPassphraseIsExplainedAndNothingSpins_data();
    void refusedPassphraseIsExplainedAndNothingSpins();
    void runOverAnEmptyListLeavesNothingSpinning();

private:
    MySecureTextField* passPhraseField() const { return find<MySecureTextField>("passPhraseField"); }
    MySecureTextField* confirmationField() const { return find<MySecureTextField>("confirmationField"); }
    bool spinning() const { return !find<QProgressBar>("progressWheel")->isHidden(); }
    QString message() const { return m_delegate->window()->statusBar()->currentMessage(); }
    // Sets a field's real text as one edit, the way its editor hands edits over.
    static void setPassphrase(MySecureTextField* field, const QString& text) {
        QVERIFY(field->textViewShouldChangeTextInRange(0, int(field->hiddenStringValue().size()), text));
        field->setStringValue(text);
    }
    QStringList addFiles(int count);
    void waitForTheEndOfTheRun() const {
        QTRY_VERIFY_WITH_TIMEOUT(!m_delegate->cryptor().isBusy() && !spinning(), kRunTimeoutMs);
    }
};

QStringList RunTest::addFiles(int count) {
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        paths.append(addFile(QString("file%1.txt").arg(i, 2, 10, QChar('0')),
                             uitest::sampleContent(uitest::RunGate::kUnbatchedFileSize + i, unsigned(i))));
    }
    return paths;
}

void RunTest::confirmOKIsEnabledAndMismatchUnsaidExactlyWhileTheTextsMatch() {
    addFiles(1);
    auto* feedback = find<ColorFeedbackView>("feedbackView");
    QTest::keyClicks(passPhraseField(), "tiger lily");
    QCOMPARE(passPhraseField()->hiddenStringValue(), QString("tiger lily"));
    QVERIFY(!feedback->isHidden());
    m_delegate->encrypt();
    QVERIFY(m_delegate->confirmationSheet()->isVisible());
    QCOMPARE(m_delegate->confirmationSheet()->windowModality(), Qt::WindowModal);
    QLabel* mismatch = find<QLabel>("mismatchLabel");
    QCOMPARE(mismatch->text(), QString("The passphrases do not match"));
    QCOMPARE(find<QLabel>("summaryLabel")->text(),
             QString("Encrypt 1 file in place. Without this passphrase it cannot be opened again."));

    // An empty entry is no mistake yet, but no match either; a shorter one may still be on its way to the
    // passphrase, and is called a mismatch only once it is as long or longer.
    const QString passphrase = "tiger lily";
    const QList<QPair<QString, bool>> steps = {
        {"", false},          {"tiger lil", false},   {"tiger lilx", false}, {"tiger lil", false},
        {"tiger lily", true}, {"tiger lily!", false}, {"tiger lily", true}};
    for (const auto& [typed, match] : steps) {
        const QString current = confirmationField()->hiddenStringValue();
        if (typed.size() < current.size()) {
            QTest::keyClick(confirmationField(), Qt::Key_Backspace);
        } else {
            QTest::keyClicks(confirmationField(), typed.mid(current.size()));
        }
        QCOMPARE(confirmationField()->hiddenStringValue(), typed);
        QVERIFY2(button("confirmOKButton")->isEnabled() == match, qPrintable(typed));
        QVERIFY2(mismatch->isHidden() == (match || typed.size() < passphrase.size()), qPrintable(typed));
    }
    // Return on a shorter mismatch: OK stays disabled, and the sheet says why.
    QTest::keyClick(confirmationField(), Qt::Key_Backspace);
    QVERIFY(mismatch->isHidden());
    QTest::keyClick(confirmationField(), Qt::Key_Return);
    QVERIFY(!button("confirmOKButton")->isEnabled());
    QVERIFY(!mismatch->isHidden());
    m_delegate->cancelConfirmationSheet();
    QVERIFY(mismatch->isHidden());
}

void RunTest::sheetOpensWithFocusInItsFieldAndReturnPressesOnlyAnEnabledOK() {
    const QStringList files = addFiles(1);
    m_delegate->window()->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_delegate->window()));
    QTest::keyClicks(passPhraseField(), "abc");
    m_delegate->encrypt();
    ConfirmationSheet* sheet = m_delegate->confirmationSheet();
    QVERIFY(QTest::qWaitForWindowExposed(sheet));
    QCOMPARE(sheet->focusWidget(), confirmationField());

    QTest::keyClicks(confirmationField(), "ab");
    QTest::keyClick(confirmationField(), Qt::Key_Return);
    QVERIFY(sheet->isVisible());
    QVERIFY(!m_delegate->cryptor().isBusy());

    QTest::keyClicks(confirmationField(), "c");
    QTest::keyClick(confirmationField(), Qt::Key_Return);
    QVERIFY(!sheet->isVisible());
    QVERIFY(spinning());
    waitForTheEndOfTheRun();
    QVERIFY(QFileInfo::exists(files.first() + ".brisklet"));
}

void RunTest::cancellingTheSheetEmptiesItAndStartsNothing_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel button") << "button";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("window closed") << "close";
}

void RunTest::cancellingTheSheetEmptiesItAndStartsNothing() {
    QFETCH(QString, how);
    const QStringList files = addFiles(1);
    auto* feedback = find<ColorFeedbackView>("feedbackView");
    QTest::keyClicks(passPhraseField(), "open sesame");
    m_delegate->encrypt();
    ConfirmationSheet* sheet = m_delegate->confirmationSheet();
    QTest::keyClicks(confirmationField(), "open ses");
    QVERIFY(!feedback->isHidden());

    if (how == "button") {
        button("confirmCancelButton")->click();
    } else if (how == "escape") {
        QTest::keyClick(confirmationField(), Qt::Key_Escape);
    } else {
        sheet->close();
    }
    QVERIFY(!sheet->isVisible());
    QVERIFY(confirmationField()->hiddenStringValue().isEmpty());
    QVERIFY(confirmationField()->text().isEmpty());
    QVERIFY(feedback->isHidden());
    QCOMPARE(passPhraseField()->hiddenStringValue(), QString("open sesame"));
    QVERIFY(!m_delegate->cryptor().isBusy());
    QVERIFY(!spinning());
    QVERIFY(QFileInfo::exists(files.first()));
}

void RunTest::encryptWithoutConfirmation_data() {
    QTest::addColumn<QString>("passphrase");
    QTest::newRow("empty passphrase: nothing happens") << "";
    QTest::newRow("strong passphrase: starts at once") << uitest::kStrongPassphrase;
}

void RunTest::encryptWithoutConfirmation() {
    QFETCH(QString, passphrase);
    setReEnterPassphrase(false);
    const QStringList files = addFiles(2);
    QTest::keyClicks(passPhraseField(), passphrase);
    button("encryptButton")->click();
    QVERIFY(!m_delegate->confirmationSheet()->isVisible());
    if (passphrase.isEmpty()) {
        QVERIFY(!spinning());
        QVERIFY(button("removeAllButton")->isEnabled());
        return;
    }
    QVERIFY(spinning());
    QVERIFY(!button("removeAllButton")->isEnabled());
    waitForTheEndOfTheRun();
    for (const QString& file : files) {
        QVERIFY(QFileInfo::exists(file + ".brisklet"));
    }
}

void RunTest::decryptNeverAsksAgain() {
    QVERIFY(reEnterPassphrase());
    // Whole blocks, so that the file gets as far as the check of the passphrase.
    addFile("plain.txt", uitest::sampleContent(160, 3));
    QTest::keyClicks(passPhraseField(), "never twice");
    button("decryptButton")->click();
    QVERIFY(!m_delegate->confirmationSheet()->isVisible());
    QVERIFY(spinning());
    waitForTheEndOfTheRun();
    // A plain file is no encrypted file: it fails, the row says so, and its tooltip has the engine's words.
    QCOMPARE(m_delegate->cryptor().statusOnRow(0), int32_t(engine::StatusFailed));
    QCOMPARE(rowStatus(0),
             QString("Does not open with this passphrase (or is not an encrypted file) — unchanged"));
    const QString reason = QString::fromStdString(m_delegate->cryptor().failureReasonOnRow(0));
    QVERIFY(!reason.isEmpty());
    QVERIFY(table()->model()->index(0, 0).data(Qt::ToolTipRole).toString().contains(reason));
}

void RunTest::pressesDuringARunDoNothing() {
    setReEnterPassphrase(false);
    uitest::RunGate gate;
    const QStringList files = addFiles(uitest::RunGate::filesToHoldARun());
    table()->selectRow(0);
    QTest::keyClicks(passPhraseField(), uitest::kStrongPassphrase);
    button("encryptButton")->click();
    QVERIFY(m_delegate->cryptor().isBusy());

    const int rows = table()->model()->rowCount();
    for (const char* name : {"encryptButton", "decryptButton"}) {
        button(name)->click();
    }
    m_delegate->removeAll();
    m_delegate->removeSelected();
    m_delegate->removeOKs();
    QVERIFY(spinning());
    QVERIFY(message().isEmpty());
    QCOMPARE(table()->model()->rowCount(), rows);
    // Files can still be added; they wait for the next run, and nothing can be removed meanwhile.
    const QString late = addFile("late.txt", "late");
    QCOMPARE(table()->model()->rowCount(), rows + 1);
    QCOMPARE(rowStatus(rows), QString("Waiting for the next run"));
    for (const char* name :
         {"removeAllButton", "removeOKsButton", "removeSelectedButton", "encryptButton", "decryptButton"}) {
        QVERIFY2(!button(name)->isEnabled(), name);
    }

    QTRY_VERIFY(gate.reportsHeld() > 0);
    QVERIFY(spinning());
    // Every worker is held in its first report, so the last file of the run has not started.
    QCOMPARE(rowStatus(rows - 1), QString("Queued"));
    gate.release();
    waitForTheEndOfTheRun();
    for (const QString& file : files) {
        QVERIFY2(QFileInfo::exists(file + ".brisklet"), qPrintable(file));
    }
    QVERIFY(QFileInfo::exists(late));
    QCOMPARE(rowStatus(rows), QString());
    QVERIFY(button("removeAllButton")->isEnabled());
}

void RunTest::confirmationOKDuringARunStartsNoSecondRun() {
    setReEnterPassphrase(false);
    uitest::RunGate gate;
    addFiles(uitest::RunGate::filesToHoldARun());
    QTest::keyClicks(passPhraseField(), uitest::kStrongPassphrase);
    m_delegate->encrypt();
    QVERIFY(m_delegate->cryptor().isBusy());

    // A way to the sheet that does not pass through encrypt's own check.
    m_delegate->confirmationSheet()->open();
    QTest::keyClicks(confirmationField(), uitest::kStrongPassphrase);
    m_delegate->confirmConfirmationSheet();
    QVERIFY(!m_delegate->confirmationSheet()->isVisible());
    QVERIFY(spinning());
    QVERIFY(message().isEmpty());
    QVERIFY(!button("removeAllButton")->isEnabled());
    gate.release();
    waitForTheEndOfTheRun();
}

void RunTest::runLeavesFieldEmptyBarsHiddenAndButtonsEnabled() {
    setReEnterPassphrase(false);
    addFiles(3);
    table()->selectRow(2);
    QTest::keyClicks(passPhraseField(), uitest::kStrongPassphrase);
    QVERIFY(!find<ColorFeedbackView>("feedbackView")->isHidden());
    m_delegate->encrypt();
    QVERIFY(!button("removeSelectedButton")->isEnabled());
    waitForTheEndOfTheRun();

    QVERIFY(passPhraseField()->hiddenStringValue().isEmpty());
    QVERIFY(passPhraseField()->text().isEmpty());
    QVERIFY(find<ColorFeedbackView>("feedbackView")->isHidden());
    QVERIFY(button("removeAllButton")->isEnabled());
    QVERIFY(button("removeOKsButton")->isEnabled());
    QVERIFY(table()->selectionModel()->isRowSelected(2, QModelIndex()));
    QVERIFY(button("removeSelectedButton")->isEnabled());
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(rowStatus(row), QString("Encrypted → file%1.txt.brisklet").arg(row, 2, 10, QChar('0')));
    }
}

void RunTest::rowsShowTheirOutcomeAndRemoveOKsClearsThem() {
    setReEnterPassphrase(false);
    addFile("done.txt", "fine");
    m_delegate->applicationOpenFile(m_files->filePath("missing.txt"));
    addFile("taken.txt", "its name is taken");
    uitest::writeFile(m_files->path(), "taken.txt.brisklet", "in the way");
    // A path that does not exist says so as soon as it is listed.
    QCOMPARE(rowStatus(1), QString("Not found"));
    QCOMPARE(rowStatus(2), QString());
    QTest::keyClicks(passPhraseField(), uitest::kStrongPassphrase);
    m_delegate->encrypt();
    waitForTheEndOfTheRun();

    auto* model = table()->model();
    QCOMPARE(rowStatus(0), QString("Encrypted → done.txt.brisklet"));
    QCOMPARE(rowStatus(1), QString("Not found"));
    // A taken name is found before anything changes: the file stays as it was, and the words say why.
    QCOMPARE(rowStatus(2), QString("taken.txt.brisklet already exists — unchanged"));
    QCOMPARE(uitest::readFile(m_files->filePath("taken.txt")), QByteArray("its name is taken"));

    button("removeOKsButton")->click();
    QCOMPARE(uitest::rowTexts(model), QStringList({"missing.txt", "taken.txt"}));
    QCOMPARE(rowStatus(0), QString("Not found"));
    QCOMPARE(rowStatus(1), QString());
    QVERIFY(!button("removeOKsButton")->isEnabled());
    QVERIFY(button("removeAllButton")->isEnabled());
}

void RunTest::removeOKsOfEveryRowDisablesRemoveAll() {
    setReEnterPassphrase(false);
    addFiles(2);
    QTest::keyClicks(passPhraseField(), uitest::kStrongPassphrase);
    m_delegate->encrypt();
    waitForTheEndOfTheRun();
    button("removeOKsButton")->click();
    QCOMPARE(table()->model()->rowCount(), 0);
    QVERIFY(!button("removeOKsButton")->isEnabled());
    QVERIFY(!button("removeAllButton")->isEnabled());
}

void RunTest::refusedPassphraseIsExplainedAndNothingSpins_data() {
    QTest::addColumn<QString>("passphrase");
    QTest::addColumn<bool>("encrypting");
    QTest::addColumn<QString>("explanation");
    // Strong ones, so that no warning about their strength comes first.
    const QString strong(uitest::kStrongPassphrase);
    QTest::newRow("too long to encrypt") << strong.repeated(8).left(255) << true << "too long";
    QTest::newRow("too long to decrypt") << strong.repeated(8).left(255) << false << "too long";
    QTest::newRow("unpaired surrogate") << (strong + QChar(0xD800) + "def") << true << "invalid character";
}

void RunTest::refusedPassphraseIsExplainedAndNothingSpins() {
    QFETCH(QString, passphrase);
    QFETCH(bool, encrypting);
    QFETCH(QString, explanation);
    setReEnterPassphrase(false);
    const QStringList files = addFiles(2);
    QVERIFY(!button("removeOKsButton")->isEnabled());
    setPassphrase(passPhraseField(), passphrase);

    button(encrypting ? "encryptButton" : "decryptButton")->click();
    QVERIFY(!spinning());
    QVERIFY(!m_delegate->cryptor().isBusy());
    QVERIFY2(message().contains(explanation), qPrintable(message()));
    QVERIFY(button("removeAllButton")->isEnabled());
    QVERIFY(!button("removeOKsButton")->isEnabled());
    QCOMPARE(passPhraseField()->hiddenStringValue(), passphrase);
    for (const QString& file : files) {
        QVERIFY(QFileInfo::exists(file));
    }
    // Editing the passphrase takes the explanation away.
    setPassphrase(passPhraseField(), "better");
    QVERIFY(message().isEmpty());
}

void RunTest::runOverAnEmptyListLeavesNothingSpinning() {
    setReEnterPassphrase(false);
    QTest::keyClicks(passPhraseField(), "nothing listed");
    for (const char* name : {"encryptButton", "decryptButton"}) {
        button(name)->click();
        QVERIFY(!spinning());
        QVERIFY(!m_delegate->cryptor().isBusy());
        QVERIFY(message().isEmpty());
        for (const char* remove : {"removeAllButton", "removeOKsButton", "removeSelectedButton"}) {
            QVERIFY2(!button(remove)->isEnabled(), remove);
        }
    }
    // Nothing ran, so the passphrase is still there for when files are added.
    QCOMPARE(passPhraseField()->hiddenStringValue(), QString("nothing listed"));
}

QTEST_MAIN(RunTest)
#include "run_test.moc"
