// SPDX-License-Identifier: GPL-3.0-or-later
// A file manager's menu entry: its files listed as one batch with the direction it names preselected, the
// passphrase field waiting, nothing run before the user confirms; and the same through a later launch.
#include "ui/BriskletAppDelegate.h"

#include "engine/Cryptor.h"
#include "tests/ui/delegate_fixture.h"
#include "tests/ui/ui_test_support.h"
#include "ui/ConfirmationSheet.h"
#include "ui/HandOffMessage.h"
#include "ui/MySecureTextField.h"
#include "ui/Preferences.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

Q_DECLARE_METATYPE(LaunchDirection)

class ChosenDirectionTest : public QObject, public uitest::DelegateFixture {
    Q_OBJECT

private slots:
    void initTestCase() { setUpSettings(); }
    void init() { startTest(); }
    void cleanup() { endTest(); }

    void aMenuEntryListsItsFilesAndWaitsForThePassphrase_data();
    void aMenuEntryListsItsFilesAndWaitsForThePassphrase();
    void returnRunsTheChosenDirectionWhateverTheListHolds_data();
    void returnRunsTheChosenDirectionWhateverTheListHolds();
    void encryptingStillAsksForThePassphraseTwice();
    void theChoiceEndsWhenItsRunStarts();
    void aLaterLaunchReplacesFinishedRowsWithItsFiles();
    void aNameInNoEncodingReachesItsFile();

private:
    LaunchRequest request(LaunchDirection direction, const QStringList& names);
    QString hint() const { return find<QLabel>("runHintLabel")->text(); }
    MySecureTextField* field() const { return find<MySecureTextField>("passPhraseField"); }
};

LaunchRequest ChosenDirectionTest::request(LaunchDirection direction, const QStringList& names) {
    LaunchRequest request;
    request.direction = direction;
    for (const QString& name : names) {
        request.paths.push_back(QFile::encodeName(uitest::writeFile(m_files->path(), name, "plain text")));
    }
    return request;
}

void ChosenDirectionTest::aMenuEntryListsItsFilesAndWaitsForThePassphrase_data() {
    QTest::addColumn<LaunchDirection>("direction");
    QTest::addColumn<QString>("defaultButton");
    QTest::addColumn<QString>("otherButton");
    QTest::addColumn<QString>("hint");
    QTest::newRow("Encrypt with Brisklet") << LaunchDirection::Encrypt << "encryptButton"
                                           << "decryptButton"
                                           << "Type the passphrase, then press Return to encrypt";
    QTest::newRow("Decrypt with Brisklet") << LaunchDirection::Decrypt << "decryptButton"
                                           << "encryptButton"
                                           << "Type the passphrase, then press Return to decrypt";
}

void ChosenDirectionTest::aMenuEntryListsItsFilesAndWaitsForThePassphrase() {
    QFETCH(LaunchDirection, direction);
    QFETCH(QString, defaultButton);
    QFETCH(QString, otherButton);
    QFETCH(QString, hint);
    m_delegate->openRequest(request(direction, {"one.txt", "two.txt"}));

    QCOMPARE(rows(), QStringList({"one.txt", "two.txt"}));
    QVERIFY(button(qPrintable(defaultButton))->isDefault());
    QVERIFY(!button(qPrintable(otherButton))->isDefault());
    QCOMPARE(this->hint(), hint);
    QCOMPARE(m_delegate->window()->focusWidget(), field());
    QVERIFY(!m_delegate->cryptor().isBusy());
    QCOMPARE(uitest::readFile(m_files->filePath("one.txt")), QByteArray("plain text"));

    // Typing keeps the hint: it says what Return will do.
    QTest::keyClicks(field(), uitest::kStrongPassphrase);
    QCOMPARE(this->hint(), hint);
    QVERIFY(!m_delegate->cryptor().isBusy());
}

void ChosenDirectionTest::returnRunsTheChosenDirectionWhateverTheListHolds_data() {
    QTest::addColumn<LaunchDirection>("direction");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("outcome");
    // On their own, a mixed list makes Return do nothing and a plain one makes it encrypt.
    QTest::newRow("encrypt a mixed list")
        << LaunchDirection::Encrypt << QStringList({"a.txt", "b.brisklet"}) << "Encrypted";
    QTest::newRow("decrypt plain files")
        << LaunchDirection::Decrypt << QStringList({"a.txt"}) << "Not an encrypted file";
}

void ChosenDirectionTest::returnRunsTheChosenDirectionWhateverTheListHolds() {
    QFETCH(LaunchDirection, direction);
    QFETCH(QStringList, names);
    QFETCH(QString, outcome);
    setReEnterPassphrase(false);
    m_delegate->window()->show();
    m_delegate->openRequest(request(direction, names));
    QTest::keyClicks(field(), uitest::kStrongPassphrase);
    QTest::keyClick(field(), Qt::Key_Return);
    if (names.contains(QStringLiteral("b.brisklet"))) {
        // A file already encrypted is named first; the default leaves it out and encrypts the rest.
        QTRY_VERIFY(m_delegate->confirmationSheet()->isVisible());
        m_delegate->confirmConfirmationSheet();
    }
    QTRY_VERIFY(!m_delegate->cryptor().isBusy() && button("removeAllButton")->isEnabled());
    QVERIFY2(rowStatus(0).startsWith(outcome), qPrintable(rowStatus(0)));
}

void ChosenDirectionTest::encryptingStillAsksForThePassphraseTwice() {
    m_delegate->window()->show();
    m_delegate->openRequest(request(LaunchDirection::Encrypt, {"a.txt"}));
    QTest::keyClicks(field(), uitest::kStrongPassphrase);
    QTest::keyClick(field(), Qt::Key_Return);
    QTRY_VERIFY(m_delegate->confirmationSheet()->isVisible());
    QVERIFY(!m_delegate->cryptor().isBusy());
    m_delegate->cancelConfirmationSheet();
    QCOMPARE(uitest::readFile(m_files->filePath("a.txt")), QByteArray("plain text"));
}

void ChosenDirectionTest::theChoiceEndsWhenItsRunStarts() {
    setReEnterPassphrase(false);
    m_delegate->openRequest(request(LaunchDirection::Decrypt, {"a.txt"}));
    QTest::keyClicks(field(), uitest::kStrongPassphrase);
    QTest::keyClick(field(), Qt::Key_Return);
    QTRY_VERIFY(!m_delegate->cryptor().isBusy() && button("removeAllButton")->isEnabled());
    QCOMPARE(m_delegate->chosenDirection(), LaunchDirection::None);
    QVERIFY(!button("decryptButton")->isDefault());
    QVERIFY(!hint().contains("Return to decrypt"));
}

void ChosenDirectionTest::aLaterLaunchReplacesFinishedRowsWithItsFiles() {
    setReEnterPassphrase(false);
    m_delegate->openRequest(request(LaunchDirection::Encrypt, {"done.txt"}));
    QTest::keyClicks(field(), uitest::kStrongPassphrase);
    QTest::keyClick(field(), Qt::Key_Return);
    QTRY_VERIFY(!m_delegate->cryptor().isBusy() && button("removeAllButton")->isEnabled());
    QCOMPARE(rows(), QStringList({"done.txt.brisklet"}));

    HandOffMessage message;
    message.request = request(LaunchDirection::Decrypt, {"x.brisklet", "y.brisklet"});
    m_delegate->openFilesFromAnotherInstance(message);
    QCOMPARE(rows(), QStringList({"x.brisklet", "y.brisklet"}));
    QVERIFY(button("decryptButton")->isDefault());
    QCOMPARE(hint(), QString("Type the passphrase, then press Return to decrypt"));
    QVERIFY(m_delegate->window()->isVisible());
    QCOMPARE(m_delegate->window()->focusWidget(), field());
}

void ChosenDirectionTest::aNameInNoEncodingReachesItsFile() {
    // Latin-1 "café" and a byte that no encoding of text gives.
    const QByteArray path = QFile::encodeName(m_files->path()) + "/caf\xe9\xff.txt";
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, "x", 1), ssize_t(1));
    ::close(fd);

    HandOffMessage message;
    message.request.direction = LaunchDirection::Encrypt;
    message.request.paths = {path};
    m_delegate->openFilesFromAnotherInstance(message);
    QCOMPARE(m_delegate->cryptor().urlCount(), uint64_t(1));
    QCOMPARE(QByteArray::fromStdString(m_delegate->cryptor().urlOnRow(0).string()), path);
}

QTEST_MAIN(ChosenDirectionTest)
#include "chosen_direction_test.moc"
