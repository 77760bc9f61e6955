// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a program as a child process with its own session, capturing its output and exit status.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace clitest {

struct ChildResult {
    int exitCode = -1; // the exit status, or -1 when the child did not exit normally
    int signal = 0;    // the signal that ended the child, or 0
    std::string out;
    std::string err;
    std::string terminal; // what the child wrote to its terminal, when it had one
    bool echoes = false;  // whether that terminal echoed typing again once the child had ended
};

// Runs `program` with `args` (no shell involved), standard input from /dev/null, in a new session without
// a controlling terminal, so that a prompt can never wait for keyboard input. When `fd3Input` is set, the
// child reads it from a pipe on descriptor 3.
ChildResult runChild(const std::string& program, const std::vector<std::string>& args,
                     const std::optional<std::string>& fd3Input = std::nullopt);

// The same on a pseudo-terminal that is the child's controlling terminal: for each (prompt, answer) in
// order, waits until the terminal shows `prompt`, then types `answer` ("\x03" types Ctrl-C).
ChildResult runChildOnTerminal(const std::string& program, const std::vector<std::string>& args,
                               const std::vector<std::pair<std::string, std::string>>& dialogue);

// Where a pipeline child's standard input comes from and where its standard output goes.
struct ChildStreams {
    enum class Input {
        File,     // a file holding `input`: seekable, as with "< FILE"
        Pipe,     // `input` written into a pipe while the child runs: not seekable, as with "A | B"
        Terminal, // a pseudo-terminal, which is also the child's controlling terminal
    };
    enum class Output {
        File,       // a file, returned in ChildResult::out
        Terminal,   // a pseudo-terminal
        ClosedPipe, // a pipe whose reader has gone, as with "A | head -c 0"
    };
    Input input = Input::Pipe;
    std::string inputBytes;
    Output output = Output::File;
};

// runChild() with standard input and output as `streams` says, and SIGPIPE at its default.
ChildResult runChildWithStreams(const std::string& program, const std::vector<std::string>& args,
                                const ChildStreams& streams);

// A child started without waiting for it, standard input from /dev/null, in a session of its own: for tests
// that signal it while it works. Destruction kills and reaps it if finish() was not called.
class RunningChild {
public:
    RunningChild(const std::string& program, const std::vector<std::string>& args);
    ~RunningChild();
    RunningChild(const RunningChild&) = delete;
    RunningChild& operator=(const RunningChild&) = delete;

    void signal(int number) const;
    // Waits for the child's end and collects what it wrote.
    ChildResult finish();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace clitest
