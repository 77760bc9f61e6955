// SPDX-License-Identifier: GPL-3.0-or-later
// Opens pseudo-terminal pairs for tests of terminal input and output.
#pragma once

#include <optional>
#include <string>

namespace clitest {

struct PseudoTerminal {
    int master;            // the screen and keyboard side, owned by the caller
    std::string slaveName; // the terminal side, for the program under test to open
};

// None, with a test failure, when the system has no pseudo-terminals to give.
std::optional<PseudoTerminal> openPseudoTerminal();

} // namespace clitest
