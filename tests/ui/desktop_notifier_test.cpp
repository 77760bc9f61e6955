// SPDX-License-Identifier: GPL-3.0-or-later
// The notification at the end of a run, sent to a stand-in for the desktop's notification service on a
// session bus of the test's own: what arrives, a service that never answers or is not there, and no bus at
// all. Each notification comes from a child process that ends right after sending it, as the application
// does once quitting mid-run has finished.
#include "ui/DesktopNotifier.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr char kSendOption[] = "--send-notification";
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
// How long a call waits for its answer unless told otherwise: libdbus's default reply timeout.
constexpr qint64 kDefaultReplyTimeoutMs = 25000;

// The child: one notification on the session bus its environment names, whether it went, and the end.
int sendNotification(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    DesktopNotifier notifier;
    const bool sent = notifier.notify(QString::fromUtf8(argv[2]), QString::fromUtf8(argv[3]));
    std::puts(sent ? "sent" : "not sent");
    return 0;
}

} // namespace

// The stand-in service: keeps every notification it is sent, and answers with an id only when told to.
class NotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    bool answers = true;
    QList<QDBusMessage> received;

public slots:
    // Its arguments are read from the message, as they came.
    uint Notify(const QString&, uint, const QString&, const QString&, const QString&, const QStringList&,
                const QVariantMap&, int, const QDBusMessage& message) {
        received.append(message);
        if (!answers) {
            message.setDelayedReply(true);
        }
        return uint(received.size());
    }
};

class DesktopNotifierTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void arrivesAsTheSenderEnds_data();
    void arrivesAsTheSenderEnds();
    void sendsNothingWithoutASessionBus_data();
    void sendsNothingWithoutASessionBus();

private:
    // Runs the child with this environment until it ends; returns what it printed.
    QString runChild(const QProcessEnvironment& environment, const QString& summary, const QString& body,
                     qint64* elapsedMs = nullptr);

    QProcess m_bus;
    QString m_address;
    std::unique_ptr<QDBusConnection> m_serverConnection;
    NotificationServer m_server;
};

void DesktopNotifierTest::initTestCase() {
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty()) {
        QSKIP("this test needs dbus-daemon");
    }
    m_bus.setProgram(daemon);
    m_bus.setArguments(
        {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    m_bus.setProcessChannelMode(QProcess::SeparateChannels);
    m_bus.start();
    QVERIFY2(m_bus.waitForStarted(30000), qPrintable(m_bus.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(m_bus.canReadLine() || m_bus.state() == QProcess::NotRunning, 30000);
    m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
    QVERIFY2(!m_address.isEmpty(), qPrintable(QString::fromUtf8(m_bus.readAllStandardError())));

    m_serverConnection = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(m_address, QStringLiteral("notification-server")));
    QVERIFY2(m_serverConnection->isConnected(), qPrintable(m_serverConnection->lastError().message()));
    QVERIFY(m_serverConnection->registerObject(kPath, &m_server, QDBusConnection::ExportAllSlots));
}

void DesktopNotifierTest::cleanupTestCase() {
    if (m_serverConnection) {
        m_serverConnection.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("notification-server"));
    }
    if (m_bus.state() != QProcess::NotRunning) {
        m_bus.terminate();
        m_bus.waitForFinished(30000);
    }
}

QString DesktopNotifierTest::runChild(const QProcessEnvironment& environment, const QString& summary,
                                      const QString& body, qint64* elapsedMs) {
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kSendOption), summary, body});
    // The stand-in is served by this process's event loop, so the wait keeps it turning.
    while (child.state() != QProcess::NotRunning && clock.elapsed() < 60000) {
        QTest::qWait(20);
    }
    if (child.state() != QProcess::NotRunning) {
        child.kill();
        child.waitForFinished();
        return QStringLiteral("still running after a minute");
    }
    if (elapsedMs != nullptr) {
        *elapsedMs = clock.elapsed();
    }
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        return QStringLiteral("ended with status %1").arg(child.exitCode());
    }
    return QString::fromUtf8(child.readAllStandardOutput()).trimmed();
}

void DesktopNotifierTest::arrivesAsTheSenderEnds_data() {
    QTest::addColumn<QString>("server");
    QTest::newRow("a server that answers") << "answers";
    QTest::newRow("a server that never answers") << "never answers";
    QTest::newRow("no notification server on the bus") << "absent";
}

void DesktopNotifierTest::arrivesAsTheSenderEnds() {
    QFETCH(QString, server);
    m_server.received.clear();
    m_server.answers = server == "answers";
    if (server != "absent") {
        QVERIFY(m_serverConnection->registerService(kService));
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    const QString summary = QStringLiteral("Brisklet");
    const QString body = QStringLiteral("6 encrypted, 3 failed, 1 stopped — “ü”");
    qint64 elapsedMs = 0;
    const QString said = runChild(environment, summary, body, &elapsedMs);
    if (server != "absent") {
        QVERIFY(m_serverConnection->unregisterService(kService));
    }

    QCOMPARE(said, QStringLiteral("sent"));
    // An answer that never comes is awaited, at the end only, for the notifier's own short time, not for as
    // long as D-Bus would wait.
    QVERIFY2(elapsedMs < kDefaultReplyTimeoutMs - 5000,
             qPrintable(QStringLiteral("the child took %1 ms").arg(elapsedMs)));
    if (server == "absent") {
        QVERIFY(m_server.received.isEmpty());
        return;
    }
    // The child ended right after sending: the notification still arrived, as it was sent.
    QTRY_COMPARE_WITH_TIMEOUT(m_server.received.size(), 1, 30000);
    const QList<QVariant> arguments = m_server.received.front().arguments();
    QCOMPARE(arguments.size(), 8);
    QCOMPARE(arguments.at(0).toString(), QStringLiteral("Brisklet"));
    QCOMPARE(arguments.at(3).toString(), summary);
    QCOMPARE(arguments.at(4).toString(), body);
    // The notification goes away on its own.
    QCOMPARE(arguments.at(7).toInt(), DesktopNotifier::kTimeoutMs);
}

void DesktopNotifierTest::sendsNothingWithoutASessionBus_data() {
    QTest::addColumn<QString>("address");
    QTest::newRow("no address, no display to start a bus for") << QString();
    QTest::newRow("the address of a socket that is not there") << "unix:path=%1/missing";
}

void DesktopNotifierTest::sendsNothingWithoutASessionBus() {
    QFETCH(QString, address);
    QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY"}) {
        environment.remove(QString::fromLatin1(name));
    }
    // Where libdbus looks for a user's bus when no address is given: there is none there.
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    if (!address.isEmpty()) {
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address.arg(runtime.path()));
    }
    QCOMPARE(runChild(environment, QStringLiteral("Brisklet"), QStringLiteral("1 encrypted")),
             QStringLiteral("not sent"));
}

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], kSendOption) == 0) {
        return sendNotification(argc, argv);
    }
    QCoreApplication application(argc, argv);
    DesktopNotifierTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "desktop_notifier_test.moc"
