// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps one running window per user and display: a later launch hands its files to it and exits.
#include "ui/SingleInstance.h"

#include <QByteArray>
#include <QLocalSocket>

#include <cstdio>
#include <memory>

#include <unistd.h>

namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr int kTransferTimeoutMs = 3000;

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

} // namespace

QString SingleInstance::defaultServerName() {
    QString name = QStringLiteral("brisklet-%1").arg(::getuid());
    const QString display = sanitizedDisplay();
    if (!display.isEmpty()) {
        name += u'-' + display;
    }
    return name;
}

bool SingleInstance::handOff(const QString& serverName, const HandOffMessage& message) {
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(kConnectTimeoutMs)) {
        return false;
    }
    socket.write(message.encode());
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(kTransferTimeoutMs)) {
            return false;
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
        auto overflowed = std::make_shared<bool>(false);
        auto read = [socket, payload, overflowed] {
            *payload += socket->readAll();
            if (payload->size() > HandOffMessage::kMaxMessageBytes && !*overflowed) {
                *overflowed = true;
                payload->clear();
                socket->abort();
            }
        };
        connect(socket, &QLocalSocket::readyRead, socket, read);
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, payload, overflowed, read] {
            read();
            socket->deleteLater();
            const std::optional<HandOffMessage> message =
                *overflowed ? std::nullopt : HandOffMessage::decode(*payload);
            if (!message) {
                // Another version's launch, or not a launch at all: nothing of it is listed.
                std::fprintf(stderr, "brisklet: ignored a hand-off from another launch that is not a message "
                                     "of this version\n");
                return;
            }
            emit messageReceived(*message);
        });
    }
}
