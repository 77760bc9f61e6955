// SPDX-License-Identifier: GPL-3.0-or-later
// brisklet-cli makes itself non-dumpable before it reads anything: seen from outside, the files of its /proc
// entry then belong to root although the program runs as another user.
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Blocked {
    pid_t pid = -1;
    int input = -1; // the write end of the pipe the program waits on
};

// Starts `argv` as user nobody, waiting to read from a pipe on descriptor `fd`.
Blocked startAsNobody(const std::vector<std::string>& argv, int fd) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int devNull = ::open("/dev/null", O_RDONLY);
        ::dup2(devNull, STDIN_FILENO);
        ::dup2(fds[0], fd);
        std::vector<char*> args;
        for (const auto& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        if (testsupport::becomeNobody()) {
            ::execv(args[0], args.data());
        }
        ::_exit(127);
    }
    ::close(fds[0]);
    return {pid, fds[1]};
}

// True once the process sits in read(fd, ...), which it reaches only after its first steps in main.
bool waitUntilReading(pid_t pid, int fd) {
    const std::string reading = "0 0x" + std::to_string(fd) + " ";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream syscall("/proc/" + std::to_string(pid) + "/syscall");
        std::string line;
        if (std::getline(syscall, line) && line.starts_with(reading)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(CliHardeningTest, ProgramIsNotDumpableFromItsStart) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "running a program as another user needs root";
    }
    // A copy that user nobody may run, wherever the build directory is.
    const testsupport::TempDir dir;
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    const fs::path cli = dir.path() / "brisklet-cli";
    fs::copy_file(BRISKLET_CLI_PATH, cli);
    fs::permissions(cli, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec |
                             fs::perms::group_read | fs::perms::others_read);

    struct Case {
        std::vector<std::string> argv;
        int fd;      // where it waits for input
        uid_t owner; // of its /proc/PID/status
    };
    const Case cases[] = {
        {{cli.string(), "decrypt", "--passphrase-fd", "3", "/nonexistent"}, 3, 0},
        // The same observation of an ordinary program, which stays dumpable.
        {{"/bin/cat"}, 0, testsupport::kNobody},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argv[0]);
        const Blocked child = startAsNobody(c.argv, c.fd);
        ASSERT_GT(child.pid, 0);
        EXPECT_TRUE(waitUntilReading(child.pid, c.fd));
        struct stat info {};
        EXPECT_EQ(::stat(("/proc/" + std::to_string(child.pid) + "/status").c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, c.owner);
        ::kill(child.pid, SIGKILL);
        ::waitpid(child.pid, nullptr, 0);
        ::close(child.input);
    }
}

} // namespace
