// SPDX-License-Identifier: GPL-3.0-or-later
// brisklet-cli guess run as a child: the passphrase found within two edits, or none, and refused files.
#include "tests/cli/cli_fixture.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

using clitest::ChildResult;
using clitest::CliTest;
using testsupport::sampleBytes;
namespace fs = std::filesystem;

class GuessTest : public CliTest {
protected:
    // A small file encrypted with `passphrase` by the program itself.
    fs::path encryptedWith(const std::string& passphrase) {
        const fs::path plain = m_dir.writeFile("note.txt", sampleBytes(100));
        EXPECT_EQ(runWith("encrypt", passphrase, {plain}).exitCode, 0);
        return fs::path(plain) += ".brisklet";
    }
};

TEST_F(GuessTest, FindsThePassphraseWithinTwoEditsOfTheTypedOne) {
    const fs::path file = encryptedWith("tiger");
    // Each typed passphrase is short, and the edits that repair it come early, so every run is quick.
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"tiger", "the passphrase as typed opens"},
        {"tigr", "trying"},   // one deletion away
        {"tigre", "trying"},  // one swap away
        {"xtigre", "trying"}, // a deletion and a swap away
    };
    for (const auto& [typed, said] : rows) {
        SCOPED_TRACE(typed);
        const ChildResult guess = runWith("guess", typed, {file});
        EXPECT_EQ(guess.exitCode, 0) << guess.err;
        EXPECT_EQ(guess.out, "tiger\n");
        EXPECT_NE(guess.err.find(said), std::string::npos) << guess.err;
    }
}

TEST_F(GuessTest, PrintsTheFirstMatchInTheOrderWhicheverThreadFindsIt) {
    // Only as many UTF-8 bytes as the passphrase has UTF-16 units make the key: "éa" is keyed by the two
    // bytes of "é", and so is every two-character passphrase that starts with "é". One edit from "é", the
    // first of them in the order is the insertion of "é" before it; the insertion of a space after it, in
    // another thread's part, comes next.
    const fs::path file = encryptedWith("\u00E9a");
    for (int run = 0; run < 3; ++run) {
        const ChildResult guess = runWith("guess", "\u00E9", {file});
        EXPECT_EQ(guess.exitCode, 0) << guess.err;
        EXPECT_EQ(guess.out, "\u00E9\u00E9\n");
    }
}

TEST_F(GuessTest, SaysSoWhenNoPassphraseWithinTwoEditsOpensTheFile) {
    // Three insertions away; "a" has about 118,000 candidates within two edits, all of them tried.
    const fs::path file = encryptedWith("abcd");
    const ChildResult guess = runWith("guess", "a", {file});
    EXPECT_EQ(guess.exitCode, 1) << guess.err;
    EXPECT_EQ(guess.out, "");
    EXPECT_NE(guess.err.find("no passphrase within two edits"), std::string::npos) << guess.err;
}

TEST_F(GuessTest, RefusesAFileNoEncryptionCouldHaveMade) {
    const std::vector<std::pair<std::size_t, std::string>> rows = {
        {47, "not an encrypted file"}, // under three blocks
        {50, "not an encrypted file"}, // not whole blocks
        {0, "not an encrypted file"},
    };
    for (const auto& [length, said] : rows) {
        SCOPED_TRACE(length);
        const fs::path file = m_dir.writeFile("plain" + std::to_string(length), sampleBytes(length));
        const ChildResult guess = runWith("guess", "tiger", {file});
        EXPECT_EQ(guess.exitCode, 2);
        EXPECT_EQ(guess.out, "");
        EXPECT_NE(guess.err.find(said), std::string::npos) << guess.err;
    }
    const ChildResult missing = runWith("guess", "tiger", {m_dir.path() / "missing"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("cannot be read"), std::string::npos) << missing.err;
}

} // namespace
