// SPDX-License-Identifier: GPL-3.0-or-later
// decrypt and check with a passphrase typed in another Unicode normalization form than the one a file was
// encrypted with: the file opens, and its line names the form that opened it.
#include "tests/cli/child_process.h"
#include "tests/cli/cli_fixture.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using clitest::ChildResult;
using clitest::CliTest;
using testsupport::readFile;
using testsupport::sampleBytes;
namespace fs = std::filesystem;

// UTF-8, spelt out byte by byte so that no editor or compiler can normalize them.
const std::string kComposed = "caf\xc3\xa9";                      // café, U+00E9
const std::string kDecomposed = "cafe\xcc\x81";                   // cafe and U+0301
const std::string kHangul = "\xed\x95\x9c";                       // U+D55C
const std::string kJamo = "\xe1\x84\x92\xe1\x85\xa1\xe1\x86\xab"; // U+1112 U+1161 U+11AB

constexpr const char* kNfcNote = "opened with the passphrase's NFC form";
constexpr const char* kNfdNote = "opened with the passphrase's NFD form";

std::string line(const fs::path& path, const std::string& outcome) {
    return path.string() + ": " + outcome + "\n";
}

fs::path encryptedName(fs::path path) {
    return path += ".brisklet";
}

TEST_F(CliTest, APassphraseInAnotherFormOpensTheFileAndTheLineNamesTheForm) {
    struct Case {
        std::string encryptWith;
        std::string typed;
        std::string note; // empty: opened as typed
    };
    const std::vector<Case> cases = {
        {kComposed, kDecomposed, kNfcNote}, {kDecomposed, kComposed, kNfdNote},
        {kHangul, kJamo, kNfcNote},         {kJamo, kHangul, kNfdNote},
        {kComposed, kComposed, ""},         {"correct horse", "correct horse", ""},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const auto plain = m_dir.writeFile("file" + std::to_string(number), sampleBytes(700, number));
        ++number;
        ASSERT_EQ(runWith("encrypt", c.encryptWith, {plain}).exitCode, 0);
        const auto file = encryptedName(plain);
        const std::string opened = c.note.empty() ? "" : " (" + c.note + ")";

        const ChildResult check = runWith("check", c.typed, {file});
        EXPECT_EQ(check.exitCode, 0);
        EXPECT_EQ(check.out, line(file, "opens" + opened));
        const ChildResult decrypted = runWith("decrypt", c.typed, {file});
        EXPECT_EQ(decrypted.exitCode, 0) << decrypted.err;
        EXPECT_EQ(decrypted.out, line(file, "done" + opened));
        EXPECT_EQ(readFile(plain), sampleBytes(700, number - 1));
    }
}

// Each file of one run opens with whichever form keys it. The composed file opens as typed: its encryption
// kept the form typed.
TEST_F(CliTest, OneRunOpensEachFileWithTheFormThatKeysIt) {
    const auto composed = m_dir.writeFile("composed", sampleBytes(100, 1));
    const auto decomposed = m_dir.writeFile("decomposed", sampleBytes(100, 2));
    ASSERT_EQ(runWith("encrypt", kComposed, {composed}).exitCode, 0);
    ASSERT_EQ(runWith("encrypt", kDecomposed, {decomposed}).exitCode, 0);

    const ChildResult decrypted =
        runWith("decrypt", kComposed, {encryptedName(composed), encryptedName(decomposed)});
    EXPECT_EQ(decrypted.exitCode, 0) << decrypted.err;
    EXPECT_EQ(decrypted.out, line(encryptedName(composed), "done") +
                                 line(encryptedName(decomposed), std::string("done (") + kNfdNote + ")"));
    EXPECT_EQ(readFile(composed), sampleBytes(100, 1));
    EXPECT_EQ(readFile(decomposed), sampleBytes(100, 2));
}

TEST_F(CliTest, AWrongPassphraseInAnyFormStillFailsWithNothingTouched) {
    const auto plain = m_dir.writeFile("letter", sampleBytes(1000));
    ASSERT_EQ(runWith("encrypt", kComposed, {plain}).exitCode, 0);
    const auto file = encryptedName(plain);
    const auto before = readFile(file);
    // "kafé", composed and decomposed: no form of it keys as "café" does.
    for (const std::string& wrong : {std::string("kaf\xc3\xa9"), std::string("kafe\xcc\x81")}) {
        const ChildResult check = runWith("check", wrong, {file});
        EXPECT_EQ(check.exitCode, 1);
        EXPECT_EQ(check.out, line(file, "wrong passphrase"));
        const ChildResult decrypted = runWith("decrypt", wrong, {file});
        EXPECT_EQ(decrypted.exitCode, 1);
        EXPECT_EQ(decrypted.out,
                  line(file, "failed (file did not decrypt to original plain text file - passphrase might be "
                             "wrong)"));
        EXPECT_EQ(readFile(file), before);
        EXPECT_EQ(m_dir.names(), std::vector<std::string>{"letter.brisklet"});
    }
}

} // namespace
