// SPDX-License-Identifier: GPL-3.0-or-later
// Check: whether the typed passphrase opens each listed file, answered in the Status column without writing
// anything or changing any row's outcome, and stopped like any other run.
#include "ui/BriskletAppDelegate.h"

#include "engine/Cryptor.h"
#include "engine/ReasonCode.h"
#include "engine/StatusCode.h"
#include "platform/FaultInjection.h"
#include "platform/FileStatus.h"
#include "tests/ui/delegate_fixture.h"
#include "tests/ui/ui_test_support.h"
#include "ui/FileTableModel.h"
#include "ui/MainWindow.h"
#include "ui/MySecureTextField.h"
#include "ui/StatusColors.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QInputMethodEvent>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kRunTimeoutMs = 60000;

// What a check must leave as it was: the bytes and the modification time.
std::pair<QByteArray, int64_t> fileState(const QString& path) {
    const auto status = platform::statusOfPath(path.toStdString(), platform::FollowLinks::Yes);
    return {uitest::readFile(path), status ? status->modifiedNanoseconds : -1};
}

} // namespace

class CheckTest : public QObject, public uitest::DelegateFixture {
    Q_OBJECT

private slots:
    void initTestCase() { setUpSettings(); }
    void init() {
        startTest();
        m_state = std::make_unique<QTemporaryDir>();
        m_previousState = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", m_state->path().toUtf8());
    }
    void cleanup() {
        endTest();
        qputenv("XDG_STATE_HOME", m_previousState);
        m_state.reset();
    }

    void answersEachRowWritingNothingAndChangingNoCode();
    void stopsLikeARunAndRowsAddedMeanwhileWait();
    void quittingDuringACheckAsksNothing();
    void anotherFormOfThePassphraseOpensAndTheRowSaysWhich();

private:
    MySecureTextField* passPhraseField() const { return find<MySecureTextField>("passPhraseField"); }
    bool progressShown() const { return !find<QProgressBar>("progressWheel")->isHidden(); }
    QString message() const { return m_delegate->window()->statusBar()->currentMessage(); }
    void showWindow() const {
        MainWindow* window = m_delegate->window();
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
    // Encrypts the files with the engine itself, outside the window.
    static void encrypt(const std::vector<std::filesystem::path>& files, std::u16string_view passphrase) {
        engine::Cryptor cryptor;
        cryptor.addURLs(files);
        QCOMPARE(cryptor.encryptFilesUsingPassPhrase(passphrase), std::nullopt);
        cryptor.waitUntilAllOperationsAreFinished();
    }

    std::unique_ptr<QTemporaryDir> m_state;
    QByteArray m_previousState;
};

void CheckTest::answersEachRowWritingNothingAndChangingNoCode() {
    const QString opens = uitest::writeFile(m_files->path(), "opens", uitest::sampleContent(5000, 1));
    const QString other = uitest::writeFile(m_files->path(), "other", uitest::sampleContent(300, 2));
    encrypt({opens.toStdString()}, u"right one");
    encrypt({other.toStdString()}, u"another one");
    // A rewrite whose file sync failed stays pending, as a crash would leave it. The replacement's, the
    // record's, the state folder's, then the file's own sync.
    const QString pending = uitest::writeFile(m_files->path(), "pending",
                                              uitest::sampleContent(uitest::RunGate::kUnbatchedFileSize, 3));
    {
        engine::Cryptor cryptor;
        cryptor.addURLs({pending.toStdString()});
        const platform::FaultInjector failing(platform::FaultPoint::Sync, 4);
        QCOMPARE(cryptor.encryptFilesUsingPassPhrase(u"right one"), std::nullopt);
        cryptor.waitUntilAllOperationsAreFinished();
    }
    const QStringList files = {opens + ".brisklet", other + ".brisklet",
                               uitest::writeFile(m_files->path(), "plain.txt", "not encrypted at all"),
                               pending, m_files->filePath("missing")};
    for (const QString& file : files.mid(0, 2)) {
        m_delegate->applicationOpenFile(file);
    }
    // An earlier run with a wrong passphrase gives the first rows an outcome the check must leave alone.
    QTest::keyClicks(passPhraseField(), "wrong one");
    button("decryptButton")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!m_delegate->cryptor().isBusy() && !progressShown(), kRunTimeoutMs);
    QCOMPARE(rowStatus(0),
             QString("Does not open with this passphrase (or is not an encrypted file) — unchanged"));
    for (const QString& file : files.mid(2)) {
        m_delegate->applicationOpenFile(file);
    }
    std::vector<std::pair<int32_t, std::string>> codes;
    std::vector<std::pair<QByteArray, int64_t>> states;
    for (int row = 0; row < files.size(); ++row) {
        codes.emplace_back(m_delegate->cryptor().statusOnRow(row),
                           m_delegate->cryptor().failureReasonOnRow(row));
        states.push_back(fileState(files[row]));
    }
    const QStringList entries = QDir(m_files->path()).entryList(QDir::Files | QDir::Hidden);

    showWindow();
    QTest::keyClicks(passPhraseField(), "right one");
    QTest::keyClick(passPhraseField(), Qt::Key_K, Qt::ControlModifier);
    QVERIFY(progressShown());
    QVERIFY(!button("encryptButton")->isEnabled());
    QVERIFY(!button("removeAllButton")->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!progressShown(), kRunTimeoutMs);

    const QList<QPair<QString, StatusTone>> answers = {
        {"Opens", StatusTone::Success},
        {"Does not open with this passphrase (or is not an encrypted file) — unchanged", StatusTone::Failure},
        {"Not an encrypted file", StatusTone::Failure},
        {"Interrupted: will be completed at the next start or run", StatusTone::Caution},
        {"Not found", StatusTone::Failure},
    };
    for (int row = 0; row < files.size(); ++row) {
        QCOMPARE(rowStatus(row), answers[row].first);
        QCOMPARE(rowTone(row), int(answers[row].second));
        QCOMPARE(
            std::pair(m_delegate->cryptor().statusOnRow(row), m_delegate->cryptor().failureReasonOnRow(row)),
            codes[size_t(row)]);
        QVERIFY2(fileState(files[row]) == states[size_t(row)], qPrintable(files[row]));
    }
    QCOMPARE(QDir(m_files->path()).entryList(QDir::Files | QDir::Hidden), entries);
    // Unlike a decryption, the check leaves the passphrase in the field, ready for Decrypt.
    QCOMPARE(passPhraseField()->hiddenStringValue(), QString("right one"));
    QVERIFY(find<QAction>("checkAction")->isEnabled());
    QVERIFY(button("checkButton")->isEnabled());
    QVERIFY(button("removeAllButton")->isEnabled());

    // The answers stand until the next run, whose outcomes take their place.
    button("decryptButton")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!m_delegate->cryptor().isBusy() && !progressShown(), kRunTimeoutMs);
    QCOMPARE(rowStatus(0), QString("Decrypted → opens"));
    QCOMPARE(rowStatus(1),
             QString("Does not open with this passphrase (or is not an encrypted file) — unchanged"));
}

void CheckTest::stopsLikeARunAndRowsAddedMeanwhileWait() {
    const QString file = uitest::writeFile(m_files->path(), "opens", uitest::sampleContent(100, 4));
    encrypt({file.toStdString()}, u"many rows");
    // One file listed many times: a check long enough to be stopped before its end.
    const int rows = 2000;
    for (int row = 0; row < rows; ++row) {
        m_delegate->applicationOpenFile(file + ".brisklet");
    }
    showWindow();
    QTest::keyClicks(passPhraseField(), "many rows");
    find<QAction>("checkAction")->trigger();
    QVERIFY(button("stopButton")->isEnabled());
    // Listed during the check: not one of its rows.
    const QString late = addFile("late.txt", "late");
    QCOMPARE(rowStatus(rows), QString("Waiting for the next run"));
    QTest::keyClick(passPhraseField(), Qt::Key_Escape);
    QVERIFY(!button("stopButton")->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!progressShown(), kRunTimeoutMs);

    int unchecked = 0;
    for (int row = 0; row < rows; ++row) {
        const QString words = rowStatus(row);
        QVERIFY2(words == "Opens" || words == "Stopped, not checked", qPrintable(words));
        unchecked += words == "Stopped, not checked" ? 1 : 0;
        if (words != "Opens") {
            QCOMPARE(rowTone(row), int(StatusTone::Neutral));
        }
    }
    QVERIFY(unchecked > 0);
    QCOMPARE(message(), QString("Check stopped; %1 files were not checked.").arg(unchecked));
    QCOMPARE(rowStatus(rows), QString());
    QCOMPARE(m_delegate->cryptor().statusOnRow(rows), int32_t(engine::StatusNone));
    QCOMPARE(uitest::readFile(late), QByteArray("late"));
    QVERIFY(!passPhraseField()->hiddenStringValue().isEmpty()); // a check keeps the passphrase

    // A removal moves rows, so answers go with it rather than land on the wrong files.
    table()->selectRow(0);
    button("removeSelectedButton")->click();
    QCOMPARE(rowStatus(0), QString());
}

// A check writes nothing, so there is nothing to finish and nothing to ask before quitting.
void CheckTest::quittingDuringACheckAsksNothing() {
    int quits = 0;
    m_delegate->setQuitter([&] { ++quits; });
    const QString file = uitest::writeFile(m_files->path(), "opens", uitest::sampleContent(100, 5));
    encrypt({file.toStdString()}, u"quit now");
    for (int row = 0; row < 200; ++row) {
        m_delegate->applicationOpenFile(file + ".brisklet");
    }
    showWindow();
    QTest::keyClicks(passPhraseField(), "quit now");
    find<QAction>("checkAction")->trigger();
    // The check's end reaches the window as a queued call, so it is still in progress here.
    QVERIFY(button("stopButton")->isEnabled());
    find<QAction>("quitAction")->trigger();
    QCOMPARE(quits, 1);
    QCOMPARE(m_delegate->window()->findChild<QMessageBox*>("quitQuestion"), nullptr);
}

// A passphrase typed with a decomposed letter opens a file encrypted with the composed one, in a check and
// in a decryption, and the row says which form did it.
void CheckTest::anotherFormOfThePassphraseOpensAndTheRowSaysWhich() {
    const QString file = uitest::writeFile(m_files->path(), "letter", uitest::sampleContent(3000, 5));
    encrypt({file.toStdString()}, u"caf\u00e9 cr\u00e8me");
    const QString encrypted = file + ".brisklet";
    m_delegate->applicationOpenFile(encrypted);
    showWindow();
    // The accents as an input method may commit them: base letters, then combining marks.
    QTest::keyClicks(passPhraseField(), "cafe");
    QInputMethodEvent acute;
    acute.setCommitString(QString::fromUtf16(u"\u0301 cre"));
    QApplication::sendEvent(passPhraseField(), &acute);
    QInputMethodEvent grave;
    grave.setCommitString(QString::fromUtf16(u"\u0300me"));
    QApplication::sendEvent(passPhraseField(), &grave);
    QCOMPARE(passPhraseField()->hiddenStringValue(), QString::fromUtf16(u"cafe\u0301 cre\u0300me"));

    find<QAction>("checkAction")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!progressShown(), kRunTimeoutMs);
    QCOMPARE(rowStatus(0), QString("Opens with the passphrase's NFC form"));
    QCOMPARE(rowTone(0), int(StatusTone::Success));

    button("decryptButton")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!m_delegate->cryptor().isBusy() && !progressShown(), kRunTimeoutMs);
    QCOMPARE(rowStatus(0), QString("Decrypted → letter (opened with the passphrase's NFC form)"));
    QCOMPARE(rowTone(0), int(StatusTone::Success));
    QCOMPARE(uitest::readFile(file), uitest::sampleContent(3000, 5));
    QCOMPARE(m_delegate->cryptor().reasonCodesOnRow(0),
             (std::vector<engine::Reason>{{engine::ReasonCode::OpenedWithNfcForm, ""}}));
}

QTEST_MAIN(CheckTest)
#include "check_test.moc"
