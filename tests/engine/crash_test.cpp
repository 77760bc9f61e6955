// SPDX-License-Identifier: GPL-3.0-or-later
// Runs are ended abruptly at every step of their rewrite, in child processes, then recovered: each file is
// either its original or its complete new form under the right name, with nothing left over. And the
// order of the syncs, which is what a power loss (unlike a kill) depends on.
#include "engine/Cryptor.h"
#include "engine/DecryptionOperation.h"
#include "engine/EncryptionOperation.h"
#include "engine/JournalFormat.h"
#include "engine/StatusCode.h"
#include "platform/FaultInjection.h"
#include "tests/engine/operation_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
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

class CrashTest : public OperationTest, public testing::WithParamInterface<Direction> {
protected:
    // Three write-back chunks.
    const std::vector<uint8_t> m_plain = testsupport::sampleBytes((2 << 20) + 1000, 11);

    struct Files {
        fs::path input;
        fs::path output;
        std::vector<uint8_t> before;
        std::vector<uint8_t> after; // for decryption; an encryption's result is checked by decrypting it
    };

    Files prepare() {
        const fs::path plainPath = m_dir.writeFile("data.bin", m_plain);
        if (GetParam() == Direction::Encrypt) {
            return {plainPath, m_dir.path() / "data.bin.brisklet", m_plain, {}};
        }
        EXPECT_EQ(encrypt(plainPath), engine::StatusDone);
        const fs::path encrypted = m_dir.path() / "data.bin.brisklet";
        return {encrypted, plainPath, readFile(encrypted), m_plain};
    }

    // The operation alone, with nothing of the test framework, as the child's whole life.
    void runBare(const fs::path& input) {
        RecordingMaster master;
        if (GetParam() == Direction::Encrypt) {
            engine::EncryptionOperation(input, runKeyFor(u"secret", twofish::DIR_ENCRYPT), &master, 0).main();
        } else {
            engine::DecryptionOperation(input, runKeyFor(u"secret", twofish::DIR_DECRYPT), &master, 0).main();
        }
    }

    // Exit status of a child that runs the operation with `point`'s nth call ending it.
    int runInChild(const fs::path& input, FaultPoint point, int nth) {
        const pid_t child = ::fork();
        if (child == 0) {
            {
                const FaultInjector crash(point, nth, FaultMode::ExitProcess);
                runBare(input);
            }
            ::_exit(0);
        }
        int status = 0;
        EXPECT_EQ(::waitpid(child, &status, 0), child);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    bool isTransformed(const std::vector<uint8_t>& content) const {
        if (GetParam() == Direction::Encrypt) {
            return decryptFormat(content, keyFor(u"secret", twofish::DIR_DECRYPT)) == m_plain;
        }
        return content == m_plain;
    }
};

TEST_P(CrashTest, RecoveryLeavesTheOriginalOrTheWholeResultAfterAKillAtAnyStep) {
    std::vector<std::pair<FaultPoint, int>> counts;
    {
        const Files files = prepare();
        const FaultInjector counter(FaultPoint::Open, 1 << 30);
        runBare(files.input);
        for (int point = 0; point < platform::kFaultPointCount; ++point) {
            counts.emplace_back(static_cast<FaultPoint>(point),
                                counter.callCount(static_cast<FaultPoint>(point)));
        }
        fs::remove(files.output);
    }

    int interrupted = 0;
    for (const auto& [point, calls] : counts) {
        // The ends are where the rewrite is; the spread covers the many reads and appends.
        for (const int nth : sampleCalls(calls, 8, 8)) {
            SCOPED_TRACE(std::string(platform::faultPointName(point)) + " call " + std::to_string(nth) +
                         " of " + std::to_string(calls));
            const Files files = prepare();
            const int exitStatus = runInChild(files.input, point, nth);
            ASSERT_EQ(exitStatus, platform::kFaultExitStatus);
            interrupted += tempFiles().empty() ? 0 : 1;

            recoverPending();
            if (fs::exists(files.input)) {
                EXPECT_EQ(readFile(files.input), files.before) << "the original, whole";
                EXPECT_FALSE(fs::exists(files.output));
            } else {
                EXPECT_TRUE(isTransformed(readFile(files.output))) << "the new form, whole";
            }
            EXPECT_TRUE(tempFiles().empty()) << "nothing left over";
            fs::remove(files.input);
            fs::remove(files.output);
        }
    }
    EXPECT_GT(interrupted, 0) << "some kills must have come after the journal, or recovery was never tried";
}

// Indexes of the calls of one kind on one subject, in order.
std::vector<size_t> where(const std::vector<FaultCall>& calls, FaultPoint point, const std::string& subject) {
    std::vector<size_t> found;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].point == point && calls[i].subject == subject) {
            found.push_back(i);
        }
    }
    return found;
}

TEST_P(CrashTest, TheJournalReachesTheDiskBeforeTheFileChanges) {
    const Files files = prepare();
    const fs::path input = fs::canonical(files.input);
    const std::string folder = m_dir.path().string();
    std::vector<FaultCall> calls;
    {
        const FaultInjector logger(FaultPoint::Open, 1 << 30);
        runBare(files.input);
        calls = logger.calls();
    }
    ASSERT_TRUE(isTransformed(readFile(files.output)));

    // The journal is given its name once complete: a link into the folder, the only one the run makes.
    const auto link = std::find_if(calls.begin(), calls.end(), [](const FaultCall& call) {
        return call.point == FaultPoint::Rename &&
               fs::path(call.subject).filename().string().starts_with(engine::kJournalPrefix);
    });
    ASSERT_NE(link, calls.end());
    const size_t linkAt = static_cast<size_t>(link - calls.begin());
    const std::string journal = link->subject;
    // Before it, the unnamed journal was synced: a sync of neither the file nor the folder.
    const auto journalSync = std::find_if(calls.begin(), link, [&](const FaultCall& call) {
        return call.point == FaultPoint::Sync && call.subject != input.string() && call.subject != folder;
    });
    EXPECT_NE(journalSync, link) << "the journal is synced before it is named";
    const auto folderSyncs = where(calls, FaultPoint::Sync, folder);
    ASSERT_GE(folderSyncs.size(), 2u);
    EXPECT_GT(folderSyncs.front(), linkAt) << "the journal's name reaches the disk";

    // Every change to the file comes after that; the probe's rewrite of its own last byte comes before.
    auto writes = where(calls, FaultPoint::Write, input.string());
    const auto copies = where(calls, FaultPoint::CopyFileRange, input.string());
    writes.insert(writes.end(), copies.begin(), copies.end());
    const auto extensions = where(calls, FaultPoint::Fallocate, input.string());
    std::vector<size_t> changes(extensions);
    std::copy_if(writes.begin(), writes.end(), std::back_inserter(changes),
                 [&](size_t i) { return i > linkAt; });
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(writes.size() - changes.size() + extensions.size(), 1u) << "only the probe writes before";
    EXPECT_GT(*std::min_element(changes.begin(), changes.end()), folderSyncs.front());
    EXPECT_EQ(extensions.empty(), GetParam() == Direction::Decrypt) << "only a growing file is extended";

    // Then: cut, the file synced after its last change, renamed, the folder synced, the journal removed.
    const size_t lastWrite = *std::max_element(changes.begin(), changes.end());
    const auto fileSyncs = where(calls, FaultPoint::Sync, input.string());
    ASSERT_EQ(fileSyncs.size(), 1u);
    EXPECT_GT(fileSyncs.front(), lastWrite);
    const auto cuts = where(calls, FaultPoint::Truncate, input.string());
    if (GetParam() == Direction::Decrypt) {
        ASSERT_EQ(cuts.size(), 1u);
        EXPECT_GT(fileSyncs.front(), cuts[0]);
    }
    const auto renames = where(calls, FaultPoint::Rename, input.string());
    ASSERT_EQ(renames.size(), 1u);
    EXPECT_GT(renames[0], fileSyncs.front());
    EXPECT_GT(folderSyncs.back(), renames[0]);
    const auto removal = where(calls, FaultPoint::Unlink, journal);
    ASSERT_EQ(removal.size(), 1u);
    EXPECT_GT(removal[0], folderSyncs.back());
}

INSTANTIATE_TEST_SUITE_P(BothDirections, CrashTest, testing::Values(Direction::Encrypt, Direction::Decrypt),
                         directionName);

} // namespace
