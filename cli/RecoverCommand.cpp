// SPDX-License-Identifier: GPL-3.0-or-later
// recover: completes the rewrites that interrupted runs left pending beside their files, or discards one.
#include "cli/Commands.h"

#include "cli/ExitStatus.h"
#include "cli/HeldSignals.h"
#include "cli/Messages.h"
#include "cli/NameEscaping.h"
#include "cli/RunFollower.h"
#include "cli/RunMonitor.h"
#include "engine/Cryptor.h"
#include "engine/JournalDiscard.h"

#include <iostream>

namespace cli {

namespace {

int discard(const std::filesystem::path& journal) {
    const engine::Discarded discarded = engine::discardJournal(journal);
    for (const std::string& line : discarded.lines) {
        std::cout << escapePath(journal) << ": " << escapeName(line) << '\n';
    }
    if (discarded.removed) {
        std::cout << escapePath(journal) << ": discarded\n";
    }
    std::cout.flush();
    return discarded.removed ? ExitSuccess : ExitSomeFailed;
}

} // namespace

int runRecoverCommand(const Arguments& arguments) {
    if (arguments.discard) {
        return discard(arguments.paths.front());
    }
    engine::Cryptor cryptor;
    RunMonitor monitor(cryptor);
    HeldSignals signals;
    if (const auto refusal = cryptor.recoverPendingRewrites(arguments.paths)) {
        printError(*refusal);
        return ExitSomeFailed;
    }
    const auto notices = cryptor.notices();
    for (const std::string& notice : notices) {
        printError(escapeName(notice));
    }
    const uint64_t total = cryptor.urlCount();
    if (total == 0) {
        cryptor.waitUntilAllOperationsAreFinished();
        printError("nothing to recover");
        return notices.empty() ? ExitSuccess : ExitSomeFailed;
    }
    followRun(cryptor, monitor, signals);
    const bool allRecovered = printResults(cryptor, Expect::Recovered);
    if (signals.poll()) {
        return signals.exitStatus();
    }
    return allRecovered && notices.empty() ? ExitSuccess : ExitSomeFailed;
}

} // namespace cli
