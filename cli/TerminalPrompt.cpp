// SPDX-License-Identifier: GPL-3.0-or-later
// No-echo terminal input, with the terminal's settings put back on interruption.
#include "cli/TerminalPrompt.h"

#include "cli/WriteAll.h"

#include <array>
#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace cli {

namespace {

// What the signal handler needs to give the user their echo back; set only while echo is off.
int g_echoFd = -1;
termios g_echoSettings{};

constexpr std::array<int, 4> kInterruptions{SIGINT, SIGTERM, SIGHUP, SIGQUIT};

extern "C" void restoreEchoAndDie(int signalNumber) {
    ::tcsetattr(g_echoFd, TCSAFLUSH, &g_echoSettings);
    // Default action once the handler returns: the process ends as the signal intended.
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

// Turns echo off for its lifetime, with handlers that turn it back on if a signal ends the process first.
class EchoOff {
public:
    explicit EchoOff(int fd) {
        if (::tcgetattr(fd, &m_saved) != 0) {
            return;
        }
        g_echoFd = fd;
        g_echoSettings = m_saved;
        struct sigaction restore {};
        restore.sa_handler = restoreEchoAndDie;
        sigemptyset(&restore.sa_mask);
        for (std::size_t i = 0; i < kInterruptions.size(); ++i) {
            ::sigaction(kInterruptions[i], &restore, &m_previous[i]);
        }
        termios silent = m_saved;
        silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(fd, TCSAFLUSH, &silent);
        m_fd = fd;
    }
    ~EchoOff() {
        if (m_fd < 0) {
            return;
        }
        ::tcsetattr(m_fd, TCSAFLUSH, &m_saved);
        for (std::size_t i = 0; i < kInterruptions.size(); ++i) {
            ::sigaction(kInterruptions[i], &m_previous[i], nullptr);
        }
        g_echoFd = -1;
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    int m_fd = -1;
    termios m_saved{};
    std::array<struct sigaction, kInterruptions.size()> m_previous{};
};

} // namespace

std::unique_ptr<TerminalPrompt> TerminalPrompt::open() {
    const int fd = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    return std::unique_ptr<TerminalPrompt>(new TerminalPrompt(fd));
}

TerminalPrompt::~TerminalPrompt() {
    ::close(m_fd);
}

LineRead TerminalPrompt::ask(std::string_view prompt) {
    LineRead answer;
    {
        // Echo goes off before the prompt shows: turning it off discards pending input, and nothing typed
        // after seeing the prompt may be lost or echoed.
        const EchoOff echoOff(m_fd);
        writeAll(m_fd, prompt);
        answer = readFirstLine(m_fd);
    }
    // The typed line end was not echoed.
    writeAll(m_fd, "\n");
    return answer;
}

} // namespace cli
