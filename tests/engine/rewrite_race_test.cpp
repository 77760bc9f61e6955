// SPDX-License-Identifier: GPL-3.0-or-later
// Other runs and other programs acting in the middle of a rewrite, put there deterministically through the
// fault hook: live journals stay theirs, files changed by someone else are never overwritten unnoticed,
// and a run's open descriptors stay bounded.
#include "engine/Cryptor.h"
#include "engine/EncryptionOperation.h"
#include "engine/JournalFormat.h"
#include "engine/LogMessages.h"
#include "engine/StatusCode.h"
#include "platform/FaultInjection.h"
#include "tests/engine/operation_fixture.h"
#include "tests/support/child_report.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace enginetest;
using platform::FaultInjector;
using platform::FaultMode;
using platform::FaultPoint;
using testsupport::readFile;
namespace fs = std::filesystem;
namespace logmsg = engine::logmsg;

struct Row {
    int32_t code;
    std::string reason;
};

std::vector<Row> rowsOf(engine::Cryptor& cryptor) {
    cryptor.waitUntilAllOperationsAreFinished();
    std::vector<Row> rows;
    for (int64_t row = 0; row < static_cast<int64_t>(cryptor.urlCount()); ++row) {
        rows.push_back({cryptor.statusOnRow(row), cryptor.failureReasonOnRow(row)});
    }
    return rows;
}

std::vector<Row> encryptAll(const std::vector<fs::path>& paths) {
    engine::Cryptor cryptor;
    cryptor.addURLs(paths);
    EXPECT_EQ(cryptor.encryptFilesUsingPassPhrase(u"secret"), std::nullopt);
    return rowsOf(cryptor);
}

void append(const fs::path& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
}

class RewriteRaceTest : public OperationTest {
protected:
    // Large enough for a journal of its own and a write-back of three chunks.
    const std::vector<uint8_t> m_plain = testsupport::sampleBytes((2 << 20) + 1000, 31);

    fs::path plainPath() const { return m_dir.path() / "data.bin"; }
    fs::path encryptedPath() const { return m_dir.path() / "data.bin.brisklet"; }

    bool isEncrypted(const fs::path& path, const std::vector<uint8_t>& plain) const {
        return fs::exists(path) &&
               decryptFormat(readFile(path), keyFor(u"secret", twofish::DIR_DECRYPT)) == plain;
    }
};

// What another run sees of a live run's journal, paused where the journal is published and the file is
// about to be rewritten: neither `recover` nor a run on the same file may apply or remove it.
TEST_F(RewriteRaceTest, ALiveRunsJournalIsNeverTakenByAnotherRun) {
    struct Other {
        std::string name;
        std::function<std::vector<Row>(const fs::path& folder, const fs::path& file)> run;
    };
    const std::vector<Other> others = {
        {"recover FOLDER",
         [](const fs::path& folder, const fs::path&) {
             engine::Cryptor cryptor;
             EXPECT_EQ(cryptor.recoverPendingRewrites({folder}), std::nullopt);
             return rowsOf(cryptor);
         }},
        {"encrypt FILE", [](const fs::path&, const fs::path& file) { return encryptAll({file}); }},
    };
    for (const Other& other : others) {
        SCOPED_TRACE(other.name);
        m_dir.writeFile("data.bin", m_plain);
        std::vector<Row> rows;
        std::vector<std::string> journalsDuring;
        std::vector<uint8_t> fileDuring;
        {
            const FaultInjector pause(FaultPoint::Lease, 1, [&] {
                rows = other.run(m_dir.path(), plainPath());
                journalsDuring = tempFiles();
                fileDuring = readFile(plainPath());
            });
            EXPECT_EQ(encrypt(plainPath()), engine::StatusDone);
        }
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].code, engine::StatusFailed);
        EXPECT_NE(rows[0].reason.find(logmsg::kInUseByAnotherRun), std::string::npos) << rows[0].reason;
        EXPECT_EQ(journalsDuring.size(), 1u) << "the live journal stayed";
        EXPECT_EQ(fileDuring, m_plain) << "and nothing was applied";
        EXPECT_TRUE(isEncrypted(encryptedPath(), m_plain)) << "the live run finished undisturbed";
        EXPECT_TRUE(tempFiles().empty());
        fs::remove(encryptedPath());
    }
}

// Another writer between the reading and the rewrite: once the journal is linked, or right before the
// lease. The file keeps that writer's bytes and no journal is left.
TEST_F(RewriteRaceTest, AFileChangedAfterItWasReadIsLeftUntouched) {
    for (const auto& [point, label] : {std::pair(FaultPoint::Rename, "at the journal's link"),
                                       std::pair(FaultPoint::Lease, "before the lease")}) {
        SCOPED_TRACE(label);
        m_dir.writeFile("data.bin", m_plain);
        int32_t code = 0;
        {
            const FaultInjector writer(point, 1, [&] { append(plainPath(), "another writer"); });
            code = encrypt(plainPath());
        }
        EXPECT_EQ(code, engine::StatusFailed);
        EXPECT_EQ(m_master.lastReason(), logmsg::kFileChangedWhileRead);
        std::vector<uint8_t> expected = m_plain;
        expected.insert(expected.end(),
                        {'a', 'n', 'o', 't', 'h', 'e', 'r', ' ', 'w', 'r', 'i', 't', 'e', 'r'});
        EXPECT_EQ(readFile(plainPath()), expected);
        EXPECT_FALSE(fs::exists(encryptedPath()));
        EXPECT_TRUE(tempFiles().empty());
    }
}

// In a batch of small files sharing one journal, only the file that changed is refused.
TEST_F(RewriteRaceTest, InABatchOnlyTheChangedFileIsLeftUntouched) {
    std::vector<fs::path> files;
    for (int i = 0; i < 3; ++i) {
        files.push_back(m_dir.writeFile("small" + std::to_string(i), testsupport::sampleBytes(5000, 50 + i)));
    }
    std::vector<Row> rows;
    {
        const FaultInjector writer(FaultPoint::Rename, 1, [&] { append(files[1], "x"); });
        rows = encryptAll(files);
    }
    ASSERT_EQ(rows.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(files[i].filename().string());
        const std::vector<uint8_t> plain = testsupport::sampleBytes(5000, 50 + i);
        if (i == 1) {
            EXPECT_EQ(rows[i].code, engine::StatusFailed);
            EXPECT_EQ(rows[i].reason, logmsg::kFileChangedWhileRead);
            std::vector<uint8_t> expected = plain;
            expected.push_back('x');
            EXPECT_EQ(readFile(files[i]), expected);
        } else {
            EXPECT_EQ(rows[i].code, engine::StatusDone) << rows[i].reason;
            EXPECT_TRUE(isEncrypted(fs::path(files[i]) += ".brisklet", plain));
        }
    }
    EXPECT_TRUE(tempFiles().empty());
}

TEST_F(RewriteRaceTest, AFileOpenInAnotherProgramIsRefusedUntouched) {
    m_dir.writeFile("data.bin", m_plain);
    int opened[2];
    int release[2];
    ASSERT_EQ(::pipe(opened), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(release[1]);
        const int fd = ::open(plainPath().c_str(), O_RDONLY);
        char byte = fd >= 0 ? 1 : 0;
        (void)!::write(opened[1], &byte, 1);
        (void)!::read(release[0], &byte, 1); // until the parent closes its end
        ::_exit(0);
    }
    ::close(opened[1]);
    ::close(release[0]);
    char byte = 0;
    ASSERT_EQ(::read(opened[0], &byte, 1), 1);
    ASSERT_EQ(byte, 1);

    const int32_t code = encrypt(plainPath());
    ::close(release[1]);
    ::close(opened[0]);
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);

    EXPECT_EQ(code, engine::StatusFailed);
    EXPECT_EQ(m_master.lastReason(), logmsg::kOpenInAnotherProgram);
    EXPECT_EQ(readFile(plainPath()), m_plain);
    EXPECT_FALSE(fs::exists(encryptedPath()));
    EXPECT_TRUE(tempFiles().empty());
}

// Where no lease can be had, the bytes themselves are read back before the rename; with one, they are not.
TEST_F(RewriteRaceTest, WithoutALeaseTheWriteBackIsReadBack) {
    for (const bool leased : {true, false}) {
        SCOPED_TRACE(leased ? "leased" : "no lease");
        m_dir.writeFile("data.bin", m_plain);
        const std::string file = (fs::canonical(m_dir.path()) / "data.bin").string();
        std::vector<platform::FaultCall> calls;
        {
            const FaultInjector noLease(FaultPoint::Lease, leased ? 1 << 30 : 1, FaultMode::FromThenOn,
                                        EOPNOTSUPP);
            EXPECT_EQ(encrypt(plainPath()), engine::StatusDone) << m_master.lastReason();
            calls = noLease.calls();
        }
        EXPECT_TRUE(isEncrypted(encryptedPath(), m_plain));
        EXPECT_TRUE(tempFiles().empty());
        size_t lastPlacement = 0;
        for (size_t i = 0; i < calls.size(); ++i) {
            if ((calls[i].point == FaultPoint::CopyFileRange || calls[i].point == FaultPoint::Write) &&
                calls[i].subject == file) {
                lastPlacement = i;
            }
        }
        const bool readBack = std::any_of(calls.begin() + static_cast<std::ptrdiff_t>(lastPlacement),
                                          calls.end(), [&](const platform::FaultCall& call) {
                                              return call.point == FaultPoint::Read && call.subject == file;
                                          });
        EXPECT_EQ(readBack, !leased);
        fs::remove(encryptedPath());
    }
}

// Writes into the file from a descriptor of its own once the first chunk of the write-back is in place.
class WriterDuringWriteBack : public RecordingMaster {
public:
    explicit WriterDuringWriteBack(fs::path file) : m_file(std::move(file)) {}
    void updateProgress(int64_t, uint64_t done, uint64_t total) override {
        if (!m_wrote && done > total / 2) {
            m_wrote = true;
            const int fd = ::open(m_file.c_str(), O_WRONLY | O_CLOEXEC);
            EXPECT_GE(fd, 0);
            EXPECT_EQ(::pwrite(fd, "another program", 15, 4096), 15);
            ::close(fd);
        }
    }
    bool wrote() const { return m_wrote; }

private:
    fs::path m_file;
    bool m_wrote = false;
};

TEST_F(RewriteRaceTest, AnotherWriterDuringAnUnleasedWriteBackIsCaughtAndRecovered) {
    m_dir.writeFile("data.bin", m_plain);
    WriterDuringWriteBack master(plainPath());
    {
        const FaultInjector noLease(FaultPoint::Lease, 1, FaultMode::FromThenOn, EOPNOTSUPP);
        engine::EncryptionOperation(plainPath(), runKeyFor(u"secret", twofish::DIR_ENCRYPT), &master, 0)
            .main();
    }
    ASSERT_TRUE(master.wrote());
    ASSERT_EQ(master.reports().size(), 1u);
    EXPECT_EQ(master.reports()[0].first, engine::StatusFailed);
    EXPECT_NE(master.lastReason().find(logmsg::kChangedDuringRewrite), std::string::npos)
        << master.lastReason();
    EXPECT_FALSE(fs::exists(encryptedPath()));
    ASSERT_EQ(tempFiles().size(), 1u) << "the journal is kept: only it completes the file";

    recoverPending();
    EXPECT_TRUE(isEncrypted(encryptedPath(), m_plain));
    EXPECT_FALSE(fs::exists(plainPath()));
    EXPECT_TRUE(tempFiles().empty());
}

// A folder of many small files under a low descriptor limit: batches close what they have read.
TEST_F(RewriteRaceTest, ManySmallFilesFitInFewDescriptors) {
    constexpr int kFiles = 300;
    for (int i = 0; i < kFiles; ++i) {
        m_dir.writeFile("f" + std::to_string(i), testsupport::sampleBytes(100 + i, static_cast<uint32_t>(i)));
    }
    const fs::path folder = m_dir.path();
    const std::string report = testsupport::reportFromChild([&] {
        const rlimit limit{64, 64};
        if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) {
            return std::string("setrlimit failed");
        }
        engine::Cryptor cryptor;
        cryptor.addURLs({folder});
        if (cryptor.encryptFilesUsingPassPhrase(u"secret")) {
            return std::string("refused");
        }
        std::string failures;
        int done = 0;
        for (const Row& row : rowsOf(cryptor)) {
            done += row.code == engine::StatusDone ? 1 : 0;
            if (row.code != engine::StatusDone && failures.size() < 200) {
                failures += "; " + row.reason;
            }
        }
        return std::to_string(done) + " done" + failures;
    });
    EXPECT_EQ(report, std::to_string(kFiles) + " done");
    const auto key = keyFor(u"secret", twofish::DIR_DECRYPT);
    for (int i = 0; i < kFiles; ++i) {
        const fs::path encrypted = folder / ("f" + std::to_string(i) + ".brisklet");
        ASSERT_TRUE(fs::exists(encrypted)) << encrypted;
        EXPECT_EQ(decryptFormat(readFile(encrypted), key),
                  testsupport::sampleBytes(100 + i, static_cast<uint32_t>(i)));
    }
    EXPECT_TRUE(tempFiles().empty());
}

} // namespace
