// SPDX-License-Identifier: GPL-3.0-or-later
// Error lines on standard error.
#include "cli/Messages.h"

#include "cli/WriteAll.h"

#include <string>
#include <unistd.h>

namespace cli {

void printError(std::string_view message) {
    std::string line = "brisklet-cli: ";
    line.append(message);
    line.push_back('\n');
    writeAll(STDERR_FILENO, line);
}

} // namespace cli
