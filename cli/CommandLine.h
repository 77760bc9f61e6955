// SPDX-License-Identifier: GPL-3.0-or-later
// The whole command-line program, from its arguments to its exit status.
#pragma once

namespace cli {

// Parses the arguments, runs the command and returns the exit status (cli/ExitStatus.h).
int runCommandLine(int argc, char** argv);

} // namespace cli
