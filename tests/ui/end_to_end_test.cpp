// SPDX-License-Identifier: GPL-3.0-or-later
// Real files encrypted and decrypted through the window, typed and clicked as a user would.
#include "ui/BriskletAppDelegate.h"

#include "engine/Cryptor.h"
#include "engine/StatusCode.h"
#include "platform/FaultInjection.h"
#include "tests/ui/delegate_fixture.h"
#include "tests/ui/ui_test_support.h"
#include "ui/ColorFeedbackView.h"
#include "ui/ConfirmationSheet.h"
#include "ui/FileTableModel.h"
#include "ui/MainWindow.h"
#include "ui/MySecureTextField.h"
#include "ui/Preferences.h"
#include "ui/StatusColors.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kRunTimeoutMs = 120000;

// Types the text key by key. QTest::keyClicks knows only ASCII; other characters arrive as keys that carry
// their text, as an input method delivers them.
void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(widget, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

} // namespace

class EndToEndTest : public QObject, public uitest::DelegateFixture {
    Q_OBJECT

private slots:
    void initTestCase() { setUpSettings(); }
    void init() { startTest(); }
    void cleanup() { endTest(); }
    void encryptsAndDecryptsRealFilesThroughTheWindow();
    void completesAnInterruptedRewriteAtLaunch();
    void theListFollowsItsFilesFromEncryptToDecrypt();
    void aSortedListRemovesTheRowsItShows();

private:
    void checkStateAfterRun(int rows, const QString& verb) const;
};

void EndToEndTest::checkStateAfterRun(int rows, const QString& verb) const {
    auto* model = table()->model();
    QCOMPARE(model->rowCount(), rows);
    for (int row = 0; row < rows; ++row) {
        const QString status = model->index(row, FileTableModel::StatusColumn).data().toString();
        QVERIFY2(status.startsWith(verb + " → "), qPrintable(status));
    }
    auto* field = find<MySecureTextField>("passPhraseField");
    QVERIFY(field->hiddenStringValue().isEmpty());
    QVERIFY(field->text().isEmpty());
    QVERIFY(!find<ColorFeedbackView>("feedbackView")->isVisible());
    QVERIFY(button("removeAllButton")->isEnabled());
    QVERIFY(button("removeOKsButton")->isEnabled());
}

void EndToEndTest::encryptsAndDecryptsRealFilesThroughTheWindow() {
    const QList<QPair<QString, QByteArray>> originals = {
        {"empty.txt", QByteArray()},
        {"short.txt", "A line of text.\n"},
        {"blocks.bin", uitest::sampleContent(4096, 7)},
        {"odd size.dat", uitest::sampleContent(100003, 11)},
    };
    QList<QUrl> urls;
    for (const auto& [name, content] : originals) {
        urls.append(QUrl::fromLocalFile(uitest::writeFile(m_files->path(), name, content)));
    }
    const QString passphrase = QString::fromUtf8("Correct horse, battery staple \u00e9\u20ac");

    MainWindow* window = m_delegate->window();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));

    m_delegate->setOpenPanel([&](QWidget*) { return std::optional<QList<QUrl>>(urls); });
    find<QAction>("openAction")->trigger();
    auto* field = find<MySecureTextField>("passPhraseField");
    QCOMPARE(window->focusWidget(), field);

    // Encrypt: typed key by key, the button, the confirmation typed, OK.
    typeText(field, passphrase);
    QCOMPARE(field->hiddenStringValue(), passphrase);
    QVERIFY(find<ColorFeedbackView>("feedbackView")->isVisible());
    QTest::mouseClick(button("encryptButton"), Qt::LeftButton);
    ConfirmationSheet* sheet = m_delegate->confirmationSheet();
    QVERIFY(QTest::qWaitForWindowExposed(sheet));
    typeText(find<MySecureTextField>("confirmationField"), passphrase);
    QVERIFY(button("confirmOKButton")->isEnabled());
    QTest::mouseClick(button("confirmOKButton"), Qt::LeftButton);
    QVERIFY(!sheet->isVisible());
    QVERIFY(find<QProgressBar>("progressWheel")->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!find<QProgressBar>("progressWheel")->isVisible(), kRunTimeoutMs);

    checkStateAfterRun(int(originals.size()), "Encrypted");
    QList<QUrl> encrypted;
    for (const auto& [name, content] : originals) {
        const QString path = m_files->filePath(name);
        QVERIFY2(!QFileInfo::exists(path), qPrintable(path));
        const QByteArray bytes = uitest::readFile(path + ".brisklet");
        QVERIFY2(bytes.size() > content.size(), qPrintable(name));
        QVERIFY(!bytes.contains(content.left(64)) || content.isEmpty());
        encrypted.append(QUrl::fromLocalFile(path + ".brisklet"));
    }

    // Decrypt: the finished rows go, the encrypted files come in, Ctrl+D from the passphrase field.
    button("removeOKsButton")->click();
    QCOMPARE(table()->model()->rowCount(), 0);
    m_delegate->setOpenPanel([&](QWidget*) { return std::optional<QList<QUrl>>(encrypted); });
    m_delegate->openDocument();
    // The offscreen platform does not hand activation back to the window when the sheet closes.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    typeText(field, passphrase);
    QTest::keyClick(field, Qt::Key_D, Qt::ControlModifier);
    QVERIFY(!sheet->isVisible());
    QVERIFY(find<QProgressBar>("progressWheel")->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!find<QProgressBar>("progressWheel")->isVisible(), kRunTimeoutMs);

    checkStateAfterRun(int(originals.size()), "Decrypted");
    for (const auto& [name, content] : originals) {
        const QString path = m_files->filePath(name);
        QVERIFY2(!QFileInfo::exists(path + ".brisklet"), qPrintable(path));
        QCOMPARE(uitest::readFile(path), content);
    }
    QCOMPARE(QDir(m_files->path()).entryList(QDir::Files | QDir::Hidden).size(), originals.size());
}

// A rewrite whose file sync failed is left pending, as a crash would leave it: the file partly rewritten
// under its name, its journal beside it, its folder noted in the state directory. The next launch finds it
// there and completes it.
void EndToEndTest::completesAnInterruptedRewriteAtLaunch() {
    QTemporaryDir state;
    const QByteArray previousState = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", state.path().toUtf8());
    const QByteArray content = uitest::sampleContent(300000, 3); // large enough to be rewritten alone
    const QString path = uitest::writeFile(m_files->path(), "report.odt", content);
    // The journal's syncs and its folder's come before the file's own, and a failure of one of them leaves
    // neither the file touched nor a journal: the first failed sync that leaves a journal is the file's.
    for (int nth = 1; uitest::journalsIn(m_files->path()).isEmpty(); ++nth) {
        QVERIFY2(nth <= 6, "no failed sync left the rewrite pending");
        QCOMPARE(uitest::readFile(path), content);
        engine::Cryptor cryptor;
        cryptor.addURLs({path.toStdString()});
        const platform::FaultInjector failing(platform::FaultPoint::Sync, nth);
        QCOMPARE(cryptor.encryptFilesUsingPassPhrase(u"pass phrase"), std::nullopt);
        cryptor.waitUntilAllOperationsAreFinished();
        QCOMPARE(cryptor.statusOnRow(0), int32_t{engine::StatusFailed});
    }
    QCOMPARE(uitest::journalsIn(m_files->path()).size(), qsizetype{1});
    QVERIFY(QFileInfo::exists(path));
    QVERIFY(uitest::readFile(path) != content);

    m_delegate = std::make_unique<BriskletAppDelegate>();
    m_delegate->applicationDidFinishLaunching();
    auto* model = table()->model();
    QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(), 1, kRunTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(
        m_delegate->window()->statusBar()->currentMessage().startsWith("Recovered 1 file"), kRunTimeoutMs);
    QCOMPARE(model->index(0, FileTableModel::StatusColumn).data().toString(),
             QStringLiteral("Encryption completed after an interruption → report.odt.brisklet"));
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(uitest::journalsIn(m_files->path()), QStringList());
    {
        engine::Cryptor cryptor;
        cryptor.addURLs({(path + ".brisklet").toStdString()});
        QCOMPARE(cryptor.decryptFilesUsingPassPhrase(u"pass phrase"), std::nullopt);
        cryptor.waitUntilAllOperationsAreFinished();
        QCOMPARE(cryptor.statusOnRow(0), int32_t{engine::StatusDone});
    }
    QCOMPARE(uitest::readFile(path), content);
    qputenv("XDG_STATE_HOME", previousState);
}

// After Encrypt the rows name the new files, keeping their outcome; Decrypt on the same list brings back the
// very bytes, and the rows follow the files home again.
void EndToEndTest::theListFollowsItsFilesFromEncryptToDecrypt() {
    setReEnterPassphrase(false);
    QList<QByteArray> contents;
    for (int i = 0; i < 3; ++i) {
        contents.append(uitest::sampleContent(1000 * i + 17, unsigned(i)));
        addFile(QStringLiteral("f%1.txt").arg(i), contents.back());
    }
    auto* field = find<MySecureTextField>("passPhraseField");
    typeText(field, uitest::kStrongPassphrase);
    button("encryptButton")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!m_delegate->cryptor().isBusy() && button("removeAllButton")->isEnabled(),
                             kRunTimeoutMs);
    QCOMPARE(rows(), QStringList({"f0.txt.brisklet", "f1.txt.brisklet", "f2.txt.brisklet"}));
    QCOMPARE(rowStatus(1), QStringLiteral("Encrypted → f1.txt.brisklet"));
    QCOMPARE(rowTone(1), int(StatusTone::Success));

    typeText(field, uitest::kStrongPassphrase);
    button("decryptButton")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!m_delegate->cryptor().isBusy() && button("removeAllButton")->isEnabled(),
                             kRunTimeoutMs);
    QCOMPARE(rows(), QStringList({"f0.txt", "f1.txt", "f2.txt"}));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(rowStatus(i), QStringLiteral("Decrypted → f%1.txt").arg(i));
        QCOMPARE(uitest::readFile(m_files->filePath(QStringLiteral("f%1.txt").arg(i))), contents[i]);
    }
}

// Sorted by status, failures come first, and removing the selected rows removes those, not the rows that
// were at their places in the listed order.
void EndToEndTest::aSortedListRemovesTheRowsItShows() {
    setReEnterPassphrase(false);
    addFile("b.txt", "bee");
    m_delegate->applicationOpenFile(m_files->filePath("missing.txt"));
    addFile("a.txt", "ay");
    typeText(find<MySecureTextField>("passPhraseField"), uitest::kStrongPassphrase);
    button("encryptButton")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!m_delegate->cryptor().isBusy() && button("removeAllButton")->isEnabled(),
                             kRunTimeoutMs);

    table()->sortByColumn(FileTableModel::StatusColumn, Qt::AscendingOrder);
    QCOMPARE(rows().first(), QStringLiteral("missing.txt"));
    table()->sortByColumn(FileTableModel::NameColumn, Qt::AscendingOrder);
    QCOMPARE(rows(), QStringList({"a.txt.brisklet", "b.txt.brisklet", "missing.txt"}));
    table()->selectRow(0);
    button("removeSelectedButton")->click();
    QCOMPARE(rows(), QStringList({"b.txt.brisklet", "missing.txt"}));
    QCOMPARE(m_delegate->cryptor().fileNameOnRow(0), std::string("b.txt.brisklet"));
    QCOMPARE(table()->currentIndex().row(), 0); // the next row is current
}

QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
