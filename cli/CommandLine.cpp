// SPDX-License-Identifier: GPL-3.0-or-later
// Dispatch from the parsed command line to the commands, help and version.
#include "cli/CommandLine.h"

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/ExitStatus.h"
#include "cli/Messages.h"
#include "cli/Usage.h"

#include <iostream>
#include <string>
#include <vector>

namespace cli {

int runCommandLine(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const Arguments arguments = parseArguments(args);
    switch (arguments.action) {
    case Action::ShowHelp:
        std::cout << usageText() << std::flush;
        return ExitSuccess;
    case Action::ShowVersion:
        std::cout << versionLine() << std::endl;
        return ExitSuccess;
    case Action::UsageError:
        // One line that names the mistake; the whole help would bury it.
        printError(arguments.error);
        std::cerr << "Try 'brisklet-cli --help' for more information." << std::endl;
        return ExitUsageError;
    case Action::Run:
        break;
    }
    if (usesStandardStreams(arguments)) {
        return runStreamCommand(arguments);
    }
    switch (arguments.command) {
    case Command::Encrypt:
    case Command::Decrypt:
        return runFileCommand(arguments);
    case Command::Check:
        return runCheckCommand(arguments);
    case Command::Guess:
        return runGuessCommand(arguments);
    case Command::Colors:
        return runColorsCommand(arguments);
    case Command::Recover:
        return runRecoverCommand(arguments);
    }
    return ExitUsageError;
}

} // namespace cli
