// SPDX-License-Identifier: GPL-3.0-or-later
// Tells the desktop's notification service (org.freedesktop.Notifications) how a run ended.
#include "ui/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

DesktopNotifier::DesktopNotifier(QObject* parent) : QObject(parent) {}

DesktopNotifier::~DesktopNotifier() {
    for (QDBusPendingCall& call : m_pending) {
        call.waitForFinished();
    }
}

bool DesktopNotifier::notify(const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout.
    call << QStringLiteral("Brisklet") << uint(0) << QStringLiteral("brisklet") << summary << body
         << QStringList() << QVariantMap() << int(kTimeoutMs);
    call.setAutoStartService(false);
    m_pending.removeIf([](const QDBusPendingCall& pending) { return pending.isFinished(); });
    m_pending.append(bus.asyncCall(call, kReplyTimeoutMs));
    return true;
}
