// SPDX-License-Identifier: GPL-3.0-or-later
// Tells the desktop's notification service (org.freedesktop.Notifications) how a run ended.
#pragma once

#include <QObject>
#include <QString>

// Sends without waiting for an answer, so a missing or hung service never blocks the window; the
// notification times out on its own.
class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    explicit DesktopNotifier(QObject* parent = nullptr);

    // False when there is no session bus to send it on.
    bool notify(const QString& summary, const QString& body);

    static constexpr int kTimeoutMs = 10000;
};
