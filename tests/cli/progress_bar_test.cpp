// The progress bar's text, and when it is drawn and cleared.
#include "cli/ProgressBar.h"

#include "tests/cli/pseudo_terminal.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

TEST(ProgressBarTest, TextFillsInProportion) {
    const std::vector<std::tuple<uint64_t, uint64_t, std::string>> cases = {
        {0, 10, "[          ] 0/10 files"},   {5, 10, "[#####     ] 5/10 files"},
        {9, 10, "[######### ] 9/10 files"},   {1, 3, "[###       ] 1/3 files"},
        {2, 3, "[######    ] 2/3 files"},     {10, 10, "[##########] 10/10 files"},
        {12, 10, "[##########] 10/10 files"}, {0, 0, "[##########] 0/0 files"},
    };
    for (const auto& [done, total, text] : cases) {
        EXPECT_EQ(cli::ProgressBar::text(done, total, 10), text);
    }
}

// A pseudo-terminal pair: the bar draws on the terminal side; the test reads what the screen would get.
class Terminal {
public:
    Terminal() {
        if (const auto pair = clitest::openPseudoTerminal()) {
            m_master = pair->master;
            m_terminal = ::open(pair->slaveName.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        }
        // Raw output, so that what is written arrives unchanged.
        termios settings{};
        if (m_terminal >= 0 && ::tcgetattr(m_terminal, &settings) == 0) {
            ::cfmakeraw(&settings);
            ::tcsetattr(m_terminal, TCSANOW, &settings);
        }
    }
    ~Terminal() {
        ::close(m_terminal);
        ::close(m_master);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    int fd() const { return m_terminal; }
    // What has arrived on the screen since the last call.
    std::string screen() const {
        std::string shown;
        pollfd ready{m_master, POLLIN, 0};
        char chunk[256];
        while (::poll(&ready, 1, 50) > 0) {
            const ssize_t got = ::read(m_master, chunk, sizeof chunk);
            if (got <= 0) {
                break;
            }
            shown.append(chunk, static_cast<size_t>(got));
        }
        return shown;
    }

private:
    int m_master = -1;
    int m_terminal = -1;
};

TEST(ProgressBarTest, DrawsOnATerminalOnlyAfterTheDelayAndClearsItsLine) {
    const Terminal terminal;
    ASSERT_GE(terminal.fd(), 0);
    {
        cli::ProgressBar bar(terminal.fd(), 4);
        bar.update(1, 100ms);
        EXPECT_EQ(terminal.screen(), "");
        bar.update(3, cli::ProgressBar::kDelay);
        EXPECT_EQ(terminal.screen(), "\r" + cli::ProgressBar::text(3, 4, 30) + "\x1b[K");
        bar.update(3, 2 * cli::ProgressBar::kDelay);
        EXPECT_EQ(terminal.screen(), "");
        bar.clear();
        EXPECT_EQ(terminal.screen(), "\r\x1b[K");
        bar.update(4, 1s);
        EXPECT_EQ(terminal.screen(), "\r" + cli::ProgressBar::text(4, 4, 30) + "\x1b[K");
    }
    // Destroyed while shown: the line is left clean.
    EXPECT_EQ(terminal.screen(), "\r\x1b[K");
}

TEST(ProgressBarTest, NeverDrawsWhenNotATerminal) {
    int fds[2];
    ASSERT_EQ(::pipe2(fds, O_NONBLOCK), 0);
    {
        cli::ProgressBar bar(fds[1], 4);
        bar.update(3, 10s);
        bar.clear();
    }
    char byte = 0;
    EXPECT_EQ(::read(fds[0], &byte, 1), -1);
    ::close(fds[0]);
    ::close(fds[1]);
}

} // namespace
