// SPDX-License-Identifier: GPL-3.0-or-later
// Encrypting and decrypting single files in place: contents, names, codes and log lines.
#include "engine/DecryptionOperation.h"
#include "engine/EncryptedFormat.h"
#include "engine/EncryptionOperation.h"
#include "engine/LogMessages.h"
#include "engine/StatusCode.h"
#include "tests/engine/operation_fixture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace enginetest;
using engine::StatusDone;
using engine::StatusFailed;
using engine::StatusNotRenamed;
using engine::format::encryptedLength;
using testsupport::readFile;
using testsupport::sampleBytes;
namespace logmsg = engine::logmsg;
namespace fs = std::filesystem;

TEST_F(OperationTest, RoundTripsEveryLengthClass) {
    const size_t lengths[] = {0, 1, 15, 16, 17, 31, 32, 1000, 4096, 3 * 1024 * 1024 + 5};
    const size_t expectedSizes[] = {48, 48, 48, 64, 64, 64, 80, 1040, 4144, 3 * 1024 * 1024 + 48};
    for (size_t i = 0; i < std::size(lengths); ++i) {
        SCOPED_TRACE(lengths[i]);
        const auto plain = sampleBytes(lengths[i], static_cast<uint32_t>(i + 1));
        const fs::path path = m_dir.writeFile("file " + std::to_string(i) + ".txt", plain);
        const fs::path encrypted = path.string() + ".brisklet";

        ASSERT_EQ(encrypt(path), StatusDone);
        EXPECT_FALSE(fs::exists(path));
        const auto stored = readFile(encrypted);
        EXPECT_EQ(stored.size(), expectedSizes[i]);
        EXPECT_EQ(encryptedLength(lengths[i]), expectedSizes[i]);
        EXPECT_EQ(decryptFormat(stored, keyFor(u"secret", twofish::DIR_DECRYPT)), plain);

        ASSERT_EQ(decrypt(encrypted), StatusDone);
        EXPECT_FALSE(fs::exists(encrypted));
        EXPECT_EQ(readFile(path), plain);
    }
    EXPECT_TRUE(logLines().empty());
    EXPECT_TRUE(tempFiles().empty());
}

TEST_F(OperationTest, EncryptingTwiceGivesDifferentFilesThatBothDecrypt) {
    const auto plain = sampleBytes(100);
    const fs::path first = m_dir.writeFile("a", plain);
    const fs::path second = m_dir.writeFile("b", plain);
    ASSERT_EQ(encrypt(first), StatusDone);
    ASSERT_EQ(encrypt(second), StatusDone);
    const auto a = readFile(m_dir.path() / "a.brisklet");
    const auto b = readFile(m_dir.path() / "b.brisklet");
    EXPECT_NE(a, b);
    EXPECT_NE(std::vector(a.begin(), a.begin() + 16), std::vector(b.begin(), b.begin() + 16));
    const auto key = keyFor(u"secret", twofish::DIR_DECRYPT);
    EXPECT_EQ(decryptFormat(a, key), plain);
    EXPECT_EQ(decryptFormat(b, key), plain);
}

// Builds an encrypted file by hand, with chosen IV, filler and tail count.
std::vector<uint8_t> handMadeFile(const std::vector<uint8_t>& wholeBlocks, const uint8_t (&finalBlock)[16]) {
    auto key = keyFor(u"secret", twofish::DIR_ENCRYPT);
    twofish::cipherInstance cipher;
    twofish::cipherInit(&cipher, twofish::MODE_CBC, nullptr);
    uint8_t iv[16];
    for (int i = 0; i < 16; ++i) {
        iv[i] = static_cast<uint8_t>(i);
    }
    engine::format::loadInitialVector(cipher, iv);
    std::vector<uint8_t> plain = wholeBlocks;
    plain.insert(plain.end(), finalBlock, finalBlock + 16);
    plain.insert(plain.end(), engine::format::kCheckBlock.begin(), engine::format::kCheckBlock.end());
    std::vector<uint8_t> file(iv, iv + 16);
    file.resize(16 + plain.size());
    const auto bits = static_cast<int32_t>(plain.size() * 8);
    EXPECT_EQ(twofish::blockEncrypt(&cipher, &key, plain.data(), bits, file.data() + 16), bits);
    return file;
}

TEST_F(OperationTest, FinalBlockFillerIsIgnoredAndOnlyCountsOneToFifteenAddBytes) {
    struct Case {
        uint8_t count;
        size_t expectedTail;
    };
    const Case cases[] = {{0, 0}, {1, 1}, {15, 15}, {16, 0}, {200, 0}};
    const auto whole = sampleBytes(32);
    for (const Case& c : cases) {
        SCOPED_TRACE(int{c.count});
        uint8_t finalBlock[16];
        std::memset(finalBlock, 0xEE, sizeof finalBlock); // filler that must never be read
        finalBlock[15] = c.count;
        const fs::path path = m_dir.writeFile("hand.dat", handMadeFile(whole, finalBlock));
        ASSERT_EQ(decrypt(path), StatusDone);
        auto expected = whole;
        expected.insert(expected.end(), c.expectedTail, 0xEE);
        EXPECT_EQ(readFile(m_dir.path() / "hand"), expected);
        fs::remove(m_dir.path() / "hand");
    }
}

TEST_F(OperationTest, TheStoredIvIsReversedInsideEachGroupOfFour) {
    // With a zero first plain block, the first data block is E(V') where V' reverses each 4-byte group.
    uint8_t finalBlock[16] = {};
    const auto file = handMadeFile(std::vector<uint8_t>(16, 0), finalBlock);
    const uint8_t reversed[16] = {3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12};
    auto key = keyFor(u"secret", twofish::DIR_ENCRYPT);
    twofish::cipherInstance ecb;
    twofish::cipherInit(&ecb, twofish::MODE_ECB, nullptr);
    uint8_t expected[16];
    twofish::blockEncrypt(&ecb, &key, reversed, 128, expected);
    EXPECT_EQ(0, std::memcmp(file.data() + 16, expected, 16));
}

TEST_F(OperationTest, RefusedDecryptionsLeaveTheFileUntouched) {
    struct Case {
        const char* name;
        std::vector<uint8_t> content;
        std::u16string passphrase;
        bool logsWrongPassphrase;
    };
    const fs::path made = m_dir.writeFile("made", sampleBytes(1000));
    ASSERT_EQ(encrypt(made), StatusDone);
    const Case cases[] = {
        {"wrong passphrase", readFile(m_dir.path() / "made.brisklet"), u"Secret", true},
        {"length not a multiple of 16", sampleBytes(1001), u"secret", false},
        {"16 bytes", sampleBytes(16), u"secret", true},
        {"32 bytes", sampleBytes(32), u"secret", true},
        {"48 bytes not encrypted", sampleBytes(48), u"secret", true},
        {"empty", {}, u"secret", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t logged = logLines().size();
        const fs::path path = m_dir.writeFile("victim.dat", c.content);
        EXPECT_EQ(decrypt(path, c.passphrase), StatusFailed);
        EXPECT_EQ(readFile(path), c.content);
        EXPECT_FALSE(fs::exists(m_dir.path() / "victim"));
        const std::vector<std::string> expectedLog =
            c.logsWrongPassphrase ? std::vector<std::string>{std::string(logmsg::kPassphraseMightBeWrong)}
                                  : std::vector<std::string>{};
        const auto lines = logLines();
        EXPECT_EQ(std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(logged), lines.end()),
                  expectedLog);
    }
    EXPECT_TRUE(tempFiles().empty());
}

TEST_F(OperationTest, EmptyPlainTextDecryptsToAnEmptyFile) {
    const fs::path path = m_dir.writeFile("empty.txt", {});
    ASSERT_EQ(encrypt(path), StatusDone);
    EXPECT_EQ(fs::file_size(m_dir.path() / "empty.txt.brisklet"), 48u);
    ASSERT_EQ(decrypt(m_dir.path() / "empty.txt.brisklet"), StatusDone);
    EXPECT_EQ(fs::file_size(path), 0u);
}

TEST_F(OperationTest, DecryptionRemovesWhateverTheLastExtensionIs) {
    const auto plain = sampleBytes(40);
    const fs::path path = m_dir.writeFile("a", plain);
    ASSERT_EQ(encrypt(path), StatusDone);
    fs::rename(m_dir.path() / "a.brisklet", m_dir.path() / "a.dat");
    ASSERT_EQ(decrypt(m_dir.path() / "a.dat"), StatusDone);
    EXPECT_EQ(readFile(path), plain);
}

TEST_F(OperationTest, ATakenTargetNameRefusesTheFileBeforeAnythingChanges) {
    const auto plain = sampleBytes(300);
    const auto bystander = sampleBytes(7, 99);

    // Encryption: both files stay as they were, and the reason names the taken name.
    const fs::path path = m_dir.writeFile("doc.txt", plain);
    m_dir.writeFile("doc.txt.brisklet", bystander);
    EXPECT_EQ(encrypt(path), StatusFailed);
    EXPECT_EQ(m_master.lastReason(), "doc.txt.brisklet already exists");
    EXPECT_EQ(readFile(path), plain);
    EXPECT_EQ(readFile(m_dir.path() / "doc.txt.brisklet"), bystander);

    // Decryption: the same, the other way round.
    fs::remove(m_dir.path() / "doc.txt.brisklet");
    ASSERT_EQ(encrypt(path), StatusDone);
    const auto encrypted = readFile(m_dir.path() / "doc.txt.brisklet");
    m_dir.writeFile("doc.txt", bystander);
    EXPECT_EQ(decrypt(m_dir.path() / "doc.txt.brisklet"), StatusFailed);
    EXPECT_EQ(m_master.lastReason(), "doc.txt already exists");
    EXPECT_EQ(readFile(m_dir.path() / "doc.txt.brisklet"), encrypted);
    EXPECT_EQ(readFile(m_dir.path() / "doc.txt"), bystander);

    // A name without an extension is its own target: decrypted in place, not renamed, and said why.
    fs::remove(m_dir.path() / "doc.txt");
    fs::rename(m_dir.path() / "doc.txt.brisklet", m_dir.path() / "noext");
    EXPECT_EQ(decrypt(m_dir.path() / "noext"), StatusNotRenamed);
    EXPECT_EQ(m_master.lastReason(),
              std::string(logmsg::kCouldNotRenameFile) + "; " + std::string(logmsg::kNoExtensionToRemove));
    EXPECT_EQ(readFile(m_dir.path() / "noext"), plain);
    EXPECT_EQ(logLines(), std::vector<std::string>{std::string(logmsg::kCouldNotRenameFile)});
    EXPECT_TRUE(tempFiles().empty());
}

TEST_F(OperationTest, AnEncryptedNameGainsTheExtensionAgainAndLosesItTwice) {
    const auto plain = sampleBytes(20);
    const fs::path path = m_dir.writeFile("x.brisklet", plain);
    ASSERT_EQ(encrypt(path), StatusDone);
    ASSERT_EQ(decrypt(m_dir.path() / "x.brisklet.brisklet"), StatusDone);
    EXPECT_EQ(readFile(path), plain);
    ASSERT_EQ(decrypt(path), StatusFailed); // it was plain text all along
}

TEST_F(OperationTest, WhatCannotBeOpenedFailsQuietly) {
    m_dir.writeFile("present", sampleBytes(10));
    fs::create_directory(m_dir.path() / "folder");
    for (const char* name : {"missing", "folder"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(encrypt(m_dir.path() / name), StatusFailed);
        EXPECT_EQ(decrypt(m_dir.path() / name), StatusFailed);
    }
    EXPECT_TRUE(logLines().empty());
    EXPECT_EQ(testsupport::listNames(m_dir.path()), (std::vector<std::string>{"folder", "present"}));
}

TEST_F(OperationTest, StoppedOperationsLeaveTheFileUntouchedAndSaySo) {
    const auto plain = sampleBytes(2000);
    const fs::path path = m_dir.writeFile("c.txt", plain);
    ASSERT_EQ(encrypt(path), StatusDone);
    const fs::path encrypted = m_dir.path() / "c.txt.brisklet";
    const auto stored = readFile(encrypted);
    const auto modified = fs::last_write_time(encrypted);

    engine::EncryptionOperation encryption(encrypted, runKeyFor(u"secret", twofish::DIR_ENCRYPT), &m_master,
                                           0);
    engine::DecryptionOperation decryption(encrypted, runKeyFor(u"secret", twofish::DIR_DECRYPT), &m_master,
                                           0);
    for (engine::FileOperation* operation :
         std::initializer_list<engine::FileOperation*>{&encryption, &decryption}) {
        operation->cancel();
        EXPECT_EQ(run(*operation), engine::StatusNone);
        EXPECT_EQ(m_master.lastReason(), logmsg::kStoppedUntouched);
    }
    EXPECT_EQ(readFile(encrypted), stored);
    EXPECT_EQ(fs::last_write_time(encrypted), modified) << "not even opened";
    EXPECT_TRUE(tempFiles().empty());
    EXPECT_TRUE(logLines().empty()) << "stopping is not worth a log line per file";
}

TEST_F(OperationTest, ReportsCarryTheRowIndex) {
    const fs::path path = m_dir.writeFile("r", sampleBytes(5));
    engine::EncryptionOperation operation(path, runKeyFor(u"secret", twofish::DIR_ENCRYPT), &m_master, 41);
    operation.main();
    EXPECT_EQ(m_master.reports(), (std::vector<std::pair<int32_t, int64_t>>{{StatusDone, 41}}));
}

} // namespace
