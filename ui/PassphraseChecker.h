// SPDX-License-Identifier: GPL-3.0-or-later
// Tells, on a thread of its own, whether a decryption key opens each of a list of files; writes nothing.
#pragma once

#include "crypto/twofish.h"
#include "engine/PassphraseCheck.h"
#include "engine/Secret.h"

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

    // Checks the files with `key`, a schedule built for DIR_DECRYPT; the checker keeps one copy of it and
    // wipes that at the end. False, starting nothing, while a check is running or when no thread could be
    // started.
    bool start(std::vector<std::filesystem::path> files, const twofish::keyInstance& key);
    // Files not yet begun get no answer; finished() says whether any was left out.
    void stop();
    // From start() until finished() has been emitted.
    bool isRunning() const { return m_running; }

signals:
    void answered(int index, engine::CheckResult result);
    // `stopped`: stop() left some files without an answer.
    void finished(bool stopped);

private:
    void run(const std::vector<std::filesystem::path>& files,
             std::unique_ptr<engine::Secret<twofish::keyInstance>> key);
    void join();

    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    bool m_running = false;
};
