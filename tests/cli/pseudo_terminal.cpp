// SPDX-License-Identifier: GPL-3.0-or-later
// Pseudo-terminal pairs for tests.
#include "tests/cli/pseudo_terminal.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace clitest {

std::optional<PseudoTerminal> openPseudoTerminal() {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {};
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name, sizeof name) != 0) {
        ADD_FAILURE() << "no pseudo-terminal: " << std::strerror(errno);
        if (master >= 0) {
            ::close(master);
        }
        return std::nullopt;
    }
    return PseudoTerminal{master, name};
}

} // namespace clitest
