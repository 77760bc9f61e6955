// SPDX-License-Identifier: GPL-3.0-or-later
// The short words the file table shows for a row's status, from the engine's status code and reasons.
#pragma once

#include "engine/ReasonCode.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

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
    std::vector<engine::Reason> reasons;         // one per line of the engine's reason, in order
    QString reason;    // the engine's own sentence, shown only where no code has the window's words
    QString fileName;  // the name the file had when the run began
    QString finalName; // the name the run left the file with, when it renamed it; else empty
    RowPhase phase = RowPhase::Settled;
    // In progress: how far the file has come, 0 to 100; none until its operation has begun.
    std::optional<int> percent;
    // Settled: the latest check's answer, which stands in for the words of the code and reason.
    std::optional<CheckAnswer> check;
    engine::Reason checkReason; // why an Unreadable file could not be read, or for Opens the form of the
                                // passphrase that opened it; Unknown and empty if nobody knows
    // The row's path did not exist when the list last looked (when it was listed, and at a run's start).
    bool missing = false;
};

// One short phrase in the window's own words and language, e.g. "Encrypted → name.brisklet", "Open in
// another program — unchanged", "Encrypting… 42%", "Opens". The words come from one table keyed by the
// row's status code and reason codes, with a code's detail (a name, a count) put in; of a reason of several
// lines the table's earlier, more telling entry wins. A check's answer reads as the same outcome of a
// decryption would. A failure whose reason no code gives words to shows the engine's sentence itself.
// Empty for a row that has not been processed, is not waiting and exists.
QString statusText(const RowStatus& status);

// Whether the row's file waits, half rewritten or not yet durable, for a recovery to complete it from its
// journal: neither a success nor a plain failure, and drawn as neither.
bool awaitsCompletion(const RowStatus& status);

// Whether a line of a row's reason has `code`.
bool hasReason(const std::vector<engine::Reason>& reasons, engine::ReasonCode code);

// The name a run gives the file in that direction: report.pdf -> report.pdf.brisklet and back.
QString renamedFileName(const QString& fileName, RunDirection direction);
