// SPDX-License-Identifier: GPL-3.0-or-later
// Odd and hostile inputs: links, FIFOs, device nodes, hard links, read-only files, names that cannot be
// given, and users without permission. Each is refused with its reason and left exactly as it was.
#include "engine/Cryptor.h"
#include "engine/LogMessages.h"
#include "engine/StatusCode.h"
#include "tests/engine/operation_fixture.h"
#include "tests/support/unprivileged.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace enginetest;
using testsupport::readFile;
namespace fs = std::filesystem;
namespace logmsg = engine::logmsg;

struct Outcome {
    int32_t code;
    std::string reason;
};

class HostileInputTest : public OperationTest {
protected:
    // One encryption run over `path`, as the front ends make it.
    Outcome encryptOne(const fs::path& path) {
        engine::Cryptor cryptor;
        cryptor.addURLs({path});
        EXPECT_EQ(cryptor.encryptFilesUsingPassPhrase(u"secret"), std::nullopt);
        cryptor.waitUntilAllOperationsAreFinished();
        return {cryptor.statusOnRow(0), cryptor.failureReasonOnRow(0)};
    }
};

struct Case {
    const char* name;
    // Makes the input in `dir`; returns the path to name, or none to skip where the machine forbids it.
    std::function<std::optional<fs::path>(const testsupport::TempDir& dir)> make;
    std::string reason;
};

TEST_F(HostileInputTest, EachIsRefusedUntouchedWithItsReason) {
    const std::vector<Case> cases = {
        {"a link to a file, named directly",
         [](const testsupport::TempDir& dir) -> std::optional<fs::path> {
             fs::create_symlink(dir.writeFile("target", {1, 2, 3}), dir.path() / "link");
             return dir.path() / "link";
         },
         std::string(logmsg::kSymbolicLinkNamed)},
        {"a FIFO, which must not hang the run",
         [](const testsupport::TempDir& dir) -> std::optional<fs::path> {
             const fs::path fifo = dir.path() / "fifo";
             EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
             return fifo;
         },
         std::string(logmsg::kNotRegularFile)},
        {"a character device node",
         [](const testsupport::TempDir& dir) -> std::optional<fs::path> {
             const fs::path node = dir.path() / "null";
             if (::mknod(node.c_str(), S_IFCHR | 0600, makedev(1, 3)) != 0) {
                 return std::nullopt;
             }
             return node;
         },
         std::string(logmsg::kNotRegularFile)},
        {"a file with a second name",
         [](const testsupport::TempDir& dir) -> std::optional<fs::path> {
             const fs::path file = dir.writeFile("linked", {4, 5});
             fs::create_hard_link(file, dir.path() / "second name");
             return file;
         },
         logmsg::severalNames(2)},
        {"a file its owner may not write, also for root",
         [](const testsupport::TempDir& dir) -> std::optional<fs::path> {
             const fs::path file = dir.writeFile("read-only", {6});
             fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
             return file;
         },
         std::string(logmsg::kReadOnlyFile)},
        {"a name the extension does not fit",
         [](const testsupport::TempDir& dir) -> std::optional<fs::path> {
             return dir.writeFile(std::string(250, 'n'), {7});
         },
         std::string(logmsg::kNameTooLong)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempDir dir;
        const auto input = c.make(dir);
        if (!input) {
            std::cout << "skipped here: " << c.name << '\n';
            continue;
        }
        const auto before = testsupport::listNames(dir.path());
        struct stat status {};
        ASSERT_EQ(::lstat(input->c_str(), &status), 0);

        const Outcome outcome = encryptOne(*input);
        EXPECT_EQ(outcome.code, engine::StatusFailed);
        EXPECT_EQ(outcome.reason, c.reason);
        EXPECT_EQ(testsupport::listNames(dir.path()), before) << "nothing renamed, nothing created";
        struct stat after {};
        ASSERT_EQ(::lstat(input->c_str(), &after), 0);
        EXPECT_EQ(after.st_mtim.tv_sec, status.st_mtim.tv_sec);
        EXPECT_EQ(after.st_mtim.tv_nsec, status.st_mtim.tv_nsec) << "not even probed";
        EXPECT_EQ(after.st_size, status.st_size);
    }
    EXPECT_TRUE(tempFiles().empty());
}

// Runs `check` in a child that has given up root for the nobody user, where permission bits count.
void asUnprivileged(const std::function<void()>& check) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (!testsupport::becomeNobody()) {
            ::_exit(77);
        }
        check();
        ::_exit(testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) {
        GTEST_SKIP() << "cannot become an unprivileged user here";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the unprivileged run's expectations failed";
}

TEST_F(HostileInputTest, PermissionsSayWhyForAnUnprivilegedUser) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to make an unprivileged child";
    }
    // World-accessible places, so that the child can reach them at all.
    fs::permissions(m_dir.path(), fs::perms::all);
    fs::permissions(m_tmp.path(), fs::perms::all);
    const fs::path own = m_dir.writeFile("root's file", {1, 2});
    const fs::path locked = m_dir.path() / "locked";
    fs::create_directory(locked);
    const fs::path inLocked = locked / "file";
    testsupport::writeFile(inLocked, {3});
    ASSERT_EQ(::chown(inLocked.c_str(), 65534, 65534), 0);
    fs::permissions(locked, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    const fs::path state = m_tmp.path() / "nobody-state";
    fs::create_directory(state);
    ASSERT_EQ(::chown(state.c_str(), 65534, 65534), 0);

    asUnprivileged([&] {
        ::setenv("XDG_STATE_HOME", state.c_str(), 1);
        EXPECT_EQ(encryptOne(own).reason, "permission denied");
        EXPECT_EQ(encryptOne(inLocked).reason, logmsg::kFolderNotWritable);
    });
    EXPECT_EQ(readFile(own), (std::vector<uint8_t>{1, 2}));
    EXPECT_EQ(readFile(inLocked), std::vector<uint8_t>{3});
}

} // namespace
