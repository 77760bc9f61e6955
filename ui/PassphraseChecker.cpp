// SPDX-License-Identifier: GPL-3.0-or-later
// The check's worker thread and the queued calls that carry its answers to the main thread.
#include "ui/PassphraseChecker.h"

#include "engine/PendingFiles.h"

#include <optional>
#include <system_error>
#include <utility>

PassphraseChecker::PassphraseChecker(QObject* parent) : QObject(parent) {}

PassphraseChecker::~PassphraseChecker() {
    stop();
    join();
}

bool PassphraseChecker::start(std::vector<std::filesystem::path> files,
                              std::shared_ptr<const engine::RunKeys> keys) {
    if (m_running) {
        return false;
    }
    // The thread of the last check has posted its end already; it is gone or about to be.
    join();
    m_stop = false;
    try {
        m_thread = std::thread([this, files = std::move(files), keys = std::move(keys)]() mutable {
            run(files, std::move(keys));
        });
    } catch (const std::system_error&) {
        return false;
    }
    m_running = true;
    return true;
}

void PassphraseChecker::stop() {
    m_stop = true;
}

void PassphraseChecker::join() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void PassphraseChecker::run(const std::vector<std::filesystem::path>& files,
                            std::shared_ptr<const engine::RunKeys> keys) {
    engine::PendingFiles pending;
    std::size_t index = 0;
    for (; index < files.size() && !m_stop.load(); ++index) {
        const engine::CheckResult result = engine::checkFile(files[index], *keys, &pending);
        // Queued onto the checker's thread, which keeps their order; the destructor waits for this thread,
        // so `this` outlives every call posted here, and calls still waiting die with the checker.
        QMetaObject::invokeMethod(
            this, [this, index, result] { emit answered(static_cast<int>(index), result); },
            Qt::QueuedConnection);
    }
    keys.reset();
    const bool stopped = index < files.size();
    QMetaObject::invokeMethod(
        this,
        [this, stopped] {
            m_running = false;
            emit finished(stopped);
        },
        Qt::QueuedConnection);
}
