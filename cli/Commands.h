// SPDX-License-Identifier: GPL-3.0-or-later
// The commands, each returning the process's exit status.
#pragma once

#include "cli/Arguments.h"

namespace cli {

// encrypt and decrypt: one run of the engine over every listed file, then one result line per file.
int runFileCommand(const Arguments& arguments);

// encrypt -, decrypt - and check -: standard input to standard output, in memory that does not grow
// with the data.
int runStreamCommand(const Arguments& arguments);

// check: whether the passphrase opens each listed file, changing nothing.
int runCheckCommand(const Arguments& arguments);

// guess: finds the passphrase within two typing mistakes of the typed one that opens the one listed file,
// and prints it.
int runGuessCommand(const Arguments& arguments);

// recover: completes every interrupted rewrite of the user's, one line per file.
int runRecoverCommand(const Arguments& arguments);

// colors: the passphrase's four colour bars.
int runColorsCommand(const Arguments& arguments);

} // namespace cli
