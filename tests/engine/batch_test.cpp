// SPDX-License-Identifier: GPL-3.0-or-later
// Small files rewritten in batches that share their syncs: killed at every step and failed at every
// call, each file still ends either as it was or complete under its new name; and the shared syncs come
// in the order that a power loss depends on.
#include "engine/Cryptor.h"
#include "engine/JournalFormat.h"
#include "engine/StatusCode.h"
#include "platform/FaultInjection.h"
#include "platform/FileSystemTraits.h"
#include "tests/engine/operation_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace enginetest;
using platform::FaultCall;
using platform::FaultInjector;
using platform::FaultMode;
using platform::FaultPoint;
using testsupport::readFile;
namespace fs = std::filesystem;

class BatchTest : public OperationTest, public testing::WithParamInterface<Direction> {
protected:
    // Lengths around the block size and one of several blocks; all small enough to share a batch.
    const std::vector<size_t> m_lengths = {0, 1, 15, 16, 100, 5000, 70000};
    std::map<fs::path, std::vector<uint8_t>> m_plain;

    // The files as a run is given them: plain for encryption, encrypted for decryption.
    std::vector<fs::path> prepare() {
        m_plain.clear();
        std::vector<fs::path> inputs;
        for (size_t i = 0; i < m_lengths.size(); ++i) {
            const fs::path path =
                m_dir.writeFile("file" + std::to_string(i), testsupport::sampleBytes(m_lengths[i], 40 + i));
            m_plain[path] = readFile(path);
            inputs.push_back(path);
        }
        if (GetParam() == Direction::Decrypt) {
            runAll(inputs, Direction::Encrypt);
            for (auto& input : inputs) {
                input += ".brisklet";
            }
        }
        return inputs;
    }

    // One run over `inputs`, as the front ends make it; every row must report exactly once.
    void runAll(const std::vector<fs::path>& inputs, Direction direction) {
        engine::Cryptor cryptor;
        cryptor.addURLs(inputs);
        const auto refusal = direction == Direction::Encrypt ? cryptor.encryptFilesUsingPassPhrase(u"secret")
                                                             : cryptor.decryptFilesUsingPassPhrase(u"secret");
        ASSERT_EQ(refusal, std::nullopt);
        cryptor.waitUntilAllOperationsAreFinished();
        EXPECT_FALSE(cryptor.isBusy()) << "every row reported";
    }

    // Each file once: its original under its name, or its whole new form under the new name; where a
    // rename failed, the whole new form under the old name.
    enum class Renames { Done, MayHaveFailed };
    void expectEachFileWholeOnce(Renames renames = Renames::Done) {
        const auto key = keyFor(u"secret", twofish::DIR_DECRYPT);
        for (const auto& [plainPath, plain] : m_plain) {
            SCOPED_TRACE(plainPath.filename().string());
            const fs::path encrypted = fs::path(plainPath) += ".brisklet";
            ASSERT_NE(fs::exists(plainPath), fs::exists(encrypted)) << "exactly one of the two names";
            const auto content = readFile(fs::exists(plainPath) ? plainPath : encrypted);
            const bool isPlain = content == plain;
            const bool isEncrypted = !isPlain && decryptFormat(content, key) == plain;
            EXPECT_TRUE(isPlain || isEncrypted) << "whole, in one form or the other";
            if (renames == Renames::Done) {
                EXPECT_EQ(isPlain, fs::exists(plainPath)) << "under the name that goes with its form";
            }
        }
        EXPECT_TRUE(tempFiles().empty()) << "no journal left";
    }

    void removeAll() {
        for (const auto& [path, plain] : m_plain) {
            fs::remove(path);
            fs::remove(fs::path(path) += ".brisklet");
        }
    }
};

TEST_P(BatchTest, AKillAtAnyStepLeavesEveryFileWholeOnceRecovered) {
    std::vector<std::pair<FaultPoint, int>> counts;
    {
        const auto inputs = prepare();
        const FaultInjector counter(FaultPoint::Open, 1 << 30);
        runAll(inputs, GetParam());
        for (int point = 0; point < platform::kFaultPointCount; ++point) {
            counts.emplace_back(static_cast<FaultPoint>(point),
                                counter.callCount(static_cast<FaultPoint>(point)));
        }
        removeAll();
    }
    for (const auto& [point, calls] : counts) {
        for (const int nth : sampleCalls(calls, 12, 6)) {
            SCOPED_TRACE(std::string(platform::faultPointName(point)) + " call " + std::to_string(nth) +
                         " of " + std::to_string(calls));
            const auto inputs = prepare();
            const pid_t child = ::fork();
            if (child == 0) {
                const FaultInjector crash(point, nth, FaultMode::ExitProcess);
                runAll(inputs, GetParam());
                ::_exit(0);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFEXITED(status));
            recoverPending();
            expectEachFileWholeOnce();
            removeAll();
        }
    }
}

TEST_P(BatchTest, AFailedCallAnywhereLosesNothing) {
    const FaultPoint points[] = {FaultPoint::Sync,     FaultPoint::Rename,      FaultPoint::Unlink,
                                 FaultPoint::Write,    FaultPoint::RecordWrite, FaultPoint::CopyFileRange,
                                 FaultPoint::Truncate, FaultPoint::Fallocate,   FaultPoint::Lock};
    for (const FaultPoint point : points) {
        int calls = 0;
        {
            const auto inputs = prepare();
            const FaultInjector counter(point, 1 << 30);
            runAll(inputs, GetParam());
            calls = counter.callCount(point);
            removeAll();
        }
        for (const int nth : sampleCalls(calls, 12, 6)) {
            SCOPED_TRACE(std::string(platform::faultPointName(point)) + " call " + std::to_string(nth));
            const auto inputs = prepare();
            {
                const FaultInjector failing(point, nth);
                runAll(inputs, GetParam());
            }
            recoverPending();
            expectEachFileWholeOnce(point == FaultPoint::Rename ? Renames::MayHaveFailed : Renames::Done);
            removeAll();
        }
    }
}

// The shared syncs in the order that survives a power loss: the state directory's file system after every
// replacement and record is written and before any file changes; each file's file system after every
// file is overwritten and before any is renamed; the folder after the renames and before any record goes.
TEST_P(BatchTest, TheSharedSyncsComeBetweenTheSteps) {
    const auto inputs = prepare();
    std::vector<FaultCall> calls;
    {
        const FaultInjector logger(FaultPoint::Open, 1 << 30);
        runAll(inputs, GetParam());
        calls = logger.calls();
    }
    expectEachFileWholeOnce();
    const std::string folder = m_dir.path().string();
    const auto isJournal = [](const FaultCall& c) {
        return fs::path(c.subject).filename().string().starts_with(engine::kJournalPrefix);
    };
    const auto first = [&](auto matches) {
        return static_cast<size_t>(std::find_if(calls.begin(), calls.end(), matches) - calls.begin());
    };
    const auto last = [&](auto matches) {
        const auto found = std::find_if(calls.rbegin(), calls.rend(), matches);
        return found == calls.rend() ? size_t{0} : static_cast<size_t>(calls.rend() - found - 1);
    };

    // The batch's one journal: synced while unnamed, then linked in, then its folder synced.
    const size_t link =
        first([&](const FaultCall& c) { return c.point == FaultPoint::Rename && isJournal(c); });
    const size_t journalSync = first([](const FaultCall& c) { return c.point == FaultPoint::Sync; });
    const size_t folderSync =
        first([&](const FaultCall& c) { return c.point == FaultPoint::Sync && c.subject == folder; });
    // The probes rewrite each file's last byte before the journal; every other change comes after.
    const auto changesAFile = [&](const FaultCall& c) {
        return !isJournal(c) && c.subject.starts_with(folder + "/") &&
               (c.point == FaultPoint::CopyFileRange || c.point == FaultPoint::Fallocate ||
                c.point == FaultPoint::Truncate);
    };
    const size_t firstChange = first(changesAFile);
    const size_t lastChange = last(changesAFile);
    const size_t lastRename =
        last([&](const FaultCall& c) { return c.point == FaultPoint::Rename && !isJournal(c); });
    // One sync of the file system for all files, where it reports write-back errors; then the folder.
    const size_t sharedSync = static_cast<size_t>(
        std::find_if(calls.begin() + static_cast<std::ptrdiff_t>(std::min(folderSync + 1, calls.size())),
                     calls.end(),
                     [&](const FaultCall& c) { return c.point == FaultPoint::Sync && c.subject != folder; }) -
        calls.begin());
    const size_t lastFolderSync =
        last([&](const FaultCall& c) { return c.point == FaultPoint::Sync && c.subject == folder; });
    const size_t journalGone =
        first([&](const FaultCall& c) { return c.point == FaultPoint::Unlink && isJournal(c); });

    ASSERT_LT(link, calls.size());
    ASSERT_LT(firstChange, calls.size());
    EXPECT_LT(journalSync, link);
    EXPECT_LT(link, folderSync);
    EXPECT_LT(folderSync, firstChange);
    EXPECT_LT(lastChange, lastRename) << "each file is renamed as soon as it is in place";
    if (platform::syncFileSystemReportsErrors()) {
        EXPECT_LT(lastRename, sharedSync);
        EXPECT_LT(sharedSync, lastFolderSync);
    }
    EXPECT_LT(lastRename, lastFolderSync);
    EXPECT_LT(lastFolderSync, journalGone);
    const auto syncs = std::count_if(calls.begin(), calls.end(),
                                     [](const FaultCall& c) { return c.point == FaultPoint::Sync; });
    if (platform::syncFileSystemReportsErrors()) {
        EXPECT_EQ(syncs, 4) << "the journal, its folder, the file system once for every file, the folder";
    }
}

INSTANTIATE_TEST_SUITE_P(BothDirections, BatchTest, testing::Values(Direction::Encrypt, Direction::Decrypt),
                         directionName);

} // namespace
