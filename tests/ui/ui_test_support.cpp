// SPDX-License-Identifier: GPL-3.0-or-later
// Shared pieces of the Qt tests: isolated settings, scratch files, and a way to hold a run open.
#include "tests/ui/ui_test_support.h"

#include "engine/JournalFormat.h"
#include "engine/Notifications.h"
#include "platform/NotificationCenter.h"
#include "platform/OperationQueue.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QtGlobal>

#include <string>

namespace uitest {

IsolatedSettings::IsolatedSettings() {
    if (!m_directory.isValid()) {
        qFatal("no scratch directory for the settings");
    }
    QStandardPaths::setTestModeEnabled(true);
    // A state directory of this program's own: a rewrite one test leaves pending on purpose must not be
    // recovered by another program's launch.
    qputenv("XDG_STATE_HOME", QDir(m_directory.path()).filePath(QStringLiteral("state")).toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_directory.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_directory.path());
    QCoreApplication::setOrganizationName(QStringLiteral("BriskletTests"));
    QCoreApplication::setApplicationName(QCoreApplication::applicationName() + QStringLiteral("-test"));
    clear();
}

void IsolatedSettings::clear() {
    QSettings settings;
    settings.clear();
    settings.sync();
}

QString writeFile(const QString& directory, const QString& name, const QByteArray& content) {
    const QString path = QDir(directory).filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size()) {
        qFatal("could not write %s", qPrintable(path));
    }
    return path;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray sampleContent(int size, unsigned seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    unsigned state = seed * 2654435761u + 1;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 23);
    }
    return bytes;
}

QStringList rowTexts(const QAbstractItemModel* model) {
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row) {
        texts.append(model->index(row, 0).data().toString());
    }
    return texts;
}

QStringList journalsIn(const QString& folder) {
    const QString pattern = QString::fromLatin1(engine::kJournalPrefix.data(),
                                                static_cast<qsizetype>(engine::kJournalPrefix.size())) +
                            QLatin1Char('*');
    return QDir(folder).entryList({pattern}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

RunGate::RunGate() {
    auto& center = platform::NotificationCenter::defaultCenter();
    m_registration = platform::ObserverRegistration(
        center, center.addObserver(std::string(engine::kOperationUpdate), nullptr, [this](const auto&) {
            std::unique_lock lock(m_mutex);
            ++m_held;
            m_opened.wait(lock, [this] { return m_open; });
        }));
}

RunGate::~RunGate() {
    release();
    m_registration.reset();
}

int RunGate::filesToHoldARun() {
    return static_cast<int>(platform::OperationQueue::defaultThreadCount()) + 2;
}

void RunGate::release() {
    {
        std::lock_guard lock(m_mutex);
        m_open = true;
    }
    m_opened.notify_all();
}

int RunGate::reportsHeld() const {
    std::lock_guard lock(m_mutex);
    return m_held;
}

} // namespace uitest
