// SPDX-License-Identifier: GPL-3.0-or-later
// Entry point of brisklet-cli, the command-line front end to the encryption engine.
#include "cli/CommandLine.h"
#include "platform/Lease.h"
#include "platform/ProcessHardening.h"

int main(int argc, char** argv) {
    // Before any passphrase or key exists: none of them may end up in a core file or before a debugger.
    platform::forbidCoreDumps();
    // A run holds a few descriptors per worker; a low soft limit must not fail rows that the hard one allows.
    platform::raiseOpenFileLimit();
    platform::ignoreLeaseBreakSignal();
    return cli::runCommandLine(argc, argv);
}
