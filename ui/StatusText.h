// SPDX-License-Identifier: GPL-3.0-or-later
// The short words the file table shows for a row's status, from the engine's status code and reasons.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Which way the run that gave a row its status went. None is also the recovery at launch, which completes
// rewrites of either direction; Check rewrites nothing and leaves the codes as they were.
enum class RunDirection { None, Encrypt, Decrypt, Check };

// Where a row stands while a run is in progress: waiting for a worker, being processed, or listed after the
// run began.
enum class RowPhase { Settled, Queued, InProgress, WaitingForNextRun };

// A check's answer for a row, which the Status column shows in place of the row's outcome until the next
// run. NotChecked: the check was stopped before it reached the row.
enum class CheckAnswer { Opens, DoesNotOpen, NotEncrypted, Unreadable, RewritePending, NotChecked };

// Everything the words depend on; the engine gives the code and the reason, the table the rest.
struct RowStatus {
    int32_t code = 0;                            // engine::StatusCode
    RunDirection direction = RunDirection::None; // of the run that gave the code
    QString reason;                              // the engine's log lines for the row, joined by "; "
    QString fileName;                            // the name the file had when the run began
    QString finalName; // the name the run left the file with, when it renamed it; else empty
    RowPhase phase = RowPhase::Settled;
    // In progress: how far the file has come, 0 to 100; none until its operation has begun.
    std::optional<int> percent;
    // Settled: the latest check's answer, which stands in for the words of the code and reason.
    std::optional<CheckAnswer> check;
    QString checkDetail; // why an Unreadable file could not be read; for Opens, the engine's note of the
                         // passphrase form that opened it, when not the typed one
    // The row's path did not exist when the list last looked (when it was listed, and at a run's start).
    bool missing = false;
};

// One short phrase in the window's own words, e.g. "Encrypted → name.brisklet", "Open in another program
// — unchanged", "Encrypting… 42%", "Opens". Every sentence the engine can give a row is matched, without
// regard to case, against one table; of a reason of several lines the table's earlier, more telling entry
// wins. A check's answer reads as the same outcome of a decryption would. A failure whose reason nobody
// knows shows the reason itself. Empty for a row that has not been processed, is not waiting and exists.
QString statusText(const RowStatus& status);

// Whether the row's file waits, half rewritten or not yet durable, for a recovery to complete it from its
// journal: neither a success nor a plain failure, and drawn as neither.
bool awaitsCompletion(const RowStatus& status);

// The name a run gives the file in that direction: report.pdf -> report.pdf.brisklet and back.
QString renamedFileName(const QString& fileName, RunDirection direction);
