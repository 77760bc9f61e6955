// SPDX-License-Identifier: GPL-3.0-or-later
// Asks for a passphrase on the controlling terminal with echo turned off.
#pragma once

#include "cli/LineReader.h"

#include <memory>
#include <string_view>

namespace cli {

class TerminalPrompt {
public:
    // None when the process has no controlling terminal (/dev/tty cannot be opened), as under cron or in
    // a pipeline without one.
    static std::unique_ptr<TerminalPrompt> open();
    ~TerminalPrompt();
    TerminalPrompt(const TerminalPrompt&) = delete;
    TerminalPrompt& operator=(const TerminalPrompt&) = delete;

    // Writes `prompt`, reads one line with echo off and ends the line on the terminal. The terminal's
    // settings are restored afterwards, also when the process is interrupted or terminated meanwhile.
    LineRead ask(std::string_view prompt);

private:
    explicit TerminalPrompt(int fd) : m_fd(fd) {}

    int m_fd;
};

} // namespace cli
