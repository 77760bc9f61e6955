// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a check in a forked child, for checks that change the process for good (its limits, its
// capabilities, whether it can be dumped), and hands back what the child found.
#pragma once

#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

// The text `check` returned in the child, or how the child ended when it could not say.
inline std::string reportFromChild(const std::function<std::string()>& check) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return "no pipe";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        const std::string report = check();
        const ssize_t written = ::write(fds[1], report.data(), report.size());
        // No exit handlers, no leak check: the parent's state was copied, not made, here.
        ::_exit(written == static_cast<ssize_t>(report.size()) ? 0 : 1);
    }
    ::close(fds[1]);
    std::string report;
    char buffer[256];
    for (ssize_t got; (got = ::read(fds[0], buffer, sizeof buffer)) > 0;) {
        report.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fds[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) {
        return "no child";
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return "child ended abnormally after: " + report;
    }
    return report;
}

} // namespace testsupport
