// SPDX-License-Identifier: GPL-3.0-or-later
// brisklet-cli when runs are interrupted: kill -9 at random moments, the stopping signals, pending
// rewrites met by recover, check, encrypt and decrypt, and two processes on one file.
#include "engine/EncryptionOperation.h"
#include "engine/OperationMaster.h"
#include "engine/RunKeys.h"
#include "platform/FaultInjection.h"
#include "platform/OperationQueue.h"
#include "tests/cli/cli_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using clitest::ChildResult;
using clitest::CliTest;
using clitest::RunningChild;
using testsupport::readFile;
using testsupport::sampleBytes;
namespace fs = std::filesystem;

constexpr const char* kPassphrase = "interrupted passphrase";

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

fs::path encryptedName(fs::path path) {
    return path += ".brisklet";
}

// The child that leaves a rewrite pending never gets as far as reporting.
class SilentMaster : public engine::OperationMaster {
public:
    void updateStatus(int32_t, int64_t) override {}
};

// Encrypts `path` on this thread, as a run of the program would, reporting nowhere.
void encryptHere(const fs::path& path) {
    std::u16string text;
    for (const char c : std::string(kPassphrase)) {
        text.push_back(static_cast<char16_t>(c));
    }
    std::string refusal;
    auto keys = engine::RunKeys::forPassphrase(text, twofish::DIR_ENCRYPT, &refusal);
    SilentMaster master;
    engine::EncryptionOperation(path, std::move(keys), &master, 0).main();
}

// An encryption of a file in a child process, held still once its journal is published and locked, as a
// run that is still working; killed when the test says, or at the latest with this object.
class PausedRun {
public:
    explicit PausedRun(const fs::path& path) {
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0) {
            return;
        }
        m_child = ::fork();
        if (m_child == 0) {
            ::close(pipeEnds[0]);
            const platform::FaultInjector hold(platform::FaultPoint::Lease, 1, [&] {
                (void)!::write(pipeEnds[1], "p", 1);
                for (;;) {
                    ::pause();
                }
            });
            encryptHere(path);
            ::_exit(0);
        }
        ::close(pipeEnds[1]);
        char byte = 0;
        m_paused = m_child > 0 && ::read(pipeEnds[0], &byte, 1) == 1;
        ::close(pipeEnds[0]);
    }
    ~PausedRun() { kill(); }
    PausedRun(const PausedRun&) = delete;
    PausedRun& operator=(const PausedRun&) = delete;

    bool paused() const { return m_paused; }
    void kill() {
        if (m_child > 0) {
            ::kill(m_child, SIGKILL);
            ::waitpid(m_child, nullptr, 0);
            m_child = -1;
        }
    }

private:
    pid_t m_child = -1;
    bool m_paused = false;
};

class InterruptionTest : public CliTest {
protected:
    // After whatever happened to an encryption run: every file is either its original under its name or
    // an encrypted form of it under the encrypted name, never both, and decrypting gives the original.
    void expectEachFileWholeOnce(const std::map<fs::path, std::vector<uint8_t>>& originals) {
        // Before the decryption below, which would complete a journal that names its files.
        std::set<fs::path> folders;
        for (const auto& entry : originals) {
            folders.insert(entry.first.parent_path());
        }
        for (const fs::path& folder : folders) {
            EXPECT_EQ(journalsIn(folder), std::vector<fs::path>{}) << "no journal left beside the files";
        }
        std::vector<fs::path> encrypted;
        for (const auto& [path, content] : originals) {
            SCOPED_TRACE(path.string());
            ASSERT_NE(fs::exists(path), fs::exists(encryptedName(path))) << "exactly one of the two names";
            if (fs::exists(path)) {
                EXPECT_EQ(readFile(path), content);
            } else {
                encrypted.push_back(encryptedName(path));
            }
        }
        if (!encrypted.empty()) {
            const ChildResult decrypted = runWith("decrypt", kPassphrase, encrypted);
            EXPECT_EQ(decrypted.exitCode, 0) << decrypted.out << decrypted.err;
        }
        for (const auto& [path, content] : originals) {
            EXPECT_EQ(readFile(path), content) << path;
        }
        for (const fs::path& folder : folders) {
            EXPECT_EQ(journalsIn(folder), std::vector<fs::path>{}) << "the decryption left no journal either";
        }
    }

    // The seconds a whole encryption of `paths` takes, to spread kills over.
    double timeOf(const std::vector<fs::path>& paths,
                  const std::map<fs::path, std::vector<uint8_t>>& originals) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(runWith("encrypt", kPassphrase, paths).exitCode, 0);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        expectEachFileWholeOnce(originals);
        return took.count();
    }

    // Encrypts `path` in a child of this process that ends abruptly right before the file's rename: the
    // file holds its whole new content under its old name, and its journal lies beside it. The journal's
    // own naming may be a rename too; a child ended there leaves the file untouched and no journal, and is
    // followed by one that ends at the next rename.
    void leavePending(const fs::path& path) {
        const std::vector<uint8_t> original = readFile(path);
        const size_t journalsBefore = journalsIn(path.parent_path()).size();
        for (int nth = 1; nth <= 3; ++nth) {
            const pid_t child = ::fork();
            if (child == 0) {
                const platform::FaultInjector crash(platform::FaultPoint::Rename, nth,
                                                    platform::FaultMode::ExitProcess);
                encryptHere(path);
                ::_exit(0);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == platform::kFaultExitStatus)
                << "the run ended before rename " << nth;
            ASSERT_TRUE(fs::exists(path));
            if (journalsIn(path.parent_path()).size() > journalsBefore) {
                ASSERT_NE(readFile(path), original) << "rewritten in place before the rename";
                return;
            }
            ASSERT_EQ(readFile(path), original) << "untouched while it has no journal";
        }
        FAIL() << "no rename after the journal was named";
    }
};

struct KillCase {
    const char* name;
    int files;
    size_t size;
};

class KillTest : public InterruptionTest, public testing::WithParamInterface<KillCase> {};

// Kills land before the journal is named (the file is untouched), during the rewrite (recovery completes
// it) and after it; whichever, running the same command again, then recover, never loses or mixes a file.
TEST_P(KillTest, KillNineAtRandomMomentsNeverLosesAFile) {
    const KillCase c = GetParam();
    std::map<fs::path, std::vector<uint8_t>> originals;
    std::vector<fs::path> paths;
    const fs::path folder = m_dir.path() / "folder";
    fs::create_directories(folder);
    for (int i = 0; i < c.files; ++i) {
        const fs::path path = folder / ("file" + std::to_string(i));
        originals[path] = sampleBytes(c.size, static_cast<uint32_t>(i + 1));
        testsupport::writeFile(path, originals[path]);
        paths.push_back(path);
    }
    const double seconds = timeOf(paths, originals);

    const auto seed = static_cast<unsigned>(std::random_device{}());
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> moment(0.0, seconds * 1.2);
    for (int kill = 0; kill < 6; ++kill) {
        const double delay = moment(random);
        SCOPED_TRACE("kill after " + std::to_string(delay) + " s");
        {
            RunningChild run(BRISKLET_CLI_PATH, argsWith("encrypt", kPassphrase, paths));
            std::this_thread::sleep_for(std::chrono::duration<double>(delay));
            run.signal(SIGKILL);
            run.finish();
        }
        // The same command again: a file met half-rewritten is completed and said to be recovered, never
        // taken for whole and encrypted again.
        std::vector<fs::path> stillPlain;
        for (const auto& path : paths) {
            if (fs::exists(path)) {
                stillPlain.push_back(path);
            }
        }
        if (!stillPlain.empty()) {
            const ChildResult again = runWith("encrypt", kPassphrase, stillPlain);
            EXPECT_FALSE(contains(again.out, "failed")) << again.out;
            EXPECT_EQ(again.exitCode, contains(again.out, "recovered after an interruption") ? 1 : 0)
                << again.out;
        }
        const ChildResult recovered = run({"recover"});
        EXPECT_EQ(recovered.exitCode, 0) << recovered.out << recovered.err;
        expectEachFileWholeOnce(originals);
    }
}

INSTANTIATE_TEST_SUITE_P(LargeFileAndManySmallOnes, KillTest,
                         testing::Values(KillCase{"OneLargeFile", 1, 48u << 20},
                                         KillCase{"ManySmallFiles", 400, 4096}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(InterruptionTest, StoppingSignalsEndTheRunCleanlyWithTheirStatus) {
    const std::pair<int, int> signals[] = {{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}};
    for (const auto& [number, status] : signals) {
        SCOPED_TRACE(strsignal(number));
        std::map<fs::path, std::vector<uint8_t>> originals;
        std::vector<fs::path> paths;
        // More files than workers, so that some are still waiting when the first one is done.
        const auto count = 2 * platform::OperationQueue::defaultThreadCount() + 4;
        for (size_t i = 0; i < count; ++i) {
            const fs::path path = m_dir.path() / ("f" + std::to_string(number) + "-" + std::to_string(i));
            originals[path] = sampleBytes(4 << 20, static_cast<uint32_t>(i));
            testsupport::writeFile(path, originals[path]);
            paths.push_back(path);
        }
        RunningChild run(BRISKLET_CLI_PATH, argsWith("encrypt", kPassphrase, paths));
        // Mid-run, whatever the machine's speed: once the first file has its new name, most are still
        // waiting.
        const auto firstDone = paths.front().string() + ".brisklet";
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!fs::exists(firstDone) && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        run.signal(number);
        const ChildResult result = run.finish();
        EXPECT_EQ(result.exitCode, status) << result.out << result.err;
        EXPECT_TRUE(contains(result.out, ": stopped; untouched\n")) << result.out;
        expectEachFileWholeOnce(originals);
    }
}

// Three ways to complete a pending rewrite: the next run on its file (which also points at the other
// journal of its folder), recover on the folder that the messages name, and recover alone, which looks in
// the folders noted in the state directory.
TEST_F(InterruptionTest, APendingRewriteIsCheckedAsPendingAndCompletedByRecoverOrByTheNextRun) {
    const auto plain = sampleBytes(5000, 3);
    const fs::path folder = m_dir.path() / "folder";
    const fs::path otherFolder = m_dir.path() / "other folder";
    fs::create_directories(folder);
    fs::create_directories(otherFolder);
    const fs::path first = folder / "first";
    const fs::path second = folder / "second";
    const fs::path third = otherFolder / "third";
    for (const fs::path& path : {first, second, third}) {
        testsupport::writeFile(path, plain);
        leavePending(path);
    }
    const std::string pending = "interrupted rewrite pending; run brisklet-cli recover " + folder.string();

    const ChildResult check = runWith("check", kPassphrase, {first});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_EQ(check.out, first.string() + ": " + pending + "\n");

    const ChildResult again = runWith("encrypt", kPassphrase, {first});
    EXPECT_EQ(again.exitCode, 1) << "recovered is not the run the user asked for";
    EXPECT_EQ(again.out, first.string() + ": recovered after an interruption\n");
    EXPECT_TRUE(contains(again.err, "brisklet-cli: " + pending + "\n")) << again.err;
    EXPECT_EQ(journalsIn(folder).size(), 1u) << "the journal of the file not given stays";

    const ChildResult byFolder = run({"recover", folder.string()});
    EXPECT_EQ(byFolder.exitCode, 0) << byFolder.err;
    EXPECT_EQ(byFolder.out, second.string() + ": recovered after an interruption\n");

    const ChildResult recovered = run({"recover"});
    EXPECT_EQ(recovered.exitCode, 0) << recovered.err;
    EXPECT_EQ(recovered.out, third.string() + ": recovered after an interruption\n");
    const ChildResult nothing = run({"recover"});
    EXPECT_EQ(nothing.exitCode, 0);
    EXPECT_EQ(nothing.out, "");
    EXPECT_TRUE(contains(nothing.err, "nothing to recover"));
    expectEachFileWholeOnce({{first, plain}, {second, plain}, {third, plain}});
}

// A file moved away from its journal is left alone: the journal stays, and recover says where it is, so
// that the rewrite can still be completed once the file is back.
TEST_F(InterruptionTest, RecoverLeavesWhatItCannotFindAndSaysWhereTheJournalIs) {
    const auto plain = sampleBytes(3000, 4);
    const fs::path path = m_dir.writeFile("moved", plain);
    leavePending(path);
    const auto journals = journalsIn(m_dir.path());
    ASSERT_EQ(journals.size(), 1u);
    const fs::path elsewhere = m_dir.path() / "elsewhere";
    fs::rename(path, elsewhere);
    const auto partlyRewritten = readFile(elsewhere);

    const ChildResult result = run({"recover"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(contains(result.out, path.string() + ": failed (")) << result.out;
    EXPECT_TRUE(contains(result.out, "no longer where it was")) << result.out;
    EXPECT_TRUE(contains(result.out, journals.front().string())) << "says where the journal waits";
    EXPECT_EQ(journalsIn(m_dir.path()), journals) << "the journal stays";
    EXPECT_EQ(readFile(elsewhere), partlyRewritten) << "nothing was changed";

    fs::rename(elsewhere, path);
    const ChildResult back = run({"recover"});
    EXPECT_EQ(back.exitCode, 0) << back.out << back.err;
    EXPECT_EQ(back.out, path.string() + ": recovered after an interruption\n");
    expectEachFileWholeOnce({{path, plain}});
}

// A journal that a live run holds is not pending: recover alone passes it by and succeeds, while recover
// naming the file or its folder says it is in use. Once that run is killed, recover alone completes it.
TEST_F(InterruptionTest, RecoverAlonePassesByALiveRunsJournal) {
    // Large enough for a journal of its own.
    const auto plain = sampleBytes((2 << 20) + 1000, 5);
    const fs::path path = m_dir.writeFile("live", plain);
    PausedRun live(path);
    ASSERT_TRUE(live.paused());
    const auto journals = journalsIn(m_dir.path());
    ASSERT_EQ(journals.size(), 1u);

    const ChildResult alone = run({"recover"});
    EXPECT_EQ(alone.exitCode, 0) << alone.out << alone.err;
    EXPECT_EQ(alone.out, "");
    EXPECT_EQ(alone.err, "brisklet-cli: nothing to recover\n");
    for (const fs::path& named : {m_dir.path(), path}) {
        SCOPED_TRACE("recover " + named.string());
        const ChildResult given = run({"recover", named.string()});
        EXPECT_EQ(given.exitCode, 1);
        EXPECT_TRUE(contains(given.out, path.string() + ": failed (in use by another run")) << given.out;
    }
    EXPECT_EQ(journalsIn(m_dir.path()), journals) << "the live journal stays";
    EXPECT_EQ(readFile(path), plain) << "and nothing was applied";

    live.kill();
    const ChildResult recovered = run({"recover"});
    EXPECT_EQ(recovered.exitCode, 0) << recovered.out << recovered.err;
    EXPECT_EQ(recovered.out, path.string() + ": recovered after an interruption\n");
    expectEachFileWholeOnce({{path, plain}});
}

// Whatever the timing, the second run never works on the file while the first does.
TEST_F(InterruptionTest, TwoProcessesOnOneFileNeverMix) {
    const auto plain = sampleBytes(24 << 20, 9);
    const fs::path path = m_dir.writeFile("shared", plain);
    for (const int delayMs : {0, 50, 150, 400}) {
        SCOPED_TRACE("second run after " + std::to_string(delayMs) + " ms");
        RunningChild firstRun(BRISKLET_CLI_PATH, argsWith("encrypt", kPassphrase, {path}));
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        const ChildResult second = runWith("encrypt", kPassphrase, {path});
        const ChildResult first = firstRun.finish();
        EXPECT_NE(first.exitCode == 0, second.exitCode == 0) << first.out << second.out;
        const std::string& loser = first.exitCode == 0 ? second.out : first.out;
        // Refused while the first works on the file, or after it has renamed it.
        EXPECT_TRUE(contains(loser, "in use by another run") || contains(loser, "no such file") ||
                    contains(loser, "already exists"))
            << loser;
        expectEachFileWholeOnce({{path, plain}});
    }
}

} // namespace
