// SPDX-License-Identifier: GPL-3.0-or-later
// Command lines that parse, and those that must be refused with a usage error.
#include "cli/Arguments.h"

#include <gtest/gtest.h>

namespace {

using cli::Action;
using cli::Command;

struct GoodCase {
    std::vector<std::string> args;
    Action action;
    Command command;
    std::vector<std::string> paths;
    std::optional<std::string> passphraseFile;
    std::optional<int> passphraseFd;
    bool noConfirm;
};

TEST(ArgumentsTest, AcceptedCommandLines) {
    const std::vector<GoodCase> cases = {
        {{"encrypt", "a"}, Action::Run, Command::Encrypt, {"a"}, {}, {}, false},
        {{"decrypt", "a", "b c", "./-"}, Action::Run, Command::Decrypt, {"a", "b c", "./-"}, {}, {}, false},
        {{"encrypt", "-", "--passphrase-fd", "3"}, Action::Run, Command::Encrypt, {"-"}, {}, 3, false},
        {{"check", "--", "-"}, Action::Run, Command::Check, {"-"}, {}, {}, false},
        {{"--passphrase-file", "pw", "check", "a"}, Action::Run, Command::Check, {"a"}, "pw", {}, false},
        {{"encrypt", "a", "--passphrase-file=p=w"}, Action::Run, Command::Encrypt, {"a"}, "p=w", {}, false},
        {{"decrypt", "--passphrase-fd", "3", "a"}, Action::Run, Command::Decrypt, {"a"}, {}, 3, false},
        {{"encrypt", "--passphrase-fd=0", "a", "--no-confirm"},
         Action::Run,
         Command::Encrypt,
         {"a"},
         {},
         0,
         true},
        // After "--" everything is a path, also what looks like an option.
        {{"encrypt", "--", "-a", "--help"}, Action::Run, Command::Encrypt, {"-a", "--help"}, {}, {}, false},
        {{"--", "encrypt", "a"}, Action::Run, Command::Encrypt, {"a"}, {}, {}, false},
        {{"colors", "--passphrase-fd", "5"}, Action::Run, Command::Colors, {}, {}, 5, false},
        {{"recover"}, Action::Run, Command::Recover, {}, {}, {}, false},
        {{"guess", "--passphrase-fd", "3", "f"}, Action::Run, Command::Guess, {"f"}, {}, 3, false},
        {{"recover", "d", "e/f"}, Action::Run, Command::Recover, {"d", "e/f"}, {}, {}, false},
        {{"--help"}, Action::ShowHelp, Command::Encrypt, {}, {}, {}, false},
        {{"encrypt", "a", "-h"}, Action::ShowHelp, Command::Encrypt, {}, {}, {}, false},
        {{"--help", "--bogus"}, Action::ShowHelp, Command::Encrypt, {}, {}, {}, false},
        {{"--version", "frobnicate"}, Action::ShowVersion, Command::Encrypt, {}, {}, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const cli::Arguments parsed = cli::parseArguments(c.args);
        ASSERT_EQ(parsed.action, c.action) << parsed.error;
        if (c.action != Action::Run) {
            continue;
        }
        EXPECT_EQ(parsed.command, c.command);
        EXPECT_EQ(parsed.paths, std::vector<std::filesystem::path>(c.paths.begin(), c.paths.end()));
        EXPECT_EQ(parsed.passphraseFile,
                  c.passphraseFile ? std::optional<std::filesystem::path>(*c.passphraseFile) : std::nullopt);
        EXPECT_EQ(parsed.passphraseFd, c.passphraseFd);
        EXPECT_EQ(parsed.noConfirm, c.noConfirm);
        EXPECT_FALSE(parsed.discard);
    }
    const cli::Arguments discard = cli::parseArguments({"recover", "--discard", "d/.brisklet-journal-x"});
    ASSERT_EQ(discard.action, Action::Run) << discard.error;
    EXPECT_TRUE(discard.discard);
    EXPECT_EQ(discard.paths, std::vector<std::filesystem::path>{"d/.brisklet-journal-x"});
    EXPECT_TRUE(cli::usesStandardStreams(cli::parseArguments({"encrypt", "-"})));
    EXPECT_FALSE(cli::usesStandardStreams(cli::parseArguments({"encrypt", "./-"})));
    EXPECT_FALSE(cli::parseArguments({"encrypt", "a"}).includeEncrypted);
    EXPECT_TRUE(cli::parseArguments({"encrypt", "--include-encrypted", "a"}).includeEncrypted);
}

TEST(ArgumentsTest, RefusedCommandLinesSayWhy) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "missing command"},
        {{"encrypt"}, "missing PATH"},
        {{"--no-confirm", "decrypt", "--"}, "missing PATH"},
        {{"frobnicate", "a"}, "unknown command 'frobnicate'"},
        {{"Encrypt", "a"}, "unknown command 'Encrypt'"},
        {{"encrypt", "-x", "a"}, "unknown option '-x'"},
        {{"--bogus", "--help"}, "unknown option '--bogus'"},
        // The passphrase is never an argument: other users can read a process's command line.
        {{"encrypt", "--passphrase", "secret", "a"}, "unknown option '--passphrase'"},
        {{"encrypt", "a", "--passphrase-file"}, "option '--passphrase-file' needs a value"},
        {{"encrypt", "a", "--passphrase-file="}, "needs a file name"},
        {{"encrypt", "--passphrase-fd", "x", "a"}, "needs a descriptor number, not 'x'"},
        {{"encrypt", "--passphrase-fd=-1", "a"}, "needs a descriptor number, not '-1'"},
        {{"encrypt", "--passphrase-fd", "3x", "a"}, "needs a descriptor number, not '3x'"},
        {{"encrypt", "--passphrase-fd", "99999999999", "a"}, "needs a descriptor number"},
        {{"encrypt", "--passphrase-fd", "3", "--passphrase-file", "f", "a"}, "only one of"},
        {{"encrypt", "--passphrase-file", "f", "--passphrase-file", "g", "a"}, "only one of"},
        {{"--version=2"}, "option '--version' takes no value"},
        {{"encrypt", "--no-confirm=yes", "a"}, "option '--no-confirm' takes no value"},
        {{"colors", "a"}, "the colors command takes no PATH"},
        {{"guess"}, "missing PATH"},
        {{"guess", "a", "b"}, "the guess command takes one FILE"},
        {{"recover", "--discard"}, "--discard goes with recover and one JOURNAL"},
        {{"recover", "--discard", "a", "b"}, "--discard goes with recover and one JOURNAL"},
        {{"encrypt", "--discard", "a"}, "--discard goes with recover and one JOURNAL"},
        {{"decrypt", "--include-encrypted", "a"}, "--include-encrypted goes with encrypt"},
        // A lone "-" is standard input, which carries the data and is only one stream.
        {{"encrypt", "-", "--passphrase-fd", "0"}, "--passphrase-fd 0 cannot be used with '-'"},
        {{"decrypt", "--passphrase-fd=0", "-"}, "standard input carries the data"},
        {{"encrypt", "a", "-"}, "'-' (standard input) must be the only PATH; a file named '-' is './-'"},
        {{"check", "-", "-"}, "must be the only PATH"},
        {{"guess", "-"}, "'-' (standard input) goes with encrypt, decrypt and check"},
        {{"recover", "-"}, "goes with encrypt, decrypt and check"},
    };
    for (const auto& [args, error] : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const cli::Arguments parsed = cli::parseArguments(args);
        EXPECT_EQ(parsed.action, Action::UsageError);
        EXPECT_NE(parsed.error.find(error), std::string::npos) << parsed.error;
    }
}

TEST(ArgumentsTest, OutputDirGoesWithEncryptAndDecryptOnce) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"encrypt", "--output-dir", "out", "a"},
                                                                  {"--output-dir=out", "decrypt", "a"}}) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const cli::Arguments parsed = cli::parseArguments(args);
        ASSERT_EQ(parsed.action, Action::Run) << parsed.error;
        EXPECT_EQ(parsed.outputDir, std::optional<std::filesystem::path>("out"));
        EXPECT_EQ(parsed.paths, std::vector<std::filesystem::path>{"a"});
    }
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"encrypt", "a", "--output-dir"}, "option '--output-dir' needs a value"},
        {{"encrypt", "--output-dir=", "a"}, "needs one folder name, once"},
        {{"encrypt", "--output-dir", "x", "--output-dir", "y", "a"}, "needs one folder name, once"},
        {{"check", "--output-dir", "x", "a"}, "--output-dir goes with encrypt and decrypt"},
        {{"recover", "--output-dir", "x"}, "--output-dir goes with encrypt and decrypt"},
    };
    for (const auto& [args, error] : refused) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const cli::Arguments parsed = cli::parseArguments(args);
        EXPECT_EQ(parsed.action, Action::UsageError);
        EXPECT_NE(parsed.error.find(error), std::string::npos) << parsed.error;
    }
}

} // namespace
