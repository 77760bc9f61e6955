// SPDX-License-Identifier: GPL-3.0-or-later
// Progress while a run lasts, stopping it on a signal, and its result lines.
#include "cli/RunFollower.h"

#include "cli/NameEscaping.h"
#include "cli/ProgressBar.h"
#include "engine/LogMessages.h"
#include "engine/StatusCode.h"
#include "platform/FileManager.h"

#include <chrono>
#include <iostream>
#include <string_view>
#include <unistd.h>

namespace cli {

namespace {

constexpr std::chrono::milliseconds kRedrawInterval{100};

bool wasRecovered(const std::string& reason) {
    return reason.find(engine::logmsg::kRecoveredAfterInterruption) != std::string::npos;
}

// "done", with the note of a file that opened only with another form of the passphrase; the row's other
// lines (a journal that could not be removed, the row it shares a file with) stay in the reason alone.
std::string doneText(const std::string& reason) {
    if (wasRecovered(reason)) {
        return std::string(engine::logmsg::kRecoveredAfterInterruption);
    }
    for (const std::string_view note :
         {engine::logmsg::kOpenedWithNfcForm, engine::logmsg::kOpenedWithNfdForm}) {
        if (reason.find(note) != std::string::npos) {
            return "done (" + std::string(note) + ")";
        }
    }
    return "done";
}

} // namespace

void followRun(engine::Cryptor& cryptor, RunMonitor& monitor, HeldSignals& signals) {
    ProgressBar bar(STDERR_FILENO);
    const auto start = std::chrono::steady_clock::now();
    bool stopping = false;
    monitor.waitForEnd(kRedrawInterval, [&] {
        if (!stopping && signals.poll()) {
            stopping = true;
            cryptor.stopRun();
        }
        bar.update(cryptor.runProgress(), std::chrono::steady_clock::now() - start);
    });
    // The last report comes from inside an operation; let every operation finish its work.
    cryptor.waitUntilAllOperationsAreFinished();
}

std::string resultLine(const engine::Cryptor& cryptor, int64_t row) {
    const auto path = cryptor.urlOnRow(row);
    // A reason may quote a name too, such as the one a file could not be renamed to.
    const std::string reason = escapeName(cryptor.failureReasonOnRow(row));
    std::string line = escapePath(path) + ": ";
    switch (cryptor.statusOnRow(row)) {
    case engine::StatusDone:
        return line + doneText(reason);
    case engine::StatusNotRenamed:
        return line + (reason.empty() ? "not renamed" : "not renamed (" + reason + ")");
    case engine::StatusNone:
        return line + (reason.empty() ? "not processed" : reason);
    default:
        break;
    }
    // A missing file fails on opening, which logs nothing; say what the user can check.
    if (reason.empty()) {
        return line + (platform::exists(path) ? "failed" : "failed (no such file)");
    }
    return line + "failed (" + reason + ")";
}

bool printResults(const engine::Cryptor& cryptor, Expect expect) {
    bool allAsExpected = true;
    for (int64_t row = 0; row < static_cast<int64_t>(cryptor.urlCount()); ++row) {
        const bool recovered = wasRecovered(cryptor.failureReasonOnRow(row));
        allAsExpected = allAsExpected && cryptor.statusOnRow(row) == engine::StatusDone &&
                        recovered == (expect == Expect::Recovered);
        std::cout << resultLine(cryptor, row) << '\n';
    }
    std::cout.flush();
    return allAsExpected;
}

} // namespace cli
