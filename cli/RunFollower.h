// SPDX-License-Identifier: GPL-3.0-or-later
// Follows a run of the engine to its end for the command line: progress, signals, and the result lines.
#pragma once

#include "cli/HeldSignals.h"
#include "cli/RunMonitor.h"
#include "engine/Cryptor.h"

#include <cstdint>
#include <string>

namespace cli {

// Waits for the run that `monitor` watches, drawing its progress (bytes and files) on standard error. A
// signal that `signals` holds back stops the run: files not yet being rewritten stay untouched, rewrites
// under way finish, and only then does this return.
void followRun(engine::Cryptor& cryptor, RunMonitor& monitor, HeldSignals& signals);

// "PATH: OUTCOME" for a row after its run: "done", "done (opened with the passphrase's NFD form)",
// "recovered after an interruption", "not renamed (...)", "stopped; untouched" or "failed (...)".
std::string resultLine(const engine::Cryptor& cryptor, int64_t row);

// Prints every row's line on standard output. True when every row is StatusDone, and with `recovered`
// set only when that done was a recovery; otherwise false.
enum class Expect { Processed, Recovered };
bool printResults(const engine::Cryptor& cryptor, Expect expect);

} // namespace cli
