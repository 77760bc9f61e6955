// SPDX-License-Identifier: GPL-3.0-or-later
// Child processes for end-to-end tests: posix_spawn with captured output, optionally on a pseudo-terminal.
#include "tests/cli/child_process.h"

#include "tests/cli/pseudo_terminal.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace clitest {

namespace {

// Long enough for a sanitizer build on a busy machine; a hang fails the test instead of blocking it.
constexpr int kTimeoutMs = 60000;

void writeAllTo(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t put = ::write(fd, text.data(), text.size());
        if (put < 0 && errno == EINTR) {
            continue;
        }
        ASSERT_GT(put, 0) << "write failed: " << std::strerror(errno);
        text.remove_prefix(static_cast<size_t>(put));
    }
}

std::string contentOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Output files, file actions and attributes of one spawn; the child gets its own session.
class Spawn {
public:
    Spawn() : m_out(m_dir.path() / "out"), m_err(m_dir.path() / "err") {
        ::posix_spawn_file_actions_init(&m_actions);
        ::posix_spawnattr_init(&m_attributes);
        // SIGPIPE as a shell would leave it, whatever the test process does with it.
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        ::posix_spawnattr_setsigdefault(&m_attributes, &defaults);
        ::posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF);
    }
    ~Spawn() {
        ::posix_spawn_file_actions_destroy(&m_actions);
        ::posix_spawnattr_destroy(&m_attributes);
    }
    Spawn(const Spawn&) = delete;
    Spawn& operator=(const Spawn&) = delete;

    // Opens `path` as the child's standard input; a terminal opened there becomes its controlling one.
    void setInput(const std::string& path, int flags) {
        m_input = path;
        ::posix_spawn_file_actions_addopen(&m_actions, 0, m_input.c_str(), flags, 0);
    }
    void dup(int fd, int childFd) { ::posix_spawn_file_actions_adddup2(&m_actions, fd, childFd); }
    // Standard output on `fd` instead of the file that finish() returns.
    void setOutput(int fd) { m_outputFd = fd; }

    // The child's pid, or -1 after a failed test assertion.
    pid_t start(const std::string& program, const std::vector<std::string>& args) {
        const int created = O_WRONLY | O_CREAT | O_TRUNC;
        if (m_outputFd >= 0) {
            ::posix_spawn_file_actions_adddup2(&m_actions, m_outputFd, 1);
        } else {
            ::posix_spawn_file_actions_addopen(&m_actions, 1, m_out.c_str(), created, 0600);
        }
        ::posix_spawn_file_actions_addopen(&m_actions, 2, m_err.c_str(), created, 0600);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const auto& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        pid_t pid = -1;
        const int error =
            ::posix_spawn(&pid, program.c_str(), &m_actions, &m_attributes, argv.data(), environ);
        EXPECT_EQ(error, 0) << "cannot start " << program << ": " << std::strerror(error);
        return error == 0 ? pid : -1;
    }

    // Waits for the child and collects what it wrote.
    ChildResult finish(pid_t pid) const {
        ChildResult result;
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
        result.out = contentOf(m_out);
        result.err = contentOf(m_err);
        return result;
    }

private:
    testsupport::TempDir m_dir;
    std::filesystem::path m_out;
    std::filesystem::path m_err;
    std::string m_input;
    int m_outputFd = -1;
    posix_spawn_file_actions_t m_actions;
    posix_spawnattr_t m_attributes;
};

enum class Shown { More, End, Timeout };

// Appends what the terminal shows next. The master reads an error once no process holds the terminal.
Shown readMore(int master, std::string& shown) {
    pollfd ready{master, POLLIN, 0};
    if (::poll(&ready, 1, kTimeoutMs) <= 0) {
        return Shown::Timeout;
    }
    char chunk[256];
    const ssize_t got = ::read(master, chunk, sizeof chunk);
    if (got <= 0) {
        return Shown::End;
    }
    shown.append(chunk, static_cast<size_t>(got));
    return Shown::More;
}

// Reads until `pattern` appears after `from`, and moves `from` past it; false if it never does.
bool readUntil(int master, std::string& shown, const std::string& pattern, size_t& from) {
    for (;;) {
        if (const auto found = shown.find(pattern, from); found != std::string::npos) {
            from = found + pattern.size();
            return true;
        }
        if (readMore(master, shown) != Shown::More) {
            return false;
        }
    }
}

} // namespace

ChildResult runChild(const std::string& program, const std::vector<std::string>& args,
                     const std::optional<std::string>& fd3Input) {
    Spawn spawn;
    spawn.setInput("/dev/null", O_RDONLY);
    int input[2] = {-1, -1};
    if (fd3Input) {
        // Filled and closed before the child starts: it reads everything and then the end of input, and
        // the test never writes into a pipe whose reader has gone.
        EXPECT_EQ(::pipe2(input, O_CLOEXEC), 0);
        writeAllTo(input[1], *fd3Input);
        ::close(input[1]);
        spawn.dup(input[0], 3);
    }
    const pid_t pid = spawn.start(program, args);
    if (fd3Input) {
        ::close(input[0]);
    }
    return pid < 0 ? ChildResult{} : spawn.finish(pid);
}

ChildResult runChildOnTerminal(const std::string& program, const std::vector<std::string>& args,
                               const std::vector<std::pair<std::string, std::string>>& dialogue) {
    const auto terminal = openPseudoTerminal();
    if (!terminal) {
        return {};
    }
    const int master = terminal->master;
    Spawn spawn;
    spawn.setInput(terminal->slaveName, O_RDWR);
    const pid_t pid = spawn.start(program, args);
    if (pid < 0) {
        ::close(master);
        return {};
    }

    std::string shown;
    size_t from = 0;
    for (const auto& [prompt, answer] : dialogue) {
        if (!readUntil(master, shown, prompt, from)) {
            ADD_FAILURE() << "the terminal never showed '" << prompt << "'; it showed '" << shown << "'";
            ::kill(pid, SIGKILL);
            break;
        }
        writeAllTo(master, answer);
    }
    Shown state = Shown::More;
    while (state == Shown::More) {
        state = readMore(master, shown);
    }
    if (state == Shown::Timeout) {
        ADD_FAILURE() << "the child did not end; its terminal showed '" << shown << "'";
        ::kill(pid, SIGKILL);
    }
    ChildResult result = spawn.finish(pid);
    result.terminal = shown;
    termios settings{};
    result.echoes = ::tcgetattr(master, &settings) == 0 && (settings.c_lflag & ECHO) != 0;
    ::close(master);
    return result;
}

ChildResult runChildWithStreams(const std::string& program, const std::vector<std::string>& args,
                                const ChildStreams& streams) {
    using Input = ChildStreams::Input;
    using Output = ChildStreams::Output;
    testsupport::TempDir scratch;
    Spawn spawn;
    std::optional<PseudoTerminal> terminal;
    if (streams.input == Input::Terminal || streams.output == Output::Terminal) {
        terminal = openPseudoTerminal();
        if (!terminal) {
            return {};
        }
    }

    int input[2] = {-1, -1};
    switch (streams.input) {
    case Input::File:
        spawn.setInput(scratch
                           .writeFile("input", std::vector<uint8_t>(streams.inputBytes.begin(),
                                                                    streams.inputBytes.end()))
                           .string(),
                       O_RDONLY);
        break;
    case Input::Pipe:
        EXPECT_EQ(::pipe2(input, O_CLOEXEC), 0);
        spawn.dup(input[0], 0);
        break;
    case Input::Terminal:
        spawn.setInput(terminal->slaveName, O_RDWR);
        break;
    }
    int output[2] = {-1, -1};
    int terminalOutput = -1;
    if (streams.output == Output::ClosedPipe) {
        EXPECT_EQ(::pipe2(output, O_CLOEXEC), 0);
        ::close(output[0]);
        spawn.setOutput(output[1]);
    } else if (streams.output == Output::Terminal) {
        terminalOutput = ::open(terminal->slaveName.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        EXPECT_GE(terminalOutput, 0) << std::strerror(errno);
        spawn.setOutput(terminalOutput);
    }

    const pid_t pid = spawn.start(program, args);
    for (const int fd : {input[0], output[1], terminalOutput}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    if (pid < 0) {
        if (input[1] >= 0) {
            ::close(input[1]);
        }
        if (terminal) {
            ::close(terminal->master);
        }
        return {};
    }
    // Fed while the child reads, since a pipe holds far less than a large input. The child may stop
    // reading early: the writer then meets EPIPE, with SIGPIPE blocked in its thread alone.
    std::thread writer;
    if (input[1] >= 0) {
        writer = std::thread([fd = input[1], &bytes = streams.inputBytes] {
            sigset_t pipeSignal;
            sigemptyset(&pipeSignal);
            sigaddset(&pipeSignal, SIGPIPE);
            ::pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
            std::string_view rest = bytes;
            while (!rest.empty()) {
                const ssize_t put = ::write(fd, rest.data(), rest.size());
                if (put < 0 && errno == EINTR) {
                    continue;
                }
                if (put <= 0) {
                    break;
                }
                rest.remove_prefix(static_cast<size_t>(put));
            }
            ::close(fd);
        });
    }
    ChildResult result = spawn.finish(pid);
    if (writer.joinable()) {
        writer.join();
    }
    if (terminal) {
        ::close(terminal->master);
    }
    return result;
}

struct RunningChild::State {
    Spawn spawn;
    pid_t pid = -1;
};

RunningChild::RunningChild(const std::string& program, const std::vector<std::string>& args)
    : m_state(std::make_unique<State>()) {
    m_state->spawn.setInput("/dev/null", O_RDONLY);
    m_state->pid = m_state->spawn.start(program, args);
}

RunningChild::~RunningChild() {
    if (m_state->pid > 0) {
        ::kill(m_state->pid, SIGKILL);
        finish();
    }
}

void RunningChild::signal(int number) const {
    if (m_state->pid > 0) {
        ::kill(m_state->pid, number);
    }
}

ChildResult RunningChild::finish() {
    if (m_state->pid <= 0) {
        return {};
    }
    ChildResult result = m_state->spawn.finish(m_state->pid);
    m_state->pid = -1;
    return result;
}

} // namespace clitest
