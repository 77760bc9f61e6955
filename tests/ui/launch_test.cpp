// SPDX-License-Identifier: GPL-3.0-or-later
// Getting files to the application: command-line paths, the hand-over to a running instance, the open dialog.
#include "ui/FileAndFolderDialog.h"
#include "ui/LaunchArguments.h"
#include "ui/SingleInstance.h"

#include "tests/ui/ui_test_support.h"

#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QListView>
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

} // namespace

class LaunchTest : public QObject {
    Q_OBJECT

private slots:
    void commandLineArgumentsBecomeAbsolutePaths_data();
    void commandLineArgumentsBecomeAbsolutePaths();
    void serverNameBelongsToTheUser();
    void secondLaunchHandsItsFilesToTheRunningInstance_data();
    void secondLaunchHandsItsFilesToTheRunningInstance();
    void handOffWithoutARunningInstanceFails();
    void socketLeftByACrashedInstanceIsReplaced();
    void openDialogAcceptsFilesAndFoldersTogether();
};

void LaunchTest::commandLineArgumentsBecomeAbsolutePaths_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("paths");
    const QString here = QDir::currentPath();
    QTest::newRow("no files") << QStringList{"brisklet"} << QStringList{};
    QTest::newRow("absolute") << QStringList{"brisklet", "/tmp/a b.txt"} << QStringList{"/tmp/a b.txt"};
    QTest::newRow("relative") << QStringList{"brisklet", "docs/x.txt"} << QStringList{here + "/docs/x.txt"};
    QTest::newRow("file URL") << QStringList{"brisklet", "file:///tmp/with%20space.txt"}
                              << QStringList{"/tmp/with space.txt"};
    QTest::newRow("order kept, empty skipped")
        << QStringList{"brisklet", "/b", "", "/a"} << QStringList{"/b", "/a"};
}

void LaunchTest::commandLineArgumentsBecomeAbsolutePaths() {
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, paths);
    QCOMPARE(filePathsFromArguments(arguments), paths);
}

void LaunchTest::serverNameBelongsToTheUser() {
    const QString name = SingleInstance::defaultServerName();
    QVERIFY2(name.startsWith(QString("brisklet-%1").arg(::getuid())), qPrintable(name));
    QVERIFY(!name.contains('/'));
}

void LaunchTest::secondLaunchHandsItsFilesToTheRunningInstance_data() {
    QTest::addColumn<QStringList>("paths");
    QTest::newRow("files") << QStringList{"/home/u/a.txt", "/home/u/with space/b.txt",
                                          QString::fromUtf8("/home/u/\u00fcml\u00e4ut.txt"),
                                          "/home/u/new\nline"};
    QTest::newRow("no files: only brings the window up") << QStringList{};
}

void LaunchTest::secondLaunchHandsItsFilesToTheRunningInstance() {
    QFETCH(QStringList, paths);
    const QString name = uniqueServerName("handoff");
    SingleInstance running;
    QVERIFY(running.listen(name));
    QSignalSpy received(&running, &SingleInstance::filesReceived);

    QVERIFY(SingleInstance::handOff(name, paths));
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(received.first().first().toStringList(), paths);
}

void LaunchTest::handOffWithoutARunningInstanceFails() {
    QVERIFY(!SingleInstance::handOff(uniqueServerName("nobody"), {"/tmp/x"}));
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

    QVERIFY(!SingleInstance::handOff(name, {"/tmp/x"}));
    SingleInstance running;
    QVERIFY(running.listen(name));
    QSignalSpy received(&running, &SingleInstance::filesReceived);
    QVERIFY(SingleInstance::handOff(name, {"/tmp/x"}));
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
