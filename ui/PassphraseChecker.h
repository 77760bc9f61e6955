// SPDX-License-Identifier: GPL-3.0-or-later
// Tells, on a thread of its own, whether decryption keys open each of a list of files; writes nothing.
#pragma once

#include "engine/PassphraseCheck.h"
#include "engine/RunKeys.h"

#include <QObject>

#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

// The check of each file reads its last two blocks (engine::checkFile), and a file with an interrupted
// rewrite recorded in the state directory is reported as pending without being read. Answers come back to
// the thread that owns the checker as queued calls, in the files' order, followed by finished(). Nothing
// of the engine's file list is touched, so rows added meanwhile cannot disturb it.
class PassphraseChecker : public QObject {
    Q_OBJECT
public:
    explicit PassphraseChecker(QObject* parent = nullptr);
    // Stops a check still running and waits for its thread; answers not yet delivered are dropped.
    ~PassphraseChecker() override;

    // Checks the files with `keys`, made for DIR_DECRYPT, each tried in turn as a decryption would; the
    // checker lets go of them at the end, so that they are wiped once the caller has too. False, starting
    // nothing, while a check is running or when no thread could be started.
    bool start(std::vector<std::filesystem::path> files, std::shared_ptr<const engine::RunKeys> keys);
    // Files not yet begun get no answer; finished() says whether any was left out.
    void stop();
    // From start() until finished() has been emitted.
    bool isRunning() const { return m_running; }

signals:
    void answered(int index, engine::CheckResult result);
    // `stopped`: stop() left some files without an answer.
    void finished(bool stopped);

private:
    void run(const std::vector<std::filesystem::path>& files, std::shared_ptr<const engine::RunKeys> keys);
    void join();

    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    bool m_running = false;
};
