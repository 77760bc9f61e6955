// SPDX-License-Identifier: GPL-3.0-or-later
// Getting files to the application: command-line paths and direction, the hand-over to a running instance,
// the open dialog.
#include "ui/FileAndFolderDialog.h"
#include "ui/HandOffMessage.h"
#include "ui/LaunchArguments.h"
#include "ui/SingleInstance.h"

#include "tests/ui/ui_test_support.h"

#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QListView>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QString uniqueServerName(const char* purpose) {
    return QString("brisklet-test-%1-%2").arg(::getpid()).arg(QLatin1String(purpose));
}

HandOffMessage oneFile() {
    HandOffMessage message;
    message.request.paths = {"/tmp/x"};
    return message;
}

} // namespace

class LaunchTest : public QObject {
    Q_OBJECT

private slots:
    void commandLineArgumentsBecomeAbsolutePaths_data();
    void commandLineArgumentsBecomeAbsolutePaths();
    void aDirectionOptionPreselectsEncryptOrDecrypt_data();
    void aDirectionOptionPreselectsEncryptOrDecrypt();
    void serverNameBelongsToTheUser();
    void secondLaunchHandsItsFilesToTheRunningInstance_data();
    void secondLaunchHandsItsFilesToTheRunningInstance();
    void handOffWithoutARunningInstanceFails();
    void aConnectionThatIsNoMessageIsIgnored_data();
    void aConnectionThatIsNoMessageIsIgnored();
    void socketLeftByACrashedInstanceIsReplaced();
    void openDialogAcceptsFilesAndFoldersTogether();
};

void LaunchTest::commandLineArgumentsBecomeAbsolutePaths_data() {
    QTest::addColumn<QByteArrayList>("arguments");
    QTest::addColumn<QByteArrayList>("paths");
    const QByteArray here = QFile::encodeName(QDir::currentPath());
    QTest::newRow("no files") << QByteArrayList{"brisklet"} << QByteArrayList{};
    QTest::newRow("absolute") << QByteArrayList{"brisklet", "/tmp/a b.txt"} << QByteArrayList{"/tmp/a b.txt"};
    QTest::newRow("relative") << QByteArrayList{"brisklet", "docs/x.txt"}
                              << QByteArrayList{here + "/docs/x.txt"};
    QTest::newRow("file URL") << QByteArrayList{"brisklet", "file:///tmp/with%20space.txt"}
                              << QByteArrayList{"/tmp/with space.txt"};
    QTest::newRow("file URL of localhost")
        << QByteArrayList{"brisklet", "file://localhost/tmp/x"} << QByteArrayList{"/tmp/x"};
    QTest::newRow("file URL of another host: left out")
        << QByteArrayList{"brisklet", "file://elsewhere/tmp/x"} << QByteArrayList{};
    // Bytes that are no UTF-8, as a name written in an old 8-bit encoding has them.
    QTest::newRow("name in no encoding")
        << QByteArrayList{"brisklet", "/tmp/caf\xe9 \xff.txt"} << QByteArrayList{"/tmp/caf\xe9 \xff.txt"};
    QTest::newRow("file URL of a name in no encoding")
        << QByteArrayList{"brisklet", "file:///tmp/caf%E9%FF.txt"} << QByteArrayList{"/tmp/caf\xe9\xff.txt"};
    QTest::newRow("order kept, empty skipped")
        << QByteArrayList{"brisklet", "/b", "", "/a"} << QByteArrayList{"/b", "/a"};
    QTest::newRow("after --, options are files")
        << QByteArrayList{"brisklet", "--", "--encrypt"} << QByteArrayList{here + "/--encrypt"};
}

void LaunchTest::commandLineArgumentsBecomeAbsolutePaths() {
    QFETCH(QByteArrayList, arguments);
    QFETCH(QByteArrayList, paths);
    const LaunchArguments parsed = parseLaunchArguments(arguments);
    QVERIFY(parsed.error.isEmpty());
    QCOMPARE(QByteArrayList(parsed.request.paths.begin(), parsed.request.paths.end()), paths);
    QCOMPARE(parsed.request.direction, LaunchDirection::None);
}

void LaunchTest::aDirectionOptionPreselectsEncryptOrDecrypt_data() {
    QTest::addColumn<QByteArrayList>("arguments");
    QTest::addColumn<LaunchDirection>("direction");
    QTest::addColumn<int>("files");
    QTest::addColumn<bool>("valid");
    QTest::newRow("encrypt") << QByteArrayList{"brisklet", "--encrypt", "/a", "/b"}
                             << LaunchDirection::Encrypt << 2 << true;
    QTest::newRow("decrypt") << QByteArrayList{"brisklet", "--decrypt", "/a.brisklet"}
                             << LaunchDirection::Decrypt << 1 << true;
    QTest::newRow("after the files") << QByteArrayList{"brisklet", "/a", "--decrypt"}
                                     << LaunchDirection::Decrypt << 1 << true;
    QTest::newRow("without files") << QByteArrayList{"brisklet", "--encrypt"} << LaunchDirection::Encrypt << 0
                                   << true;
    QTest::newRow("given twice") << QByteArrayList{"brisklet", "--encrypt", "--encrypt", "/a"}
                                 << LaunchDirection::Encrypt << 1 << true;
    QTest::newRow("both: refused") << QByteArrayList{"brisklet", "--encrypt", "--decrypt", "/a"}
                                   << LaunchDirection::Decrypt << 1 << false;
}

void LaunchTest::aDirectionOptionPreselectsEncryptOrDecrypt() {
    QFETCH(QByteArrayList, arguments);
    QFETCH(LaunchDirection, direction);
    QFETCH(int, files);
    QFETCH(bool, valid);
    const LaunchArguments parsed = parseLaunchArguments(arguments);
    QCOMPARE(parsed.error.isEmpty(), valid);
    QCOMPARE(parsed.request.direction, direction);
    QCOMPARE(int(parsed.request.paths.size()), files);
}

void LaunchTest::serverNameBelongsToTheUser() {
    const QString name = SingleInstance::defaultServerName();
    QVERIFY2(name.startsWith(QString("brisklet-%1").arg(::getuid())), qPrintable(name));
    QVERIFY(!name.contains('/'));
}

void LaunchTest::secondLaunchHandsItsFilesToTheRunningInstance_data() {
    QTest::addColumn<QByteArrayList>("paths");
    QTest::addColumn<LaunchDirection>("direction");
    QTest::addColumn<QByteArray>("token");
    QTest::newRow("files") << QByteArrayList{"/home/u/a.txt", "/home/u/with space/b.txt",
                                             "/home/u/\xc3\xbcml\xc3\xa4ut.txt", "/home/u/new\nline",
                                             "/home/u/latin1 \xe9\xff"}
                           << LaunchDirection::Encrypt << QByteArray("kwin-1234_TIME5678");
    QTest::newRow("no files: only brings the window up")
        << QByteArrayList{} << LaunchDirection::None << QByteArray();
}

void LaunchTest::secondLaunchHandsItsFilesToTheRunningInstance() {
    QFETCH(QByteArrayList, paths);
    QFETCH(LaunchDirection, direction);
    QFETCH(QByteArray, token);
    const QString name = uniqueServerName("handoff");
    SingleInstance running;
    QVERIFY(running.listen(name));
    QSignalSpy received(&running, &SingleInstance::messageReceived);

    HandOffMessage message;
    message.request.direction = direction;
    message.request.paths.assign(paths.begin(), paths.end());
    message.activationToken = token;
    QVERIFY(SingleInstance::handOff(name, message));
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(received.first().first().value<HandOffMessage>(), message);
}

void LaunchTest::handOffWithoutARunningInstanceFails() {
    QVERIFY(!SingleInstance::handOff(uniqueServerName("nobody"), oneFile()));
}

void LaunchTest::aConnectionThatIsNoMessageIsIgnored_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("nothing") << QByteArray();
    QTest::newRow("an earlier launch's NUL-separated paths") << QByteArray("/tmp/a\0/tmp/b\0", 14);
    QTest::newRow("cut short") << oneFile().encode().chopped(3);
    QTest::newRow("more than a message may hold")
        << oneFile().encode() + QByteArray(HandOffMessage::kMaxMessageBytes, 'x');
}

// The window stays as it was, and the next launch is still heard.
void LaunchTest::aConnectionThatIsNoMessageIsIgnored() {
    QFETCH(QByteArray, bytes);
    const QString name = uniqueServerName("garbage");
    SingleInstance running;
    QVERIFY(running.listen(name));
    QSignalSpy received(&running, &SingleInstance::messageReceived);
    {
        QLocalSocket socket;
        socket.connectToServer(name);
        QVERIFY(socket.waitForConnected(1000));
        socket.write(bytes);
        while (socket.bytesToWrite() > 0 && socket.state() == QLocalSocket::ConnectedState) {
            socket.waitForBytesWritten(100);
            QCoreApplication::processEvents();
        }
        socket.disconnectFromServer();
    }
    QVERIFY(SingleInstance::handOff(name, oneFile()));
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(received.first().first().value<HandOffMessage>(), oneFile());
    QTest::qWait(200);
    QCOMPARE(received.count(), 1);
}

void LaunchTest::socketLeftByACrashedInstanceIsReplaced() {
    const QString name = uniqueServerName("stale");
    const QByteArray path = QFile::encodeName(QDir::cleanPath(QDir::tempPath()) + '/' + name);
    // A bound socket closed without removing its file: what a crash leaves behind.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    QVERIFY(size_t(path.size()) < sizeof(address.sun_path));
    std::copy(path.begin(), path.end(), address.sun_path);
    QCOMPARE(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    QVERIFY(QFile::exists(QString::fromLocal8Bit(path)));

    QVERIFY(!SingleInstance::handOff(name, oneFile()));
    SingleInstance running;
    QVERIFY(running.listen(name));
    QSignalSpy received(&running, &SingleInstance::messageReceived);
    QVERIFY(SingleInstance::handOff(name, oneFile()));
    QTRY_COMPARE(received.count(), 1);
}

void LaunchTest::openDialogAcceptsFilesAndFoldersTogether() {
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString file = uitest::writeFile(directory.path(), "file.txt", "f");
    uitest::writeFile(directory.path(), "folder/inside.txt", "i");

    FileAndFolderDialog dialog;
    QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
    dialog.setDirectory(directory.path());
    auto* list = dialog.findChild<QListView*>("listView");
    QVERIFY(list != nullptr);
    QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    QTRY_COMPARE(list->model()->rowCount(list->rootIndex()), 2);

    for (int row = 0; row < 2; ++row) {
        list->selectionModel()->select(list->model()->index(row, 0, list->rootIndex()),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QList<QUrl> chosen = dialog.chosenUrls();
    std::sort(chosen.begin(), chosen.end());
    QCOMPARE(chosen,
             (QList<QUrl>{QUrl::fromLocalFile(file), QUrl::fromLocalFile(directory.filePath("folder"))}));
}

QTEST_MAIN(LaunchTest)
#include "launch_test.moc"
