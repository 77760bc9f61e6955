// SPDX-License-Identifier: GPL-3.0-or-later
// Stopping a run and quitting during one: files not yet begun stay whole, the window shows the run to its
// end, and the application ends only then.
#include "ui/BriskletAppDelegate.h"

#include "engine/Cryptor.h"
#include "engine/StatusCode.h"
#include "tests/ui/delegate_fixture.h"
#include "tests/ui/ui_test_support.h"
#include "ui/FileTableModel.h"
#include "ui/MainWindow.h"
#include "ui/MySecureTextField.h"
#include "ui/Preferences.h"
#include "ui/QuitSignals.h"
#include "ui/StatusColors.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

constexpr int kRunTimeoutMs = 120000;
// A few MiB each, so that a file's rewrite is real work; the gate decides how far the run gets.
constexpr int kFileSize = 2 * 1024 * 1024;

} // namespace

class StopTest : public QObject, public uitest::DelegateFixture {
    Q_OBJECT

private slots:
    void initTestCase() { setUpSettings(); }
    void init() {
        startTest();
        setReEnterPassphrase(false);
        m_delegate->setQuitter([this] { ++m_quits; });
        m_quits = 0;
    }
    void cleanup() { endTest(); }

    void stopLeavesFilesNotBegunUntouchedAndTheWindowUsable_data();
    void stopLeavesFilesNotBegunUntouchedAndTheWindowUsable();
    void quittingMidRunAsksAndEndsOnlyOnceTheRunHas_data();
    void quittingMidRunAsksAndEndsOnlyOnceTheRunHas();

private:
    // Lists files enough that a gated run holds some back, shows the window and starts encrypting them.
    void startHeldRun(const QString& passphrase);
    QString message() const { return m_delegate->window()->statusBar()->currentMessage(); }
    // "Finishing…", or "Finishing" with names, each that of a file begun and not yet reported.
    bool finishingNamesOnlyFilesBeingWritten() const {
        const QString words = message();
        if (!words.startsWith("Finishing") || !words.endsWith("…")) {
            return false;
        }
        const engine::Cryptor& cryptor = m_delegate->cryptor();
        for (int64_t row = 0; row < int64_t(cryptor.urlCount()); ++row) {
            const auto progress = cryptor.progressOnRow(row);
            const bool beingWritten = progress && !progress->reported && progress->done > 0;
            if (!beingWritten &&
                words.contains(QString::fromStdString(cryptor.fileNameOnRow(int32_t(row))) + "…")) {
                return false;
            }
        }
        return true;
    }
    bool progressShown() const { return !find<QProgressBar>("progressWheel")->isHidden(); }
    void waitForTheEndOfTheRun() const {
        QTRY_VERIFY_WITH_TIMEOUT(!m_delegate->cryptor().isBusy() && !progressShown(), kRunTimeoutMs);
    }
    // Each file is either its whole original under its own name or a whole encryption of it under the new
    // one, never both or neither; returns how many are originals.
    int checkWholeOriginalsOrResults(const QString& passphrase) const;

    QStringList m_paths;
    QList<QByteArray> m_contents;
    int m_quits = 0;
};

void StopTest::startHeldRun(const QString& passphrase) {
    const int files = uitest::RunGate::filesToHoldARun();
    m_paths.clear();
    m_contents.clear();
    for (int i = 0; i < files; ++i) {
        m_contents.append(uitest::sampleContent(kFileSize, unsigned(i)));
        m_paths.append(addFile(QString("big%1.bin").arg(i), m_contents.last()));
    }
    MainWindow* window = m_delegate->window();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClicks(find<MySecureTextField>("passPhraseField"), passphrase);
    button("encryptButton")->click();
    QVERIFY(progressShown());
}

int StopTest::checkWholeOriginalsOrResults(const QString& passphrase) const {
    // Results are decrypted from copies, so that the files stay as the run left them.
    QTemporaryDir copies;
    int originals = 0;
    std::vector<std::filesystem::path> results;
    QList<QByteArray> expected;
    for (int i = 0; i < m_paths.size(); ++i) {
        const bool original = QFileInfo::exists(m_paths[i]);
        const bool result = QFileInfo::exists(m_paths[i] + ".brisklet");
        if (original == result) {
            qWarning("%s: original %d, result %d", qPrintable(m_paths[i]), original, result);
            return -1;
        }
        if (original && uitest::readFile(m_paths[i]) != m_contents[i]) {
            qWarning("%s is not its original", qPrintable(m_paths[i]));
            return -1;
        }
        originals += original ? 1 : 0;
        if (result) {
            const QString copy = copies.filePath(QString("%1.brisklet").arg(i));
            QFile::copy(m_paths[i] + ".brisklet", copy);
            results.push_back(copy.toStdString());
            expected.append(m_contents[i]);
        }
    }
    engine::Cryptor decryption;
    decryption.addURLs(results);
    if (decryption.decryptFilesUsingPassPhrase(passphrase.toStdU16String())) {
        return -1;
    }
    decryption.waitUntilAllOperationsAreFinished();
    for (size_t i = 0; i < results.size(); ++i) {
        const QString decrypted =
            QString::fromStdString(results[i].string()).chopped(int(strlen(".brisklet")));
        if (uitest::readFile(decrypted) != expected[int(i)]) {
            qWarning("%s did not decrypt to its original", qPrintable(decrypted));
            return -1;
        }
    }
    return originals;
}

void StopTest::stopLeavesFilesNotBegunUntouchedAndTheWindowUsable_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Stop button") << "button";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("File menu") << "menu";
}

void StopTest::stopLeavesFilesNotBegunUntouchedAndTheWindowUsable() {
    QFETCH(QString, how);
    auto* stopAction = find<QAction>("stopAction");
    QVERIFY(!stopAction->isEnabled());
    std::optional<uitest::RunGate> gate(std::in_place);
    startHeldRun(uitest::kStrongPassphrase);
    const int files = int(m_paths.size());
    const int held = files - 2;

    // The timer shows the counters: the held files are done, the last two not begun.
    QTRY_COMPARE(find<QLabel>("progressLabel")->text(), QString("%1 of %2 files").arg(held).arg(files));
    QCOMPARE(find<QProgressBar>("progressWheel")->value(), held * 1000 / files);
    QVERIFY(stopAction->isEnabled() && button("stopButton")->isEnabled());

    if (how == "button") {
        QTest::mouseClick(button("stopButton"), Qt::LeftButton);
    } else if (how == "escape") {
        QTest::keyClick(find<MySecureTextField>("passPhraseField"), Qt::Key_Escape);
    } else {
        stopAction->trigger();
    }
    QVERIFY(!button("stopButton")->isEnabled());
    QVERIFY(message().startsWith("Stopping"));
    gate.reset();
    waitForTheEndOfTheRun();

    for (int row = 0; row < files; ++row) {
        const bool stopped = row >= held;
        QCOMPARE(rowStatus(row), stopped ? QString("Stopped, untouched")
                                         : QString("Encrypted → big%1.bin.brisklet").arg(row));
        QCOMPARE(rowTone(row), int(stopped ? StatusTone::Neutral : StatusTone::Success));
    }
    QCOMPARE(checkWholeOriginalsOrResults(uitest::kStrongPassphrase), 2);
    QCOMPARE(message(), QString("Stopped; 2 files were left untouched."));
    QVERIFY(!stopAction->isEnabled());
    QVERIFY(find<MySecureTextField>("passPhraseField")->hiddenStringValue().isEmpty());

    // The window goes on as before: the finished rows go, and a second run encrypts the stopped files.
    button("removeOKsButton")->click();
    QCOMPARE(table()->model()->rowCount(), 2);
    QTest::keyClicks(find<MySecureTextField>("passPhraseField"), uitest::kStrongPassphrase);
    button("encryptButton")->click();
    waitForTheEndOfTheRun();
    for (int row = 0; row < 2; ++row) {
        QCOMPARE(rowStatus(row), QString("Encrypted → big%1.bin.brisklet").arg(held + row));
    }
    QCOMPARE(checkWholeOriginalsOrResults(uitest::kStrongPassphrase), 0);
    QCOMPARE(m_quits, 0);
}

void StopTest::quittingMidRunAsksAndEndsOnlyOnceTheRunHas_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("stop");
    QTest::newRow("Quit, stop and quit") << "quit" << true;
    QTest::newRow("window closed, stop and quit") << "close" << true;
    QTest::newRow("Quit, keep running") << "quit" << false;
    QTest::newRow("SIGTERM: no question") << "signal" << true;
}

void StopTest::quittingMidRunAsksAndEndsOnlyOnceTheRunHas() {
    QFETCH(QString, how);
    QFETCH(bool, stop);
    MainWindow* window = m_delegate->window();
    QuitSignals quitSignals;
    connect(&quitSignals, &QuitSignals::quitRequested, m_delegate.get(), &BriskletAppDelegate::stopAndQuit);
    std::optional<uitest::RunGate> gate(std::in_place);
    startHeldRun(uitest::kStrongPassphrase);
    QTRY_VERIFY(gate->reportsHeld() > 0);

    if (how == "quit") {
        find<QAction>("quitAction")->trigger();
    } else if (how == "close") {
        QVERIFY(!window->close());
    } else {
        ::raise(SIGTERM);
    }
    if (how == "signal") {
        QTRY_VERIFY(finishingNamesOnlyFilesBeingWritten());
        QCOMPARE(window->findChild<QMessageBox*>("quitQuestion"), nullptr);
    } else {
        auto* question = window->findChild<QMessageBox*>("quitQuestion");
        QVERIFY(question != nullptr);
        QTRY_VERIFY(question->isVisible());
        QCOMPARE(question->windowModality(), Qt::WindowModal);
        QCOMPARE(question->text(), QString("Quit while files are being encrypted?"));
        QCOMPARE(question->windowTitle(), question->text());
        QVERIFY(question->informativeText().contains("untouched"));
        QCOMPARE(question->defaultButton()->objectName(), QString("stopAndQuitButton"));
        question->findChild<QPushButton*>(stop ? "stopAndQuitButton" : "keepRunningButton")->click();
        QVERIFY(!question->isVisible());
    }
    // The run cannot end while the gate holds it: nothing quits, and the window says why it stays.
    QVERIFY(window->isVisible());
    QCOMPARE(m_quits, 0);
    if (stop) {
        QVERIFY2(finishingNamesOnlyFilesBeingWritten(), qPrintable(message()));
        QVERIFY(!button("stopButton")->isEnabled());
        // Asking again changes nothing, nor does closing the window.
        find<QAction>("quitAction")->trigger();
        QVERIFY(!window->close());
        QVERIFY(window->isVisible());
        QCOMPARE(window->findChild<QMessageBox*>("quitQuestion") != nullptr &&
                     window->findChild<QMessageBox*>("quitQuestion")->isVisible(),
                 false);
    }
    gate.reset();
    if (stop) {
        QTRY_COMPARE_WITH_TIMEOUT(m_quits, 1, kRunTimeoutMs);
        QVERIFY(!m_delegate->cryptor().isBusy());
        // The files not begun for certain; a file that was still being read when the stop came may be
        // untouched too.
        QVERIFY(checkWholeOriginalsOrResults(uitest::kStrongPassphrase) >= 2);
        return;
    }
    waitForTheEndOfTheRun();
    QCOMPARE(m_quits, 0);
    QCOMPARE(checkWholeOriginalsOrResults(uitest::kStrongPassphrase), 0);
    // With nothing running, quitting asks nothing.
    find<QAction>("quitAction")->trigger();
    QCOMPARE(m_quits, 1);
}

QTEST_MAIN(StopTest)
#include "stop_test.moc"
