// SPDX-License-Identifier: GPL-3.0-or-later
// Shared pieces of the Qt tests: isolated settings, scratch files, and a way to hold a run open.
#pragma once

#include "platform/ObserverRegistration.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <condition_variable>
#include <mutex>

class QAbstractItemModel;

namespace uitest {

// Points QSettings at a scratch directory under test-only names, so that the user's own settings are
// never read or written. Call before anything creates a QSettings.
class IsolatedSettings {
public:
    IsolatedSettings();
    // Forgets every stored value, so that the next test sees the defaults.
    void clear();

private:
    QTemporaryDir m_directory;
};

// Strong enough that encrypting with it warns of nothing (about 105 bits by zxcvbn), so that without
// "Ask for the passphrase twice" a run starts at once.
inline constexpr char kStrongPassphrase[] = "quiet orbit maple tundra 7 lantern";

// Writes the file, failing loudly (qFatal) if it cannot: a test without its files proves nothing.
QString writeFile(const QString& directory, const QString& name, const QByteArray& content);
// The file's bytes; empty when it cannot be read.
QByteArray readFile(const QString& path);
// Content that does not repeat, so that a misplaced byte shows.
QByteArray sampleContent(int size, unsigned seed);
// The rows the table shows, in order.
QStringList rowTexts(const QAbstractItemModel* model);
// The names of the journals of interrupted or running rewrites that lie in the folder.
QStringList journalsIn(const QString& folder);

// Holds every run open: each worker thread of the engine blocks in its first report until release(), so
// a run of more files than there are workers stays busy, with later files not yet started. The run then
// finishes normally. Releases itself on destruction.
class RunGate {
public:
    RunGate();
    ~RunGate();
    RunGate(const RunGate&) = delete;
    RunGate& operator=(const RunGate&) = delete;

    // Enough files that a run of them cannot end while the gate is closed, each at least
    // kUnbatchedFileSize bytes: small files share one operation, which the gate would hold as one.
    static int filesToHoldARun();
    static constexpr int kUnbatchedFileSize = 300 * 1024;
    void release();
    // Reports that have arrived at the gate so far.
    int reportsHeld() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_opened;
    bool m_open = false;
    int m_held = 0;
    platform::ObserverRegistration m_registration;
};

} // namespace uitest
