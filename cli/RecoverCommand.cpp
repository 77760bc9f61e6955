// recover: completes the rewrites that interrupted runs left pending, and cleans up after them.
#include "cli/Commands.h"

#include "cli/ExitStatus.h"
#include "cli/HeldSignals.h"
#include "cli/Messages.h"
#include "cli/RunFollower.h"
#include "cli/RunMonitor.h"
#include "engine/Cryptor.h"

namespace cli {

int runRecoverCommand(const Arguments&) {
    engine::Cryptor cryptor;
    RunMonitor monitor(cryptor);
    HeldSignals signals;
    if (const auto refusal = cryptor.recoverPendingRewrites()) {
        printError(*refusal);
        return ExitSomeFailed;
    }
    const uint64_t total = cryptor.urlCount();
    if (total == 0) {
        printError("nothing to recover");
        return ExitSuccess;
    }
    followRun(cryptor, monitor, signals);
    const bool allRecovered = printResults(cryptor, Expect::Recovered);
    if (signals.poll()) {
        return signals.exitStatus();
    }
    return allRecovered ? ExitSuccess : ExitSomeFailed;
}

} // namespace cli
