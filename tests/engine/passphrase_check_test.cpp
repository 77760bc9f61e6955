// SPDX-License-Identifier: GPL-3.0-or-later
// The test of a file's check block behind both front ends' checks, against files the engine encrypted.
#include "engine/PassphraseCheck.h"

#include "crypto/passphrase_key.h"
#include "engine/Cryptor.h"
#include "engine/EncryptedFormat.h"
#include "engine/PendingFiles.h"
#include "engine/StatusCode.h"
#include "platform/FaultInjection.h"
#include "tests/engine/operation_fixture.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using engine::CheckOutcome;
using testsupport::sampleBytes;
namespace fs = std::filesystem;

class PassphraseCheckTest : public ::testing::Test {
protected:
    // Encrypts the files with the engine itself and returns their new paths.
    std::vector<fs::path> encrypt(const std::vector<fs::path>& files, std::u16string_view passphrase) {
        engine::Cryptor cryptor;
        cryptor.addURLs(files);
        EXPECT_FALSE(cryptor.encryptFilesUsingPassPhrase(passphrase).has_value());
        cryptor.waitUntilAllOperationsAreFinished();
        std::vector<fs::path> encrypted;
        for (size_t row = 0; row < files.size(); ++row) {
            EXPECT_EQ(cryptor.statusOnRow(static_cast<int64_t>(row)), engine::StatusDone);
            encrypted.push_back(fs::path(files[row]) += ".brisklet");
        }
        return encrypted;
    }

    CheckOutcome check(const fs::path& file, std::u16string_view passphrase) {
        return engine::checkFile(file, *enginetest::runKeyFor(passphrase, twofish::DIR_DECRYPT)).outcome;
    }

    testsupport::TempDir m_dir;
};

TEST_F(PassphraseCheckTest, OnlyTheRightPassphraseOpensEncryptedFiles) {
    std::vector<fs::path> plain;
    // 0 and 15 give 48-byte files, whose check block follows the final block directly; 16 and 1000 put
    // data blocks before them.
    for (const size_t length : {0, 15, 16, 1000}) {
        plain.push_back(m_dir.writeFile("plain" + std::to_string(length), sampleBytes(length, length)));
    }
    for (const auto& file : encrypt(plain, u"correct horse")) {
        SCOPED_TRACE(file);
        EXPECT_EQ(check(file, u"correct horse"), CheckOutcome::Opens);
        EXPECT_EQ(check(file, u"correct horsE"), CheckOutcome::WrongPassphrase);
    }
}

TEST_F(PassphraseCheckTest, ChecksTheLastBlockChainedWithTheOneBefore) {
    const auto file = encrypt({m_dir.writeFile("data", sampleBytes(1000))}, u"correct horse").front();
    const auto pristine = testsupport::readFile(file);
    const size_t n = pristine.size();
    // Only the first 8 plain bytes of the check block are compared, so byte n-16 (in the last block) and
    // byte n-32 (chained into the compared half) must matter, byte n-24 (chained into the other half) not,
    // and neither may a data block further up.
    const std::vector<std::pair<size_t, CheckOutcome>> cases = {
        {n - 1, CheckOutcome::WrongPassphrase},
        {n - 16, CheckOutcome::WrongPassphrase},
        {n - 32, CheckOutcome::WrongPassphrase},
        {n - 24, CheckOutcome::Opens},
        {100, CheckOutcome::Opens},
        {0, CheckOutcome::Opens},
    };
    for (const auto& [offset, outcome] : cases) {
        SCOPED_TRACE(offset);
        auto changed = pristine;
        changed[offset] ^= 0x01;
        testsupport::writeFile(file, changed);
        EXPECT_EQ(check(file, u"correct horse"), outcome);
    }
}

TEST_F(PassphraseCheckTest, LengthsNoEncryptedFileHasAreNotEncrypted) {
    for (const size_t length : {0, 1, 16, 32, 47, 49, 1000}) {
        SCOPED_TRACE(length);
        const auto file = m_dir.writeFile("plain", sampleBytes(length));
        EXPECT_EQ(check(file, u"correct horse"), CheckOutcome::NotEncrypted);
    }
    // Plausible lengths are decided by the check block; random bytes do not pass it.
    for (const size_t length : {48, 64, 1040}) {
        SCOPED_TRACE(length);
        const auto file = m_dir.writeFile("plain", sampleBytes(length));
        EXPECT_EQ(check(file, u"correct horse"), CheckOutcome::WrongPassphrase);
    }
}

TEST_F(PassphraseCheckTest, UnreadablePathsSayWhy) {
    const auto keys = enginetest::runKeyFor(u"correct horse", twofish::DIR_DECRYPT);
    const auto& key = *keys;
    const auto missing = engine::checkFile(m_dir.path() / "absent", key);
    EXPECT_EQ(missing.outcome, CheckOutcome::Unreadable);
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_EQ(engine::checkFile(m_dir.path(), key).outcome, CheckOutcome::NotRegularFile);
}

// A rewrite whose file sync failed stays pending, as a crash would leave it: asked about journals, the file
// is pending whatever its bytes say; otherwise only its bytes are looked at.
TEST_F(PassphraseCheckTest, AFileWithAPendingRewriteIsPendingOnlyWhereJournalsAreConsulted) {
    const testsupport::ScopedEnv state("XDG_STATE_HOME", (m_dir.path() / "state").string());
    // Large enough to be rewritten alone, with a sync of its own at each step.
    const auto file = m_dir.writeFile("report", sampleBytes(300000));
    {
        engine::Cryptor cryptor;
        cryptor.addURLs({file});
        // The journal's, its folder's, then the file's own sync.
        const platform::FaultInjector failing(platform::FaultPoint::Sync, 3);
        EXPECT_FALSE(cryptor.encryptFilesUsingPassPhrase(u"correct horse").has_value());
        cryptor.waitUntilAllOperationsAreFinished();
        ASSERT_EQ(cryptor.statusOnRow(0), engine::StatusFailed);
    }
    engine::PendingFiles pending;
    const auto keys = enginetest::runKeyFor(u"correct horse", twofish::DIR_DECRYPT);
    const auto& key = *keys;
    EXPECT_EQ(engine::checkFile(file, key, &pending).outcome, CheckOutcome::RewritePending);
    EXPECT_EQ(engine::checkFile(m_dir.path() / "./report.brisklet", key, &pending).outcome,
              CheckOutcome::RewritePending)
        << "by its new name too, however spelled";
    EXPECT_NE(engine::checkFile(file, key).outcome, CheckOutcome::RewritePending);
    const auto other = m_dir.writeFile("other", sampleBytes(48));
    EXPECT_EQ(engine::checkFile(other, key, &pending).outcome, CheckOutcome::WrongPassphrase);
}

} // namespace
