// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps one running window per user and display: a later launch hands its files to it and exits.
#include "ui/SingleInstance.h"

#include <QByteArray>
#include <QLocalSocket>

#include <memory>

#include <unistd.h>

namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr int kTransferTimeoutMs = 3000;
constexpr char kSeparator = '\0';

QString sanitizedDisplay() {
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty()) {
        display = qEnvironmentVariable("DISPLAY");
    }
    for (QChar& c : display) {
        if (!c.isLetterOrNumber() && c != u'-' && c != u'_') {
            c = u'_';
        }
    }
    return display;
}

QStringList decodePaths(const QByteArray& payload) {
    QStringList paths;
    for (const QByteArray& part : payload.split(kSeparator)) {
        if (!part.isEmpty()) {
            paths.append(QString::fromUtf8(part));
        }
    }
    return paths;
}

} // namespace

QString SingleInstance::defaultServerName() {
    QString name = QStringLiteral("brisklet-%1").arg(::getuid());
    const QString display = sanitizedDisplay();
    if (!display.isEmpty()) {
        name += u'-' + display;
    }
    return name;
}

bool SingleInstance::handOff(const QString& serverName, const QStringList& paths) {
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(kConnectTimeoutMs)) {
        return false;
    }
    QByteArray payload;
    for (const QString& path : paths) {
        payload += path.toUtf8();
        payload += kSeparator;
    }
    if (!payload.isEmpty()) {
        socket.write(payload);
        while (socket.bytesToWrite() > 0) {
            if (!socket.waitForBytesWritten(kTransferTimeoutMs)) {
                return false;
            }
        }
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        socket.waitForDisconnected(kTransferTimeoutMs);
    }
    return true;
}

SingleInstance::SingleInstance(QObject* parent) : QObject(parent), m_server(this) {
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
}

bool SingleInstance::listen(const QString& serverName) {
    if (m_server.listen(serverName)) {
        return true;
    }
    // Nobody answered on this name (handOff failed first), so the socket file is a leftover.
    QLocalServer::removeServer(serverName);
    return m_server.listen(serverName);
}

void SingleInstance::acceptConnection() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        auto payload = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, socket,
                [socket, payload] { *payload += socket->readAll(); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, payload] {
            *payload += socket->readAll();
            socket->deleteLater();
            emit filesReceived(decodePaths(*payload));
        });
    }
}
