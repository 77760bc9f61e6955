// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps one running window per user and display: a later launch hands its files to it and exits.
#pragma once

#include "ui/HandOffMessage.h"

#include <QLocalServer>
#include <QObject>
#include <QString>

class QLocalSocket;

// The running instance listens on a local socket that only its user may connect to; a later launch
// connects, sends one HandOffMessage and closes. What is not a whole message of this version is dropped,
// and so is a connection that sends more than a message may hold.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // "brisklet-<uid>", plus the display, so that sessions on other displays each get their own window.
    static QString defaultServerName();

    // True when a running instance took the message (the caller then exits); false when none answers.
    static bool handOff(const QString& serverName, const HandOffMessage& message);

    explicit SingleInstance(QObject* parent = nullptr);

    // Starts answering later launches, replacing a socket left behind by an instance that crashed. False
    // when the socket cannot be set up; the application then simply runs without it.
    bool listen(const QString& serverName);

signals:
    // A later launch handed its request over; without files when it was started without any.
    void messageReceived(const HandOffMessage& message);

private:
    void acceptConnection();

    QLocalServer m_server;
};
