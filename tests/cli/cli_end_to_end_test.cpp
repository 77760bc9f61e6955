// SPDX-License-Identifier: GPL-3.0-or-later
// The brisklet-cli program run as a child process: commands, outcomes, exit statuses, passphrase sources.
#include "cli/ColorBars.h"
#include "crypto/passphrase_key.h"
#include "engine/EncryptedFormat.h"
#include "tests/cli/child_process.h"
#include "tests/cli/cli_fixture.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <map>
#include <sys/stat.h>

namespace {

using clitest::ChildResult;
using clitest::CliTest;
using testsupport::readFile;
using testsupport::sampleBytes;
namespace fs = std::filesystem;

constexpr const char* kWrongPassphraseReason =
    "failed (file did not decrypt to original plain text file - passphrase might be wrong)";

std::string line(const fs::path& path, const std::string& outcome) {
    return path.string() + ": " + outcome + "\n";
}

fs::path encryptedName(fs::path path) {
    return path += ".brisklet";
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(CliTest, EncryptsAndDecryptsATreeByteForByte) {
    const fs::path tree = m_dir.path() / "tree";
    fs::create_directories(tree / "sub dir");
    const std::map<fs::path, std::vector<uint8_t>> files = {
        {tree / "empty", {}},
        {tree / "one byte", sampleBytes(1, 1)},
        {tree / "sixteen", sampleBytes(16, 2)},
        {tree / "résumé.txt", sampleBytes(1000, 3)},
        {tree / "日本.txt", sampleBytes(100000, 4)},
        {tree / "sub dir" / "nested file", sampleBytes(1000, 5)},
    };
    for (const auto& [path, bytes] : files) {
        testsupport::writeFile(path, bytes);
    }
    const auto hidden = m_dir.writeFile("tree/.hidden", sampleBytes(20, 6));

    const ChildResult encrypted = runWith("encrypt", "tree secret", {tree});
    EXPECT_EQ(encrypted.exitCode, 0) << encrypted.err;
    for (const auto& [path, bytes] : files) {
        SCOPED_TRACE(path);
        EXPECT_TRUE(contains(encrypted.out, line(path, "done")));
        EXPECT_FALSE(fs::exists(path));
        EXPECT_EQ(fs::file_size(encryptedName(path)), engine::format::encryptedLength(bytes.size()));
    }
    EXPECT_EQ(std::count(encrypted.out.begin(), encrypted.out.end(), '\n'), 6);

    const ChildResult decrypted = runWith("decrypt", "tree secret", {tree});
    EXPECT_EQ(decrypted.exitCode, 0) << decrypted.err;
    EXPECT_EQ(decrypted.err, "");
    for (const auto& [path, bytes] : files) {
        SCOPED_TRACE(path);
        EXPECT_TRUE(contains(decrypted.out, line(encryptedName(path), "done")));
        EXPECT_EQ(readFile(path), bytes);
    }
    EXPECT_EQ(readFile(hidden), sampleBytes(20, 6));
    EXPECT_EQ(testsupport::listNames(tree),
              (std::vector<std::string>{".hidden", "empty", "one byte", "résumé.txt", "sixteen", "sub dir",
                                        "日本.txt"}));
}

TEST_F(CliTest, WrongPassphraseChangesNothingAndSaysWhy) {
    const auto plain = m_dir.writeFile("letter.txt", sampleBytes(1000));
    ASSERT_EQ(runWith("encrypt", "right one", {plain}).exitCode, 0);
    const auto file = encryptedName(plain);
    const auto before = readFile(file);

    const ChildResult result = runWith("decrypt", "wrong one", {file});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, line(file, kWrongPassphraseReason));
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(m_dir.names(), std::vector<std::string>{"letter.txt.brisklet"});
}

TEST_F(CliTest, MissingFileFailsWhileTheOthersAreDone) {
    const auto present = m_dir.writeFile("present", sampleBytes(100));
    const auto missing = m_dir.path() / "missing";

    const ChildResult result = runWith("encrypt", "secret", {present, missing});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, line(present, "done") + line(missing, "failed (no such file)"));
    EXPECT_TRUE(fs::exists(encryptedName(present)));
}

TEST_F(CliTest, ATakenTargetNameRefusesTheFileUntouched) {
    const auto file = m_dir.writeFile("a.txt", sampleBytes(100, 1));
    const auto taken = m_dir.writeFile("a.txt.brisklet", sampleBytes(10, 2));

    const ChildResult result = runWith("encrypt", "secret", {file});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, line(file, "failed (a.txt.brisklet already exists)"));
    EXPECT_EQ(readFile(file), sampleBytes(100, 1));
    EXPECT_EQ(readFile(taken), sampleBytes(10, 2));
}

TEST_F(CliTest, CheckTellsForEachFileWhetherThePassphraseOpensIt) {
    const auto plain = m_dir.writeFile("secret.txt", sampleBytes(1000));
    ASSERT_EQ(runWith("encrypt", "secret", {plain}).exitCode, 0);
    const auto encrypted = encryptedName(plain);
    const auto before = readFile(encrypted);
    const auto notEncrypted = m_dir.writeFile("plain.txt", sampleBytes(1000));
    const auto random = m_dir.writeFile("random.bin", sampleBytes(64));
    const auto missing = m_dir.path() / "missing";

    const ChildResult mixed = runWith("check", "secret", {encrypted, notEncrypted, random, missing});
    EXPECT_EQ(mixed.exitCode, 1);
    EXPECT_EQ(mixed.out, line(encrypted, "opens") + line(notEncrypted, "not an encrypted file") +
                             line(random, "wrong passphrase") +
                             line(missing, "cannot be read (No such file or directory)"));

    const ChildResult opens = runWith("check", "secret", {encrypted});
    EXPECT_EQ(opens.exitCode, 0);
    EXPECT_EQ(opens.out, line(encrypted, "opens"));
    const ChildResult wrong = runWith("check", "Secret", {encrypted});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_EQ(wrong.out, line(encrypted, "wrong passphrase"));
    EXPECT_EQ(readFile(encrypted), before);
}

// Each file is one line of output however its name is spelt; the escapes are written out here by hand.
TEST_F(CliTest, NamesAreEscapedSoThatEachFileIsOneLine) {
    const std::pair<std::string, std::string> names[] = {
        {"two\nlines.txt", "two\\nlines.txt"}, {"tab\there", "tab\\there"},
        {"back\\slash", "back\\\\slash"},      {"\x1b[31mred", "\\x1b[31mred"},
        {"latin1 caf\xe9", "latin1 caf\\xe9"}, {"caf\xc3\xa9", "caf\xc3\xa9"},
    };
    const std::string dir = m_dir.path().string() + "/";
    std::vector<fs::path> files;
    std::string encrypted;
    std::string checked;
    for (const auto& [name, escaped] : names) {
        files.push_back(m_dir.writeFile(name, sampleBytes(100)));
        encrypted += dir + escaped + ": done\n";
        checked += dir + escaped + ".brisklet: opens\n";
    }
    files.push_back(m_dir.path() / "gone\n");
    encrypted += dir + "gone\\n: failed (no such file)\n";

    const ChildResult encryptedRun = runWith("encrypt", "secret", files);
    EXPECT_EQ(encryptedRun.exitCode, 1);
    EXPECT_EQ(encryptedRun.out, encrypted);
    files.pop_back();
    for (auto& file : files) {
        file = encryptedName(file);
    }
    const ChildResult checkRun = runWith("check", "secret", files);
    EXPECT_EQ(checkRun.exitCode, 0);
    EXPECT_EQ(checkRun.out, checked);
}

TEST_F(CliTest, HelpVersionAndUsageErrors) {
    const auto file = m_dir.writeFile("untouched", sampleBytes(100));
    const std::string pw = passphraseFile("secret\n");
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string out; // the beginning of standard output
        std::string err; // a part of standard error
    };
    const std::vector<Case> cases = {
        {{"--help"}, 0, "Usage: brisklet-cli", ""},
        {{"encrypt", file.string(), "--help"}, 0, "Usage: brisklet-cli", ""},
        {{"--version"}, 0, std::string("brisklet-cli ") + BRISKLET_VERSION + "\n", ""},
        {{}, 2, "", "brisklet-cli: missing command\nTry 'brisklet-cli --help' for more information.\n"},
        {{"encrypt", "--passphrase-file", pw}, 2, "", "missing PATH"},
        {{"encrypt", "--bogus", "--passphrase-file", pw, file.string()}, 2, "", "unknown option '--bogus'"},
        {{"shred", file.string()}, 2, "", "unknown command 'shred'"},
        {{"shred\nnow", file.string()}, 2, "", "unknown command 'shred\\nnow'\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const ChildResult result = run(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_TRUE(result.out.starts_with(c.out)) << result.out;
        EXPECT_TRUE(c.out.empty() ? result.out.empty() : !result.out.empty());
        EXPECT_TRUE(c.err.empty() ? result.err.empty() : contains(result.err, c.err)) << result.err;
    }
    EXPECT_EQ(run({"--version"}).out, std::string("brisklet-cli ") + BRISKLET_VERSION + "\n");
    // A usage error is two lines on standard error, not the whole help.
    EXPECT_EQ(run({"shred", file.string()}).err,
              "brisklet-cli: unknown command 'shred'\nTry 'brisklet-cli --help' for more information.\n");
    EXPECT_EQ(readFile(file), sampleBytes(100));
}

TEST_F(CliTest, PassphraseFromADescriptorMatchesTheSameFromAFile) {
    const auto plain = m_dir.writeFile("data", sampleBytes(5000));

    const ChildResult encrypted =
        run({"encrypt", "--passphrase-fd", "3", plain.string()}, std::string("piped secret\nnot read\n"));
    EXPECT_EQ(encrypted.exitCode, 0) << encrypted.err;
    const ChildResult decrypted = run(
        {"decrypt", "--passphrase-file", passphraseFile("piped secret\r\n"), encryptedName(plain).string()});
    EXPECT_EQ(decrypted.exitCode, 0) << decrypted.err;
    EXPECT_EQ(readFile(plain), sampleBytes(5000));
}

TEST_F(CliTest, NonAsciiPassphraseIsKeyedByItsUtf16Length) {
    // "éèabcd" has 6 UTF-16 code units, and the key hashes the first 6 of its 8 UTF-8 bytes, "éèab": the
    // program must hand the engine UTF-16 for that to happen. "éèabXY" shares those bytes, "éèaXcd" not.
    const auto plain = m_dir.writeFile("data", sampleBytes(300));
    ASSERT_EQ(runWith("encrypt", "éèabcd", {plain}).exitCode, 0);
    const auto file = encryptedName(plain);

    EXPECT_EQ(runWith("check", "éèaXcd", {file}).out, line(file, "wrong passphrase"));
    const ChildResult decrypted = runWith("decrypt", "éèabXY", {file});
    EXPECT_EQ(decrypted.exitCode, 0) << decrypted.out;
    EXPECT_EQ(readFile(plain), sampleBytes(300));
}

TEST_F(CliTest, UnusablePassphrasesAreRefusedBeforeAnyFileIsTouched) {
    const auto file = m_dir.writeFile("untouched", sampleBytes(100));
    struct Case {
        std::vector<std::string> source;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"--passphrase-file", passphraseFile("")}, "brisklet-cli: an empty passphrase cannot be used\n"},
        {{"--passphrase-file", passphraseFile("\r\nsecond line\n")}, "an empty passphrase cannot be used"},
        {{"--passphrase-file", passphraseFile("caf\xE9\n")}, "the passphrase is not valid UTF-8"},
        {{"--passphrase-file", passphraseFile("\xED\xA0\x80secret\n")}, "the passphrase is not valid UTF-8"},
        // The engine's own sentence.
        {{"--passphrase-file", passphraseFile(std::string(255, 'a') + "\n")},
         "brisklet-cli: " + std::string(passphrase::describe(passphrase::Result::TooLong))},
        {{"--passphrase-file", (m_dir.path() / "absent").string()},
         "cannot read the passphrase file '" + (m_dir.path() / "absent").string() + "': No such file"},
        {{"--passphrase-fd", "9"}, "cannot read the passphrase from descriptor 9: Bad file descriptor"},
        // The child has no controlling terminal to ask on.
        {{}, "no terminal to ask for the passphrase on"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.err);
        std::vector<std::string> args = {"encrypt"};
        args.insert(args.end(), c.source.begin(), c.source.end());
        args.push_back(file.string());
        const ChildResult result = run(args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(contains(result.err, c.err)) << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(m_dir.names(), std::vector<std::string>{"untouched"});
    EXPECT_EQ(readFile(file), sampleBytes(100));
}

TEST_F(CliTest, TerminalAsksWithoutEchoAndTwiceForEncryption) {
    const auto plain = m_dir.writeFile("data", sampleBytes(700));
    const auto file = encryptedName(plain);
    const std::string first = "Passphrase: ";
    const std::string again = "Repeat the passphrase: ";
    const auto onTerminal = [](const std::vector<std::string>& args,
                               const std::vector<std::pair<std::string, std::string>>& dialogue) {
        const ChildResult result = clitest::runChildOnTerminal(BRISKLET_CLI_PATH, args, dialogue);
        EXPECT_FALSE(contains(result.terminal, "typed secret")) << "echoed: " << result.terminal;
        return result;
    };

    const ChildResult mismatch =
        onTerminal({"encrypt", plain.string()}, {{first, "typed secret\n"}, {again, "typed secreT\n"}});
    EXPECT_EQ(mismatch.exitCode, 2);
    EXPECT_EQ(mismatch.err, "brisklet-cli: the passphrases do not match\n");
    EXPECT_EQ(readFile(plain), sampleBytes(700));

    const ChildResult confirmed =
        onTerminal({"encrypt", plain.string()}, {{first, "typed secret\n"}, {again, "typed secret\n"}});
    EXPECT_EQ(confirmed.exitCode, 0) << confirmed.err;
    EXPECT_EQ(confirmed.out, line(plain, "done"));

    const ChildResult decrypted = onTerminal({"decrypt", file.string()}, {{first, "typed secret\n"}});
    EXPECT_EQ(decrypted.exitCode, 0) << decrypted.err;
    EXPECT_FALSE(contains(decrypted.terminal, again));
    EXPECT_EQ(readFile(plain), sampleBytes(700));

    const ChildResult once =
        onTerminal({"encrypt", "--no-confirm", plain.string()}, {{first, "typed secret\n"}});
    EXPECT_EQ(once.exitCode, 0) << once.err;
    EXPECT_TRUE(once.echoes);
    EXPECT_FALSE(contains(once.terminal, again));
    EXPECT_EQ(runWith("check", "typed secret", {file}).out, line(file, "opens"));
}

TEST_F(CliTest, InterruptedPromptGivesTheTerminalItsEchoBack) {
    const auto file = m_dir.writeFile("data", sampleBytes(100));
    const ChildResult interrupted = clitest::runChildOnTerminal(BRISKLET_CLI_PATH, {"decrypt", file.string()},
                                                                {{"Passphrase: ", "\x03"}});
    EXPECT_EQ(interrupted.signal, SIGINT);
    EXPECT_TRUE(interrupted.echoes);
    EXPECT_EQ(readFile(file), sampleBytes(100));
}

TEST_F(CliTest, ColorsShowTheDesktopBarsFromFiveCodeUnitsOn) {
    const auto barsOf = [](std::u16string_view passphrase) {
        uint8_t digest[passphrase::kDigestSize];
        EXPECT_EQ(passphrase::digest(passphrase, digest), passphrase::Result::Ok);
        return cli::renderBars(cli::barColors(digest));
    };
    struct Case {
        std::string passphrase;
        std::optional<std::u16string> shown; // none: too short
    };
    const std::vector<Case> cases = {
        {"correct horse battery", u"correct horse battery"},
        {"abcde", u"abcde"},
        {"abcd", std::nullopt},
        // Four code units in six UTF-8 bytes: too short.
        {"éèab", std::nullopt},
        // Five code units in three characters: a surrogate pair counts twice.
        {"\xF0\x9F\x98\x80\xF0\x9F\x98\x80"
         "a",
         u"\U0001F600\U0001F600a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.passphrase);
        const ChildResult result = run({"colors", "--passphrase-file", passphraseFile(c.passphrase + "\n")});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        if (c.shown) {
            EXPECT_EQ(result.out, barsOf(*c.shown));
        } else {
            EXPECT_TRUE(contains(result.out, "too short to show colours")) << result.out;
        }
    }
}

} // namespace

namespace {

// A FIFO named directly or met in a folder, and a link out of the folder: nothing hangs, nothing outside
// the folder is touched, and each says why it was left alone.
TEST_F(CliTest, SpecialFilesAndLinksNeverHangAndAreLeftAlone) {
    const fs::path folder = m_dir.path() / "folder";
    fs::create_directory(folder);
    const fs::path fifo = folder / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto outside = m_dir.writeFile("outside", sampleBytes(32, 3));
    fs::create_directory_symlink(m_dir.path(), folder / "up");

    const ChildResult check = runWith("check", "secret", {fifo, folder});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_EQ(check.out, line(fifo, "not a regular file") + line(fifo, "not a regular file") +
                             line(folder / "up", "symbolic link; not followed"));

    const ChildResult encrypted = runWith("encrypt", "secret", {folder});
    EXPECT_EQ(encrypted.exitCode, 1);
    EXPECT_EQ(encrypted.out, line(fifo, "failed (not a regular file)") +
                                 line(folder / "up", "failed (symbolic link; not followed)"));
    EXPECT_EQ(readFile(outside), sampleBytes(32, 3));
    EXPECT_TRUE(fs::is_fifo(fifo));
}

} // namespace
