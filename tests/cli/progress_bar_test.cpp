// SPDX-License-Identifier: GPL-3.0-or-later
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

engine::Cryptor::RunProgress progress(uint64_t bytesDone, uint64_t bytesTotal, uint64_t filesDone,
                                      uint64_t filesTotal) {
    return {{bytesDone, bytesTotal}, filesDone, filesTotal};
}

TEST(ProgressBarTest, BarAndPercentageCountBytesFilesAreCountedApart) {
    const uint64_t huge = uint64_t{1} << 62;
    const std::vector<std::pair<engine::Cryptor::RunProgress, std::string>> cases = {
        {progress(0, 1000, 0, 10), "[          ]   0% 0/10 files"},
        {progress(500, 1000, 3, 10), "[#####     ]  50% 3/10 files"},
        // One large file half done counts for more than nine small ones finished.
        {progress(999, 1000, 9, 10), "[######### ]  99% 9/10 files"},
        {progress(1, 3, 0, 1), "[###       ]  33% 0/1 files"},
        {progress(1000, 1000, 10, 10), "[##########] 100% 10/10 files"},
        {progress(1200, 1000, 12, 10), "[##########] 100% 10/10 files"},
        // Sizes near the top of the range must not overflow on the way to a percentage.
        {progress(huge / 4, huge, 1, 4), "[##        ]  25% 1/4 files"},
        // Only empty files: nothing to count but the files themselves.
        {progress(0, 0, 1, 4), "[##        ]  25% 1/4 files"},
        {progress(0, 0, 0, 0), "[##########] 100% 0/0 files"},
    };
    for (const auto& [run, text] : cases) {
        EXPECT_EQ(cli::ProgressBar::text(run, 10), text);
    }
    // guess counts candidates, which it passes as both the bytes and the files.
    EXPECT_EQ(cli::ProgressBar::text(progress(5, 10, 5, 10), 10, "candidates"),
              "[#####     ]  50% 5/10 candidates");
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
        cli::ProgressBar bar(terminal.fd());
        bar.update(progress(10, 100, 1, 4), 100ms);
        EXPECT_EQ(terminal.screen(), "");
        bar.update(progress(60, 100, 3, 4), cli::ProgressBar::kDelay);
        EXPECT_EQ(terminal.screen(), "\r" + cli::ProgressBar::text(progress(60, 100, 3, 4), 30) + "\x1b[K");
        bar.update(progress(60, 100, 3, 4), 2 * cli::ProgressBar::kDelay);
        EXPECT_EQ(terminal.screen(), "");
        // Bytes move on within a file: drawn again, though no file has been added.
        bar.update(progress(80, 100, 3, 4), 3 * cli::ProgressBar::kDelay);
        EXPECT_EQ(terminal.screen(), "\r" + cli::ProgressBar::text(progress(80, 100, 3, 4), 30) + "\x1b[K");
        bar.clear();
        EXPECT_EQ(terminal.screen(), "\r\x1b[K");
        bar.update(progress(100, 100, 4, 4), 1s);
        EXPECT_EQ(terminal.screen(), "\r" + cli::ProgressBar::text(progress(100, 100, 4, 4), 30) + "\x1b[K");
    }
    // Destroyed while shown: the line is left clean.
    EXPECT_EQ(terminal.screen(), "\r\x1b[K");
}

TEST(ProgressBarTest, NeverDrawsWhenNotATerminal) {
    int fds[2];
    ASSERT_EQ(::pipe2(fds, O_NONBLOCK), 0);
    {
        cli::ProgressBar bar(fds[1]);
        bar.update(progress(3, 4, 3, 4), 10s);
        bar.clear();
    }
    char byte = 0;
    EXPECT_EQ(::read(fds[0], &byte, 1), -1);
    ::close(fds[0]);
    ::close(fds[1]);
}

} // namespace
