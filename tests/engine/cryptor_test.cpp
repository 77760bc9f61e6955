// SPDX-License-Identifier: GPL-3.0-or-later
// The file list and its runs: rows, codes, notifications, and safety against concurrent reports.
#include "engine/Cryptor.h"

#include "engine/LogMessages.h"
#include "engine/Notifications.h"
#include "engine/StatusCode.h"
#include "platform/FaultInjection.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/ObserverRegistration.h"
#include "tests/engine/operation_fixture.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

using namespace engine;
using enginetest::decryptFormat;
using enginetest::keyFor;
using testsupport::readFile;
using testsupport::sampleBytes;
namespace fs = std::filesystem;

// Records the notifications a Cryptor posts, with isBusy() as seen inside each, and waits for the end.
class RunObserver {
public:
    explicit RunObserver(Cryptor& cryptor) : m_cryptor(cryptor) {
        auto& center = platform::NotificationCenter::defaultCenter();
        for (std::string_view name : {kOperationUpdate, kOperationTerminated}) {
            m_registrations.emplace_back(
                center, center.addObserver(std::string(name), &cryptor,
                                           [this](const platform::Notification& n) { record(n); }));
        }
    }

    // Waits for the run's end; fails instead of hanging.
    void waitForEnd() {
        std::unique_lock lock(m_mutex);
        ASSERT_TRUE(m_ended.wait_for(lock, std::chrono::seconds(60), [&] { return m_terminated > 0; }))
            << "the run never ended";
        lock.unlock();
        m_cryptor.waitUntilAllOperationsAreFinished();
    }

    std::vector<std::string> names() const {
        std::lock_guard lock(m_mutex);
        return m_names;
    }
    std::vector<bool> busyStates() const {
        std::lock_guard lock(m_mutex);
        return m_busy;
    }

private:
    void record(const platform::Notification& notification) {
        std::lock_guard lock(m_mutex);
        m_names.emplace_back(notification.name);
        m_busy.push_back(m_cryptor.isBusy());
        if (notification.name == kOperationTerminated) {
            ++m_terminated;
            m_ended.notify_all();
        }
    }

    Cryptor& m_cryptor;
    mutable std::mutex m_mutex;
    std::condition_variable m_ended;
    std::vector<std::string> m_names;
    std::vector<bool> m_busy;
    int m_terminated = 0;
    std::vector<platform::ObserverRegistration> m_registrations;
};

class CryptorTest : public enginetest::OperationTest {
protected:
    std::vector<int32_t> codes() const {
        std::vector<int32_t> result;
        for (uint64_t row = 0; row < m_cryptor.urlCount(); ++row) {
            result.push_back(m_cryptor.statusOnRow(static_cast<int64_t>(row)));
        }
        return result;
    }

    void encryptAll(std::u16string_view passphrase = u"secret") {
        RunObserver observer(m_cryptor);
        ASSERT_EQ(m_cryptor.encryptFilesUsingPassPhrase(passphrase), std::nullopt);
        observer.waitForEnd();
    }

    void decryptAll(std::u16string_view passphrase = u"secret") {
        RunObserver observer(m_cryptor);
        ASSERT_EQ(m_cryptor.decryptFilesUsingPassPhrase(passphrase), std::nullopt);
        observer.waitForEnd();
    }

    Cryptor m_cryptor;
};

TEST_F(CryptorTest, AnEmptyRunQueuesAndPostsNothing) {
    RunObserver observer(m_cryptor);
    EXPECT_EQ(m_cryptor.encryptFilesUsingPassPhrase(u"secret"), std::nullopt);
    EXPECT_FALSE(m_cryptor.isBusy());
    m_cryptor.waitUntilAllOperationsAreFinished();
    EXPECT_TRUE(observer.names().empty());
}

TEST_F(CryptorTest, ARunOfThreePostsTwoUpdatesThenTheEnd) {
    std::vector<std::vector<uint8_t>> contents;
    for (int i = 0; i < 3; ++i) {
        contents.push_back(sampleBytes(1000 * i + 5, static_cast<uint32_t>(i)));
        m_cryptor.addURLs({m_dir.writeFile("f" + std::to_string(i), contents.back())});
    }
    RunObserver observer(m_cryptor);
    ASSERT_EQ(m_cryptor.encryptFilesUsingPassPhrase(u"secret"), std::nullopt);
    observer.waitForEnd();

    EXPECT_EQ(observer.names(),
              (std::vector<std::string>{std::string(kOperationUpdate), std::string(kOperationUpdate),
                                        std::string(kOperationTerminated)}));
    EXPECT_EQ(observer.busyStates(), (std::vector<bool>{true, true, false}));
    EXPECT_FALSE(m_cryptor.isBusy());
    EXPECT_EQ(codes(), (std::vector<int32_t>{StatusDone, StatusDone, StatusDone}));
    for (int i = 0; i < 3; ++i) {
        const auto stored = readFile(m_dir.path() / ("f" + std::to_string(i) + ".brisklet"));
        EXPECT_EQ(decryptFormat(stored, keyFor(u"secret", twofish::DIR_DECRYPT)), contents[i]);
    }
}

TEST_F(CryptorTest, ARenamedRowFailsOnTheNextRunUntilCleared) {
    const auto plain = sampleBytes(70);
    m_cryptor.addURLs({m_dir.writeFile("report.pdf", plain)});
    encryptAll();
    EXPECT_EQ(m_cryptor.fileNameOnRow(0), "report.pdf");
    EXPECT_EQ(codes(), (std::vector<int32_t>{StatusDone}));

    decryptAll();
    EXPECT_EQ(codes(), (std::vector<int32_t>{StatusFailed}));
    m_cryptor.removeAllOKs();
    EXPECT_EQ(codes(), (std::vector<int32_t>{StatusNone}));

    m_cryptor.removeAllURLs();
    m_cryptor.addURLs({m_dir.path() / "report.pdf.brisklet"});
    decryptAll();
    EXPECT_EQ(codes(), (std::vector<int32_t>{StatusDone}));
    EXPECT_EQ(readFile(m_dir.path() / "report.pdf"), plain);
}

// After a run each row knows where its file now lives; the row itself names the old path until the front
// end moves it, and moving it keeps the outcome.
TEST_F(CryptorTest, RowsKnowTheFinalPathOfTheirFiles) {
    const auto plain = sampleBytes(300);
    const fs::path file = m_dir.writeFile("notes.txt", plain);
    const fs::path missing = m_dir.path() / "missing.txt";
    m_cryptor.addURLs({file, file, missing});
    EXPECT_EQ(m_cryptor.finalURLOnRow(0), file) << "nothing renamed it yet";
    encryptAll();
    const fs::path encrypted = m_dir.path() / "notes.txt.brisklet";
    EXPECT_EQ(m_cryptor.urlOnRow(0), file);
    EXPECT_EQ(m_cryptor.finalURLOnRow(0), encrypted);
    EXPECT_EQ(m_cryptor.finalURLOnRow(1), encrypted) << "the same file, listed twice";
    EXPECT_EQ(m_cryptor.finalURLOnRow(2), missing) << "a failed row keeps its path";

    for (int64_t row = 0; row < 3; ++row) {
        m_cryptor.replaceURLOnRow(row, m_cryptor.finalURLOnRow(row));
    }
    EXPECT_EQ(m_cryptor.urlOnRow(0), encrypted);
    EXPECT_EQ(m_cryptor.fileNameOnRow(1), "notes.txt.brisklet");
    EXPECT_EQ(codes(), (std::vector<int32_t>{StatusDone, StatusDone, StatusFailed}));
    EXPECT_EQ(m_cryptor.failureReasonOnRow(1), "same file as notes.txt");

    decryptAll();
    EXPECT_EQ(codes(), (std::vector<int32_t>{StatusDone, StatusDone, StatusFailed}));
    EXPECT_EQ(m_cryptor.finalURLOnRow(0), file);
    EXPECT_EQ(readFile(file), plain);

    // An operation that names the path itself is believed.
    m_cryptor.updateFinalURL(2, m_dir.path() / "found.txt");
    EXPECT_EQ(m_cryptor.finalURLOnRow(2), m_dir.path() / "found.txt");
    m_cryptor.removeURLatIndexes({0});
    EXPECT_EQ(m_cryptor.finalURLOnRow(1), m_dir.path() / "found.txt") << "it moves up with its row";
}

// Skipped rows are left out of the run: untouched, without the outcome an earlier run gave them, reported
// at once with nothing to do and counted nowhere; the rest run as usual.
TEST_F(CryptorTest, SkippedRowsAreLeftOutOfTheRun) {
    const auto already = sampleBytes(320, 2);
    const fs::path encrypted = m_dir.writeFile("old.txt.brisklet", already);
    m_cryptor.addURLs(
        {encrypted, m_dir.writeFile("new.txt", sampleBytes(700, 1)), m_dir.path() / "gone.brisklet"});
    {
        RunObserver observer(m_cryptor);
        ASSERT_EQ(m_cryptor.encryptFilesUsingPassPhrase(u"secret", {0}), std::nullopt);
        observer.waitForEnd();
    }
    EXPECT_EQ(codes(), (std::vector<int32_t>{StatusNone, StatusDone, StatusFailed}));
    for (int64_t row = 0; row < 3; ++row) {
        m_cryptor.replaceURLOnRow(row, m_cryptor.finalURLOnRow(row));
    }

    RunObserver observer(m_cryptor);
    ASSERT_EQ(m_cryptor.encryptFilesUsingPassPhrase(u"secret", {0, 2, 7, -1}), std::nullopt);
    observer.waitForEnd();
    EXPECT_EQ(observer.names(), (std::vector<std::string>{std::string(kOperationTerminated)}))
        << "one report, for the one row of the run";
    EXPECT_EQ(codes(), (std::vector<int32_t>{StatusNone, StatusDone, StatusNone}));
    EXPECT_EQ(m_cryptor.failureReasonOnRow(2), "") << "no outcome of the earlier run stays";
    EXPECT_TRUE(m_cryptor.reasonCodesOnRow(2).empty());
    EXPECT_EQ(readFile(encrypted), already);
    EXPECT_FALSE(fs::exists(m_dir.path() / "old.txt.brisklet.brisklet"));
    EXPECT_EQ(m_cryptor.finalURLOnRow(0), encrypted);
    EXPECT_TRUE(fs::exists(m_dir.path() / "new.txt.brisklet.brisklet"));
    const auto skippedProgress = m_cryptor.progressOnRow(0);
    ASSERT_TRUE(skippedProgress.has_value());
    EXPECT_TRUE(skippedProgress->reported);
    EXPECT_EQ(skippedProgress->total, 0u);
    const Cryptor::RunProgress run = m_cryptor.runProgress();
    EXPECT_EQ(run.filesTotal, 1u);
    EXPECT_EQ(run.filesDone, 1u);
}

// A skipped row that shares its file with a row of the run neither holds the run open nor takes its outcome.
TEST_F(CryptorTest, SkippingEveryRowOrOneOfTwoPathsToAFile) {
    const fs::path file = m_dir.writeFile("same.brisklet", sampleBytes(48, 3));
    m_cryptor.addURLs({file, file});
    RunObserver observer(m_cryptor);
    EXPECT_EQ(m_cryptor.encryptFilesUsingPassPhrase(u"secret", {0, 1}), std::nullopt);
    EXPECT_FALSE(m_cryptor.isBusy()) << "nothing to do starts nothing";
    m_cryptor.waitUntilAllOperationsAreFinished();
    EXPECT_TRUE(observer.names().empty());

    ASSERT_EQ(m_cryptor.encryptFilesUsingPassPhrase(u"secret", {0}), std::nullopt);
    observer.waitForEnd();
    EXPECT_EQ(codes(), (std::vector<int32_t>{StatusNone, StatusDone}));
    EXPECT_EQ(m_cryptor.failureReasonOnRow(1), "");
    EXPECT_TRUE(fs::exists(m_dir.path() / "same.brisklet.brisklet"));
}

// The same path twice, another path to it, and a folder holding it: one file, processed once; the later
// rows share its outcome and say with which row.
TEST_F(CryptorTest, AFileReachedTwiceIsProcessedOnce) {
    const auto plain = sampleBytes(5000);
    const fs::path folder = m_dir.path() / "folder";
    fs::create_directory(folder);
    const fs::path path = folder / "twice.txt";
    testsupport::writeFile(path, plain);
    m_cryptor.addURLs({path, path, folder / "." / "twice.txt", folder});
    ASSERT_EQ(m_cryptor.urlCount(), 4u);
    encryptAll();
    EXPECT_EQ(codes(), (std::vector<int32_t>{StatusDone, StatusDone, StatusDone, StatusDone}));
    for (int64_t row = 1; row < 4; ++row) {
        EXPECT_EQ(m_cryptor.failureReasonOnRow(row), "same file as twice.txt");
    }
    EXPECT_EQ(decryptFormat(readFile(folder / "twice.txt.brisklet"), keyFor(u"secret", twofish::DIR_DECRYPT)),
              plain)
        << "encrypted once";
    EXPECT_TRUE(tempFiles().empty());
}

// Links inside a folder are rows of their own that a run refuses: never a way out of the folder, nor a loop.
TEST_F(CryptorTest, DirectoriesContributeTheirVisibleFilesAndNeverFollowALinkInside) {
    const fs::path folder = m_dir.path() / "folder";
    fs::create_directories(folder / "sub");
    testsupport::writeFile(folder / ".hidden", {1});
    testsupport::writeFile(folder / "visible", {2});
    testsupport::writeFile(folder / "sub" / "inner", {3});
    fs::create_directory_symlink(m_dir.path(), folder / "sub" / "up");
    const fs::path outside = m_dir.writeFile("outside", {5});
    const fs::path hiddenGivenDirectly = m_dir.writeFile(".direct", {4});

    m_cryptor.addURLs({folder, hiddenGivenDirectly, m_dir.path() / "missing"});
    std::vector<std::string> names;
    for (uint64_t row = 0; row < m_cryptor.urlCount(); ++row) {
        names.push_back(m_cryptor.fileNameOnRow(static_cast<int32_t>(row)));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"inner", "up", "visible", ".direct", "missing"}));
    EXPECT_EQ(m_cryptor.urlOnRow(0), folder / "sub" / "inner");
    EXPECT_EQ(codes(), (std::vector<int32_t>{StatusNone, StatusNone, StatusNone, StatusNone, StatusNone}));

    encryptAll();
    EXPECT_EQ(codes(),
              (std::vector<int32_t>{StatusDone, StatusFailed, StatusDone, StatusDone, StatusFailed}));
    EXPECT_EQ(m_cryptor.failureReasonOnRow(1), logmsg::kSymbolicLinkInFolder);
    EXPECT_EQ(readFile(outside), std::vector<uint8_t>{5}) << "nothing outside the folder is touched";
    EXPECT_TRUE(fs::is_symlink(folder / "sub" / "up"));
}

TEST_F(CryptorTest, RemoveAllOKsDropsFinishedRowsAndClearsFailedOnes) {
    // Codes 1, 3, 2 from a real run (a file, a missing one, one whose rename fails), then a row with 0.
    m_cryptor.addURLs({m_dir.writeFile("ok", {1}), m_dir.path() / "missing", m_dir.writeFile("taken", {2})});
    {
        // The journal's link is the first; the files' renames follow in row order.
        const platform::FaultInjector secondRenameFails(platform::FaultPoint::Rename, 3);
        encryptAll();
    }
    m_cryptor.addURLs({m_dir.writeFile("later", {3})});
    EXPECT_EQ(codes(), (std::vector<int32_t>{StatusDone, StatusFailed, StatusNotRenamed, StatusNone}));

    m_cryptor.removeAllOKs();
    EXPECT_EQ(codes(), (std::vector<int32_t>{StatusNone, StatusNone}));
    EXPECT_EQ(m_cryptor.fileNameOnRow(0), "missing");
    EXPECT_EQ(m_cryptor.fileNameOnRow(1), "later");
}

TEST_F(CryptorTest, RefusedPassphrasesStartNothing) {
    m_cryptor.addURLs({m_dir.writeFile("keep", sampleBytes(10))});
    RunObserver observer(m_cryptor);
    const auto tooLong = m_cryptor.encryptFilesUsingPassPhrase(std::u16string(255, u'x'));
    ASSERT_TRUE(tooLong.has_value());
    EXPECT_EQ(*tooLong, passphrase::describe(passphrase::Result::TooLong));
    const auto unpaired = m_cryptor.decryptFilesUsingPassPhrase(std::u16string(u"ab") + char16_t(0xDC00));
    ASSERT_TRUE(unpaired.has_value());
    EXPECT_EQ(*unpaired, passphrase::describe(passphrase::Result::NoUtf8Form));
    EXPECT_FALSE(m_cryptor.isBusy());
    m_cryptor.waitUntilAllOperationsAreFinished();
    EXPECT_TRUE(observer.names().empty());
    EXPECT_EQ(readFile(m_dir.path() / "keep"), sampleBytes(10));
}

TEST_F(CryptorTest, RowsKeepTheReasonTheirOperationLogged) {
    m_cryptor.addURLs({m_dir.writeFile("a", sampleBytes(40))});
    encryptAll(u"right");
    m_cryptor.removeAllURLs();
    m_cryptor.addURLs({m_dir.path() / "a.brisklet", m_dir.path() / "nothing-here"});
    decryptAll(u"wrong");
    EXPECT_EQ(codes(), (std::vector<int32_t>{StatusFailed, StatusFailed}));
    EXPECT_EQ(m_cryptor.failureReasonOnRow(0), logmsg::kPassphraseMightBeWrong);
    EXPECT_EQ(m_cryptor.failureReasonOnRow(1), "no such file");
    decryptAll(u"right");
    EXPECT_EQ(m_cryptor.statusOnRow(0), StatusDone);
    EXPECT_EQ(m_cryptor.failureReasonOnRow(0), "");
}

TEST_F(CryptorTest, TheColourDigestIsTheRunKey) {
    uint8_t hash[32];
    ASSERT_TRUE(m_cryptor.doHashString(u"p\u00e4ss", hash));
    const auto key = keyFor(u"p\u00e4ss", twofish::DIR_ENCRYPT);
    EXPECT_EQ(0, std::memcmp(hash, key.key32, sizeof hash)); // little-endian words on this machine
    uint8_t untouched[32] = {};
    EXPECT_FALSE(m_cryptor.doHashString(std::u16string(1, char16_t(0xD800)), untouched));
    EXPECT_EQ(untouched[0], 0);
}

TEST_F(CryptorTest, ReportsRaceSafelyWithReadsOnTheMainThread) {
    constexpr int kFiles = 300;
    for (int i = 0; i < kFiles; ++i) {
        m_cryptor.addURLs(
            {m_dir.writeFile("small" + std::to_string(i), sampleBytes(static_cast<size_t>(i) * 7))});
    }
    RunObserver observer(m_cryptor);
    ASSERT_EQ(m_cryptor.encryptFilesUsingPassPhrase(u"secret"), std::nullopt);
    uint64_t reads = 0;
    while (m_cryptor.isBusy()) {
        for (uint64_t row = 0; row < m_cryptor.urlCount(); ++row) {
            reads += static_cast<uint64_t>(m_cryptor.statusOnRow(static_cast<int64_t>(row)));
            reads += m_cryptor.fileNameOnRow(static_cast<int32_t>(row)).size();
            reads += m_cryptor.failureReasonOnRow(static_cast<int64_t>(row)).size();
        }
        m_cryptor.addURLs({m_dir.path() / "added-during-the-run"});
    }
    observer.waitForEnd();
    const auto names = observer.names();
    ASSERT_EQ(names.size(), static_cast<size_t>(kFiles));
    EXPECT_EQ(std::count(names.begin(), names.end(), kOperationUpdate), kFiles - 1);
    EXPECT_EQ(names.back(), kOperationTerminated);
    const auto all = codes();
    EXPECT_EQ(std::count(all.begin(), all.begin() + kFiles, StatusDone), kFiles);
    EXPECT_EQ(std::count(all.begin() + kFiles, all.end(), StatusNone),
              static_cast<long>(all.size() - kFiles));
    EXPECT_GT(reads, 0u);
}

// Stopped rows end untouched and say so; rows already done stay done; the run still ends with every report.
TEST_F(CryptorTest, AStoppedRunLeavesEveryFileWholeAndEnds) {
    std::vector<std::vector<uint8_t>> contents;
    for (int i = 0; i < 12; ++i) {
        contents.push_back(sampleBytes(3 << 20, static_cast<uint32_t>(i)));
        m_cryptor.addURLs({m_dir.writeFile("f" + std::to_string(i), contents.back())});
    }
    RunObserver observer(m_cryptor);
    ASSERT_EQ(m_cryptor.encryptFilesUsingPassPhrase(u"secret"), std::nullopt);
    m_cryptor.stopRun();
    observer.waitForEnd();

    EXPECT_EQ(observer.names().size(), contents.size());
    int stopped = 0;
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(i);
        const fs::path path = m_dir.path() / ("f" + std::to_string(i));
        if (m_cryptor.statusOnRow(i) == StatusDone) {
            EXPECT_EQ(decryptFormat(readFile(fs::path(path) += ".brisklet"),
                                    keyFor(u"secret", twofish::DIR_DECRYPT)),
                      contents[static_cast<size_t>(i)]);
        } else {
            EXPECT_EQ(m_cryptor.statusOnRow(i), StatusNone);
            EXPECT_EQ(m_cryptor.failureReasonOnRow(i), logmsg::kStoppedUntouched);
            EXPECT_EQ(readFile(path), contents[static_cast<size_t>(i)]);
            ++stopped;
        }
    }
    EXPECT_GT(stopped, 0);
    EXPECT_TRUE(tempFiles().empty());
}

// Polled as a front end would, progress only grows, stays within its total, and ends complete.
TEST_F(CryptorTest, ProgressGrowsToTheRunsWholeSize) {
    for (int i = 0; i < 3; ++i) {
        m_cryptor.addURLs(
            {m_dir.writeFile("f" + std::to_string(i), sampleBytes(2 << 20, static_cast<uint32_t>(i)))});
    }
    RunObserver observer(m_cryptor);
    ASSERT_EQ(m_cryptor.encryptFilesUsingPassPhrase(u"secret"), std::nullopt);
    m_cryptor.addURLs({m_dir.writeFile("added during the run", sampleBytes(10))});
    EXPECT_EQ(m_cryptor.runProgress().bytes.total, 3u * 2 * (2 << 20)) << "known before the files are opened";
    std::vector<uint64_t> last(3, 0);
    while (m_cryptor.isBusy()) {
        for (int64_t row = 0; row < 3; ++row) {
            const auto now = m_cryptor.progressOnRow(row);
            ASSERT_TRUE(now.has_value());
            EXPECT_GE(now->done, last[static_cast<size_t>(row)]);
            EXPECT_LE(now->done, now->total);
            last[static_cast<size_t>(row)] = now->done;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    observer.waitForEnd();
    const Cryptor::RunProgress run = m_cryptor.runProgress();
    EXPECT_EQ(run.bytes.done, run.bytes.total);
    EXPECT_EQ(run.filesDone, 3u);
    EXPECT_EQ(run.filesTotal, 3u);
    EXPECT_EQ(m_cryptor.progressOnRow(3), std::nullopt) << "a row added during the run is not part of it";
}

} // namespace
