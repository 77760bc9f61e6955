// SPDX-License-Identifier: GPL-3.0-or-later
// Runs that write copies into another folder: the copy holds exactly what a rewrite in place would, the
// original is only read, a taken name or a pending rewrite refuses the file, and a failure or a kill at any
// step leaves the copy's name either absent or holding the whole result.
#include "engine/Cryptor.h"
#include "engine/DecryptionOperation.h"
#include "engine/EncryptionOperation.h"
#include "engine/InitialVector.h"
#include "engine/LogMessages.h"
#include "engine/StatusCode.h"
#include "platform/FaultInjection.h"
#include "platform/FileHandle.h"
#include "platform/FileStatus.h"
#include "tests/engine/operation_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace enginetest;
using engine::Cryptor;
using platform::FaultInjector;
using platform::FaultMode;
using platform::FaultPoint;
using testsupport::readFile;
using testsupport::sampleBytes;
namespace fs = std::filesystem;

constexpr std::array<uint8_t, 16> kFixedIv = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

enum class Run { Encrypt, Decrypt };

// A whole run of the Cryptor over `files`: in place, or with `into` as every row's output folder.
void runCryptor(Run run, const std::vector<fs::path>& files, const std::optional<fs::path>& into,
                Cryptor& cryptor, std::u16string_view passphrase = u"secret") {
    cryptor.addURLs(files);
    std::optional<std::string> refusal;
    if (into) {
        std::vector<fs::path> folders(files.size(), *into);
        refusal = run == Run::Encrypt ? cryptor.encryptFilesInto(passphrase, folders)
                                      : cryptor.decryptFilesInto(passphrase, folders);
    } else {
        refusal = run == Run::Encrypt ? cryptor.encryptFilesUsingPassPhrase(passphrase)
                                      : cryptor.decryptFilesUsingPassPhrase(passphrase);
    }
    ASSERT_EQ(refusal, std::nullopt);
    cryptor.waitUntilAllOperationsAreFinished();
}

class CopyTest : public OperationTest {
protected:
    fs::path folder(const std::string& name) const {
        fs::create_directories(m_dir.path() / name);
        return m_dir.path() / name;
    }
};

// Sizes around the block, the final block, the batch limit and the buffer's memory limit.
TEST_F(CopyTest, ACopyHoldsTheBytesOfARewriteInPlaceWithTheSameIv) {
    const engine::FixedInitialVector fixed(kFixedIv);
    for (const size_t length : {0u, 1u, 15u, 16u, 17u, 1000u, 300000u, (1u << 20) + 17}) {
        SCOPED_TRACE(length);
        const auto plain = sampleBytes(length, static_cast<uint32_t>(length));
        const std::string name = "f" + std::to_string(length);
        const fs::path inPlace = folder("in-place") / name;
        const fs::path original = folder("source") / name;
        testsupport::writeFile(inPlace, plain);
        testsupport::writeFile(original, plain);

        Cryptor rewrite;
        runCryptor(Run::Encrypt, {inPlace}, std::nullopt, rewrite);
        Cryptor copy;
        runCryptor(Run::Encrypt, {original}, m_dir.path() / "out", copy);
        ASSERT_EQ(copy.statusOnRow(0), engine::StatusDone) << copy.failureReasonOnRow(0);
        const fs::path encrypted = m_dir.path() / "out" / (name + ".brisklet");
        EXPECT_EQ(copy.finalURLOnRow(0), encrypted);
        EXPECT_EQ(readFile(encrypted), readFile(rewrite.finalURLOnRow(0)));
        EXPECT_EQ(readFile(original), plain);

        Cryptor back;
        runCryptor(Run::Decrypt, {encrypted}, m_dir.path() / "back", back);
        ASSERT_EQ(back.statusOnRow(0), engine::StatusDone) << back.failureReasonOnRow(0);
        EXPECT_EQ(readFile(m_dir.path() / "back" / name), plain);
        Cryptor backInPlace;
        runCryptor(Run::Decrypt, {rewrite.finalURLOnRow(0)}, std::nullopt, backInPlace);
        EXPECT_EQ(readFile(backInPlace.finalURLOnRow(0)), plain);
    }
}

// Nothing but reads reach the file or its folder, even where its owner may not write it.
TEST_F(CopyTest, AReadOnlySourceIsOnlyRead) {
    const fs::path source = folder("source");
    const auto original = m_dir.writeFile("source/report.pdf", sampleBytes(5000));
    ::chmod(original.c_str(), 0400);
    ::chmod(source.c_str(), 0500);
    const auto before = platform::statusOfPath(original, platform::FollowLinks::No);

    std::vector<platform::FaultCall> calls;
    Cryptor cryptor;
    {
        const FaultInjector logger(FaultPoint::Open, 1 << 30);
        runCryptor(Run::Encrypt, {original}, m_dir.path() / "out", cryptor);
        calls = logger.calls();
    }
    ::chmod(source.c_str(), 0700);
    ASSERT_EQ(cryptor.statusOnRow(0), engine::StatusDone) << cryptor.failureReasonOnRow(0);
    EXPECT_EQ(testsupport::listNames(source), std::vector<std::string>{"report.pdf"});
    const auto after = platform::statusOfPath(original, platform::FollowLinks::No);
    EXPECT_EQ(after->modifiedNanoseconds, before->modifiedNanoseconds);
    EXPECT_EQ(after->changedNanoseconds, before->changedNanoseconds);
    const std::set<FaultPoint> reading = {FaultPoint::Open, FaultPoint::Read, FaultPoint::Lock};
    for (const auto& call : calls) {
        if (call.subject.starts_with(source.string()) ||
            call.subject.starts_with(fs::canonical(source).string())) {
            EXPECT_TRUE(reading.contains(call.point))
                << platform::faultPointName(call.point) << " on " << call.subject;
        }
    }
    EXPECT_EQ(decryptFormat(readFile(m_dir.path() / "out" / "report.pdf.brisklet"),
                            keyFor(u"secret", twofish::DIR_DECRYPT)),
              sampleBytes(5000));
}

// Readers share the file; a rewrite in place holds it alone.
TEST_F(CopyTest, TheSourceIsReadUnderASharedLock) {
    const auto original = m_dir.writeFile("a", sampleBytes(100));
    for (const auto kind :
         {platform::FileHandle::LockKind::Exclusive, platform::FileHandle::LockKind::Shared}) {
        const bool exclusive = kind == platform::FileHandle::LockKind::Exclusive;
        SCOPED_TRACE(exclusive ? "held by a writer" : "held by a reader");
        const auto held =
            platform::FileHandle::openNoFollow(original, exclusive ? platform::FileHandle::Access::ReadWrite
                                                                   : platform::FileHandle::Access::ReadOnly);
        ASSERT_EQ(held->tryLock(kind), platform::FileHandle::LockResult::Locked);
        const fs::path out = m_dir.path() / (exclusive ? "out-writer" : "out-reader");
        Cryptor cryptor;
        runCryptor(Run::Encrypt, {original}, out, cryptor);
        EXPECT_EQ(cryptor.statusOnRow(0), exclusive ? engine::StatusFailed : engine::StatusDone);
        EXPECT_EQ(cryptor.failureReasonOnRow(0),
                  exclusive ? std::string(engine::logmsg::kInUseByAnotherRun) : "");
        EXPECT_EQ(fs::exists(out / "a.brisklet"), !exclusive);
    }
    const auto reader = platform::FileHandle::openNoFollow(original, platform::FileHandle::Access::ReadOnly);
    ASSERT_EQ(reader->tryLock(platform::FileHandle::LockKind::Shared),
              platform::FileHandle::LockResult::Locked);
    EXPECT_EQ(encrypt(original), engine::StatusFailed) << "a rewrite in place waits for no reader";
}

TEST_F(CopyTest, ATakenNameRefusesTheFileAndIsLeftAlone) {
    folder("source");
    folder("out");
    const auto original = m_dir.writeFile("source/a.txt", sampleBytes(100, 1));
    const auto taken = m_dir.writeFile("out/a.txt.brisklet", sampleBytes(10, 2));
    Cryptor cryptor;
    runCryptor(Run::Encrypt, {original}, m_dir.path() / "out", cryptor);
    EXPECT_EQ(cryptor.statusOnRow(0), engine::StatusFailed);
    EXPECT_EQ(cryptor.failureReasonOnRow(0), "a.txt.brisklet already exists");
    EXPECT_EQ(readFile(taken), sampleBytes(10, 2));
    EXPECT_EQ(readFile(original), sampleBytes(100, 1));
    EXPECT_EQ(testsupport::listNames(m_dir.path() / "out"), std::vector<std::string>{"a.txt.brisklet"});
}

TEST_F(CopyTest, AWrongPassphraseMakesNothingInTheOutputFolder) {
    folder("source");
    const auto plain = m_dir.writeFile("source/a.txt", sampleBytes(1000));
    ASSERT_EQ(encrypt(plain), engine::StatusDone);
    const fs::path encrypted = m_dir.path() / "source" / "a.txt.brisklet";
    const auto before = readFile(encrypted);
    Cryptor cryptor;
    runCryptor(Run::Decrypt, {encrypted}, m_dir.path() / "out" / "deeper", cryptor, u"wrong");
    EXPECT_EQ(cryptor.statusOnRow(0), engine::StatusFailed);
    EXPECT_EQ(cryptor.failureReasonOnRow(0), engine::logmsg::kPassphraseMightBeWrong);
    EXPECT_FALSE(fs::exists(m_dir.path() / "out"));
    EXPECT_EQ(readFile(encrypted), before);
}

// A stop while a copy is being written drops it: the name never appears.
TEST_F(CopyTest, AStopDuringTheCopyLeavesNoCopy) {
    folder("source");
    const auto original = m_dir.writeFile("source/big", sampleBytes(3 << 20));
    Cryptor cryptor;
    {
        // The second read of the file's data comes after the copy's file was made.
        const FaultInjector stop(FaultPoint::Read, 2, [&] { cryptor.stopRun(); });
        runCryptor(Run::Encrypt, {original}, m_dir.path() / "out", cryptor);
    }
    EXPECT_EQ(cryptor.statusOnRow(0), engine::StatusNone);
    EXPECT_EQ(cryptor.failureReasonOnRow(0), engine::logmsg::kStoppedUntouched);
    EXPECT_EQ(testsupport::listNames(m_dir.path() / "out"), std::vector<std::string>{});
    EXPECT_EQ(readFile(original), sampleBytes(3 << 20));
}

// A file that an interrupted rewrite left half done is neither its old nor its new content: only recover
// may complete it, and a run of copies writes nothing beside its files.
TEST_F(CopyTest, APendingRewriteRefusesTheFileNamingRecover) {
    const auto plain = m_dir.writeFile("a.txt", sampleBytes(300000));
    const auto encryptInPlace = [&] {
        RecordingMaster master;
        engine::EncryptionOperation(plain, runKeyFor(u"secret", twofish::DIR_ENCRYPT), &master, 0).main();
    };
    // Which rename is the file's own: the rewrite is pending from the journal's link up to it.
    int fileRename = 0;
    {
        const FaultInjector counter(FaultPoint::Open, 1 << 30);
        encryptInPlace();
        int renames = 0;
        for (const auto& call : counter.calls()) {
            renames += call.point == FaultPoint::Rename ? 1 : 0;
            if (call.point == FaultPoint::Rename && fs::path(call.subject).filename() == "a.txt") {
                fileRename = renames;
            }
        }
    }
    ASSERT_GT(fileRename, 0);
    fs::remove(m_dir.path() / "a.txt.brisklet");
    m_dir.writeFile("a.txt", sampleBytes(300000));
    const pid_t child = ::fork();
    if (child == 0) {
        {
            const FaultInjector crash(FaultPoint::Rename, fileRename, FaultMode::ExitProcess);
            encryptInPlace();
        }
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == platform::kFaultExitStatus);
    ASSERT_FALSE(tempFiles().empty());
    const auto namesBefore = m_dir.names();

    Cryptor cryptor;
    runCryptor(Run::Encrypt, {plain}, m_dir.path() / "out", cryptor);
    EXPECT_EQ(cryptor.statusOnRow(0), engine::StatusFailed);
    EXPECT_EQ(cryptor.failureReasonOnRow(0),
              engine::logmsg::interruptedRewritePending(fs::canonical(m_dir.path()).string()));
    EXPECT_EQ(m_dir.names(), namesBefore);
    EXPECT_FALSE(fs::exists(m_dir.path() / "out" / "a.txt.brisklet"));
    recoverPending();
}

// Failures and kills at every step of a copy, by direction.
class CopyStepTest : public CopyTest, public testing::WithParamInterface<Direction> {
protected:
    const std::vector<uint8_t> m_plain = sampleBytes((1 << 20) + 1000, 7);

    struct Files {
        fs::path input;
        fs::path output;
        std::vector<uint8_t> before;
    };

    Files prepare() {
        folder("source");
        const fs::path plainPath = m_dir.writeFile("source/data.bin", m_plain);
        if (GetParam() == Direction::Encrypt) {
            return {plainPath, out() / "data.bin.brisklet", m_plain};
        }
        EXPECT_EQ(encrypt(plainPath), engine::StatusDone);
        const fs::path encrypted = m_dir.path() / "source" / "data.bin.brisklet";
        return {encrypted, out() / "data.bin", readFile(encrypted)};
    }

    fs::path out() const { return m_dir.path() / "out" / "nested"; }

    std::string m_lastReason; // of the last runBare()

    int32_t runBare(const fs::path& input) {
        RecordingMaster master;
        std::unique_ptr<engine::FileOperation> operation;
        if (GetParam() == Direction::Encrypt) {
            operation = std::make_unique<engine::EncryptionOperation>(
                input, runKeyFor(u"secret", twofish::DIR_ENCRYPT), &master, 0);
        } else {
            operation = std::make_unique<engine::DecryptionOperation>(
                input, runKeyFor(u"secret", twofish::DIR_DECRYPT), &master, 0);
        }
        operation->copyInto(out());
        operation->main();
        m_lastReason = master.lastReason();
        return master.reports().empty() ? -1 : master.reports().front().first;
    }

    bool isWholeResult(const std::vector<uint8_t>& content) const {
        if (GetParam() == Direction::Encrypt) {
            return decryptFormat(content, keyFor(u"secret", twofish::DIR_DECRYPT)) == m_plain;
        }
        return content == m_plain;
    }

    // After any end: the original as it was, the copy's name absent or whole, nothing else made.
    void expectOriginalAndAllOrNothing(const Files& files) {
        EXPECT_EQ(readFile(files.input), files.before) << "the original, untouched";
        EXPECT_EQ(testsupport::listNames(files.input.parent_path()),
                  std::vector<std::string>{files.input.filename().string()});
        if (fs::exists(files.output)) {
            EXPECT_TRUE(isWholeResult(readFile(files.output))) << "the copy, whole";
        }
        for (const std::string& name : testsupport::listNames(out())) {
            EXPECT_EQ(name, files.output.filename().string()) << "nothing else in the output folder";
        }
        fs::remove_all(m_dir.path() / "out");
        fs::remove_all(m_dir.path() / "source");
    }

    std::vector<std::pair<FaultPoint, int>> countCalls() {
        std::vector<std::pair<FaultPoint, int>> counts;
        const Files files = prepare();
        const FaultInjector counter(FaultPoint::Open, 1 << 30);
        EXPECT_EQ(runBare(files.input), engine::StatusDone);
        for (int point = 0; point < platform::kFaultPointCount; ++point) {
            counts.emplace_back(static_cast<FaultPoint>(point),
                                counter.callCount(static_cast<FaultPoint>(point)));
        }
        expectOriginalAndAllOrNothing(files);
        return counts;
    }
};

TEST_P(CopyStepTest, AFailureAtAnyStepLeavesTheOriginalAndNoPartialCopy) {
    for (const auto& [point, calls] : countCalls()) {
        for (const int nth : sampleCalls(calls, 4, 4)) {
            SCOPED_TRACE(std::string(platform::faultPointName(point)) + " call " + std::to_string(nth) +
                         " of " + std::to_string(calls));
            const Files files = prepare();
            int32_t code = 0;
            {
                const FaultInjector failure(point, nth);
                code = runBare(files.input);
            }
            // Once named, the copy stays: only the folder's sync can fail after that, and says so.
            const bool named = code == engine::StatusDone ||
                               m_lastReason.starts_with("copied, but could not be made durable");
            EXPECT_EQ(named, fs::exists(files.output)) << m_lastReason;
            expectOriginalAndAllOrNothing(files);
        }
    }
}

TEST_P(CopyStepTest, AKillAtAnyStepLeavesTheOriginalAndNoPartialCopy) {
    int killed = 0;
    for (const auto& [point, calls] : countCalls()) {
        for (const int nth : sampleCalls(calls, 4, 4)) {
            SCOPED_TRACE(std::string(platform::faultPointName(point)) + " call " + std::to_string(nth) +
                         " of " + std::to_string(calls));
            const Files files = prepare();
            const pid_t child = ::fork();
            if (child == 0) {
                {
                    const FaultInjector crash(point, nth, FaultMode::ExitProcess);
                    runBare(files.input);
                }
                ::_exit(0);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == platform::kFaultExitStatus);
            ++killed;
            expectOriginalAndAllOrNothing(files);
        }
    }
    EXPECT_GT(killed, 10);
}

// What a kill cannot show and a power loss would: the copy reaches the disk before its name, and its name
// before the run reports.
TEST_P(CopyStepTest, TheCopyIsSyncedBeforeItIsNamedAndItsFolderAfter) {
    const Files files = prepare();
    std::vector<platform::FaultCall> calls;
    {
        const FaultInjector logger(FaultPoint::Open, 1 << 30);
        ASSERT_EQ(runBare(files.input), engine::StatusDone);
        calls = logger.calls();
    }
    const auto indexOf = [&](FaultPoint point, const std::function<bool(const fs::path&)>& subject) {
        std::vector<size_t> found;
        for (size_t i = 0; i < calls.size(); ++i) {
            if (calls[i].point == point && subject(calls[i].subject)) {
                found.push_back(i);
            }
        }
        return found;
    };
    const auto names = indexOf(FaultPoint::Rename, [&](const fs::path& p) { return p == files.output; });
    ASSERT_EQ(names.size(), 1u);
    const auto folderSyncs = indexOf(FaultPoint::Sync, [&](const fs::path& p) { return p == out(); });
    ASSERT_EQ(folderSyncs.size(), 1u);
    EXPECT_GT(folderSyncs[0], names[0]);
    // The unnamed copy's own sync: a subject in the output folder that is neither the folder nor a name.
    const auto copySyncs = indexOf(FaultPoint::Sync, [&](const fs::path& p) {
        return p.parent_path() == fs::canonical(out()) && p != files.output;
    });
    ASSERT_EQ(copySyncs.size(), 1u);
    EXPECT_LT(copySyncs[0], names[0]);
    expectOriginalAndAllOrNothing(files);
}

INSTANTIATE_TEST_SUITE_P(BothDirections, CopyStepTest,
                         testing::Values(Direction::Encrypt, Direction::Decrypt), directionName);

} // namespace
