// SPDX-License-Identifier: GPL-3.0-or-later
// Tells the desktop's notification service (org.freedesktop.Notifications) how a run ended.
#pragma once

#include <QDBusPendingCall>
#include <QList>
#include <QObject>
#include <QString>

// Sends without waiting for an answer, so a missing or hung service never blocks the window, and the
// notification times out on its own; only as the program ends is an answer awaited, briefly.
class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    explicit DesktopNotifier(QObject* parent = nullptr);
    // Gives the notifications still on their way the time to leave, at most kReplyTimeoutMs: Qt hands a
    // message to its bus thread later, and one sent as the program ends would otherwise go with the process.
    ~DesktopNotifier() override;

    // False when there is no session bus to send it on.
    bool notify(const QString& summary, const QString& body);

    // How long the desktop shows a notification.
    static constexpr int kTimeoutMs = 10000;
    // How long a notification's answer is awaited, and only when the program ends.
    static constexpr int kReplyTimeoutMs = 2000;

private:
    QList<QDBusPendingCall> m_pending;
};
