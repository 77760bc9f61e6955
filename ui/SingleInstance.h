// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps one running window per user and display: a later launch hands its files to it and exits.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalSocket;

// The running instance listens on a local socket that only its user may connect to; a later launch
// connects, sends the paths it was given (absolute, each ended by a NUL byte) and closes.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // "brisklet-<uid>", plus the display, so that sessions on other displays each get their own window.
    static QString defaultServerName();

    // True when a running instance accepted the paths (the caller then exits); false when none answers.
    static bool handOff(const QString& serverName, const QStringList& paths);

    explicit SingleInstance(QObject* parent = nullptr);

    // Starts answering later launches, replacing a socket left behind by an instance that crashed. False
    // when the socket cannot be set up; the application then simply runs without it.
    bool listen(const QString& serverName);

signals:
    // A later launch handed these paths over; empty when it was started without files.
    void filesReceived(const QStringList& paths);

private:
    void acceptConnection();

    QLocalServer m_server;
};
