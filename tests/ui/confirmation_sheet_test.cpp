// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet before an encryption: its warnings of a weak passphrase and of files already encrypted, Skip
// Them as the default, and when it appears without "Ask for the passphrase twice".
#include "ui/ConfirmationSheet.h"

#include "engine/Cryptor.h"
#include "engine/StatusCode.h"
#include "tests/ui/delegate_fixture.h"
#include "tests/ui/ui_test_support.h"
#include "ui/MySecureTextField.h"
#include "ui/Preferences.h"

#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

namespace {

constexpr int kRunTimeoutMs = 60000;

} // namespace

class ConfirmationSheetTest : public QObject, public uitest::DelegateFixture {
    Q_OBJECT

private slots:
    void initTestCase() { setUpSettings(); }
    void init() { startTest(); }
    void cleanup() { endTest(); }

    void weakPassphrasesAreWarnedAbout_data();
    void weakPassphrasesAreWarnedAbout();
    void theSheetAppearsWithoutAskingTwiceOnlyToWarn_data();
    void theSheetAppearsWithoutAskingTwiceOnlyToWarn();
    void filesAlreadyEncryptedAreNamedThenCounted_data();
    void filesAlreadyEncryptedAreNamedThenCounted();
    void skipIsTheDefaultAndLeavesEncryptedFilesUntouched();
    void encryptThemAgainEncryptsEveryFile();
    void skippingEveryFileStartsNothing();

private:
    ConfirmationSheet* sheet() const { return m_delegate->confirmationSheet(); }
    MySecureTextField* passPhraseField() const { return find<MySecureTextField>("passPhraseField"); }
    MySecureTextField* confirmationField() const { return find<MySecureTextField>("confirmationField"); }
    bool spinning() const { return !find<QProgressBar>("progressWheel")->isHidden(); }
    void typePassphrase(const QString& passphrase) const {
        QTest::keyClicks(passPhraseField(), passphrase);
        QCOMPARE(passPhraseField()->hiddenStringValue(), passphrase);
    }
    void waitForTheEndOfTheRun() const {
        QTRY_VERIFY_WITH_TIMEOUT(!m_delegate->cryptor().isBusy() && !spinning(), kRunTimeoutMs);
    }
};

void ConfirmationSheetTest::weakPassphrasesAreWarnedAbout_data() {
    QTest::addColumn<QString>("passphrase");
    QTest::addColumn<bool>("weak");
    QTest::newRow("one character") << "a" << true;
    QTest::newRow("a word") << "swordfish" << true;
    QTest::newRow("a well-known phrase") << "correct horse battery staple" << true;
    QTest::newRow("six unrelated words") << "quiet orbit maple tundra 7 lantern" << false;
}

void ConfirmationSheetTest::weakPassphrasesAreWarnedAbout() {
    QFETCH(QString, passphrase);
    QFETCH(bool, weak);
    addFile("a.txt", "a");
    typePassphrase(passphrase);
    m_delegate->encrypt();
    QVERIFY(sheet()->isVisible());
    const QString strength = sheet()->strengthLabel()->text();
    QCOMPARE(strength.startsWith("Weak passphrase: it could be guessed in "), weak);
    QCOMPARE(strength.startsWith("Estimated time to guess this passphrase: "), !weak);
    // The assumption is stated either way, and the warning blocks nothing.
    const QString assumption = find<QLabel>("assumptionLabel")->text();
    QVERIFY(assumption.contains("10¹⁰") && assumption.contains("no salt") &&
            assumption.contains("every file encrypted with this passphrase"));
    QTest::keyClicks(confirmationField(), passphrase);
    QVERIFY(button("confirmOKButton")->isEnabled());
    m_delegate->cancelConfirmationSheet();
}

void ConfirmationSheetTest::theSheetAppearsWithoutAskingTwiceOnlyToWarn_data() {
    QTest::addColumn<QString>("passphrase");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("sheetAppears");
    QTest::newRow("strong, plain file: runs at once") << uitest::kStrongPassphrase << "a.txt" << false;
    QTest::newRow("weak passphrase") << "a"
                                     << "a.txt" << true;
    QTest::newRow("file already encrypted") << uitest::kStrongPassphrase << "a.txt.brisklet" << true;
    QTest::newRow("the extension in other case is no encrypted name")
        << uitest::kStrongPassphrase << "a.txt.BRISKLET" << false;
}

void ConfirmationSheetTest::theSheetAppearsWithoutAskingTwiceOnlyToWarn() {
    QFETCH(QString, passphrase);
    QFETCH(QString, fileName);
    QFETCH(bool, sheetAppears);
    setReEnterPassphrase(false);
    const QString file = addFile(fileName, uitest::sampleContent(64, 1));
    typePassphrase(passphrase);
    button("encryptButton")->click();
    QCOMPARE(sheet()->isVisible(), sheetAppears);
    if (!sheetAppears) {
        QVERIFY(spinning());
        waitForTheEndOfTheRun();
        QVERIFY(QFileInfo::exists(file + ".brisklet"));
        return;
    }
    // Only warnings: no field to type into, and the default button is ready at once.
    QVERIFY(!sheet()->asksAgain());
    QVERIFY(!confirmationField()->isVisibleTo(sheet()));
    QVERIFY(!find<QLabel>("confirmationLabel")->isVisibleTo(sheet()));
    QVERIFY(button("confirmOKButton")->isEnabled());
    QVERIFY(!m_delegate->cryptor().isBusy());
    button("confirmOKButton")->click();
    QVERIFY(!sheet()->isVisible());
    waitForTheEndOfTheRun();
    // OK runs; on an already encrypted file it is Skip Them, which leaves it as it was.
    QCOMPARE(QFileInfo::exists(file + ".brisklet"), !fileName.endsWith(".brisklet"));
}

void ConfirmationSheetTest::filesAlreadyEncryptedAreNamedThenCounted_data() {
    QTest::addColumn<int>("encrypted");
    QTest::addColumn<QString>("named");
    QTest::newRow("one") << 1 << "Already encrypted (1 file): e1.brisklet.";
    QTest::newRow("two") << 2 << "Already encrypted (2 files): e1.brisklet and e2.brisklet.";
    QTest::newRow("three") << 3 << "Already encrypted (3 files): e1.brisklet, e2.brisklet and e3.brisklet.";
    QTest::newRow("five") << 5
                          << "Already encrypted (5 files): e1.brisklet, e2.brisklet, e3.brisklet and 2 more.";
}

void ConfirmationSheetTest::filesAlreadyEncryptedAreNamedThenCounted() {
    QFETCH(int, encrypted);
    QFETCH(QString, named);
    addFile("plain.txt", "plain");
    for (int i = 1; i <= encrypted; ++i) {
        addFile(QString("e%1.brisklet").arg(i), "x");
    }
    typePassphrase(uitest::kStrongPassphrase);
    m_delegate->encrypt();
    QVERIFY(sheet()->isVisible());
    QVERIFY(sheet()->alreadyEncryptedLabel()->text().startsWith(named));
    QCOMPARE(button("confirmOKButton")->text(), QString("&Skip Them"));
    QVERIFY(!button("encryptAgainButton")->isHidden());
    QVERIFY(sheet()->strengthLabel()->text().startsWith("Estimated time"));
    m_delegate->cancelConfirmationSheet();

    // The same sheet over a plain list again says nothing of encrypted files.
    m_delegate->removeAll();
    addFile("other.txt", "other");
    m_delegate->encrypt();
    QVERIFY(sheet()->alreadyEncryptedLabel()->isHidden());
    QVERIFY(button("encryptAgainButton")->isHidden());
    QVERIFY(!button("confirmOKButton")->text().contains("Skip"));
    m_delegate->cancelConfirmationSheet();
}

void ConfirmationSheetTest::skipIsTheDefaultAndLeavesEncryptedFilesUntouched() {
    const QByteArray already = uitest::sampleContent(320, 2);
    const QString encrypted = addFile("old.txt.brisklet", already);
    const QString plain = addFile("new.txt", uitest::sampleContent(200, 3));
    m_delegate->window()->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_delegate->window()));
    typePassphrase(uitest::kStrongPassphrase);
    m_delegate->encrypt();
    QVERIFY(QTest::qWaitForWindowExposed(sheet()));
    QVERIFY(button("confirmOKButton")->isDefault());
    QVERIFY(!button("encryptAgainButton")->isDefault());
    QTest::keyClicks(confirmationField(), uitest::kStrongPassphrase);
    QVERIFY(button("encryptAgainButton")->isEnabled());
    // Return in the field presses the default: Skip Them.
    QTest::keyClick(confirmationField(), Qt::Key_Return);
    QVERIFY(!sheet()->isVisible());
    waitForTheEndOfTheRun();

    QCOMPARE(uitest::readFile(encrypted), already);
    QVERIFY(!QFileInfo::exists(encrypted + ".brisklet"));
    QVERIFY(QFileInfo::exists(plain + ".brisklet"));
    QCOMPARE(m_delegate->cryptor().statusOnRow(0), int32_t(engine::StatusNone));
    QCOMPARE(rowStatus(0), QString());
    QCOMPARE(m_delegate->cryptor().statusOnRow(1), int32_t(engine::StatusDone));
    // The skipped file is neither a failure nor anything else in the summary.
    QCOMPARE(m_delegate->window()->statusBar()->currentMessage(), QString("1 encrypted"));
}

void ConfirmationSheetTest::encryptThemAgainEncryptsEveryFile() {
    setReEnterPassphrase(false);
    const QString encrypted = addFile("old.txt.brisklet", uitest::sampleContent(320, 2));
    const QString plain = addFile("new.txt", uitest::sampleContent(200, 3));
    typePassphrase(uitest::kStrongPassphrase);
    m_delegate->encrypt();
    QVERIFY(sheet()->isVisible());
    button("encryptAgainButton")->click();
    QVERIFY(!sheet()->isVisible());
    waitForTheEndOfTheRun();
    QVERIFY(QFileInfo::exists(encrypted + ".brisklet"));
    QVERIFY(QFileInfo::exists(plain + ".brisklet"));
    QCOMPARE(m_delegate->window()->statusBar()->currentMessage(), QString("2 encrypted"));
}

void ConfirmationSheetTest::skippingEveryFileStartsNothing() {
    setReEnterPassphrase(false);
    const QByteArray content = uitest::sampleContent(48, 4);
    const QString encrypted = addFile("only.brisklet", content);
    typePassphrase(uitest::kStrongPassphrase);
    m_delegate->encrypt();
    button("confirmOKButton")->click();
    QVERIFY(!spinning());
    QVERIFY(!m_delegate->cryptor().isBusy());
    QCOMPARE(uitest::readFile(encrypted), content);
    QCOMPARE(m_delegate->window()->statusBar()->currentMessage(),
             QString("Nothing was encrypted: every listed file is encrypted already."));
    // Nothing ran, so the passphrase is still there for another try.
    QCOMPARE(passPhraseField()->hiddenStringValue(), QString(uitest::kStrongPassphrase));
    QVERIFY(button("encryptButton")->isEnabled());
}

QTEST_MAIN(ConfirmationSheetTest)
#include "confirmation_sheet_test.moc"
