// SPDX-License-Identifier: GPL-3.0-or-later
// encrypt and decrypt --output-dir: copies in a mirrored tree, the originals untouched, and the command
// lines refused before anything is made.
#include "tests/cli/child_process.h"
#include "tests/cli/cli_fixture.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <map>
#include <sys/stat.h>

namespace {

using clitest::ChildResult;
using clitest::CliTest;
using testsupport::readFile;
using testsupport::sampleBytes;
namespace fs = std::filesystem;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

mode_t permissions(const fs::path& path) {
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

class OutputDirTest : public CliTest {
protected:
    ChildResult runInto(const std::string& command, const fs::path& outputDir,
                        const std::vector<fs::path>& paths, const std::string& passphrase = "secret") {
        std::vector<std::string> args = argsWith(command, passphrase, paths);
        args.insert(args.begin() + 1, {"--output-dir", outputDir.string()});
        return run(args);
    }

    // A tree of files and their contents, under m_dir.
    std::map<std::string, std::vector<uint8_t>> makeTree(const std::map<std::string, size_t>& lengths) {
        std::map<std::string, std::vector<uint8_t>> files;
        uint32_t seed = 1;
        for (const auto& [name, length] : lengths) {
            const fs::path path = m_dir.path() / name;
            fs::create_directories(path.parent_path());
            files[name] = sampleBytes(length, seed++);
            testsupport::writeFile(path, files[name]);
        }
        return files;
    }
};

TEST_F(OutputDirTest, CopiesMirrorTheFoldersGivenUnderTheirOwnNames) {
    const auto files =
        makeTree({{"docs/a", 0}, {"docs/sub/b", 1000}, {"docs/sub/deeper/c", 300000}, {"x", 17}});
    const fs::path out = m_dir.path() / "made" / "out";

    const ChildResult encrypted = runInto("encrypt", out, {m_dir.path() / "docs" / "", m_dir.path() / "x"});
    ASSERT_EQ(encrypted.exitCode, 0) << encrypted.err << encrypted.out;
    EXPECT_TRUE(contains(encrypted.out, (m_dir.path() / "docs" / "sub" / "b").string() + ": done\n"));
    for (const auto& [name, bytes] : files) {
        EXPECT_EQ(readFile(m_dir.path() / name), bytes) << "the original, untouched";
    }
    const std::vector<fs::path> copies = {out / "docs/a.brisklet", out / "docs/sub/b.brisklet",
                                          out / "docs/sub/deeper/c.brisklet", out / "x.brisklet"};
    for (const fs::path& copy : copies) {
        EXPECT_EQ(permissions(copy), 0600u) << copy;
    }
    for (const fs::path& made :
         {m_dir.path() / "made", out, out / "docs", out / "docs/sub", out / "docs/sub/deeper"}) {
        EXPECT_EQ(permissions(made), 0700u) << made;
    }
    EXPECT_EQ(testsupport::listNames(out), (std::vector<std::string>{"docs", "x.brisklet"}));

    // And back, from the copies' folder given by a path of another spelling.
    const fs::path back = m_dir.path() / "back";
    fs::create_directory(back);
    const ChildResult decrypted = runInto("decrypt", back, {out / "." / "docs"});
    ASSERT_EQ(decrypted.exitCode, 0) << decrypted.err << decrypted.out;
    for (const auto& [name, bytes] : files) {
        if (name.starts_with("docs/")) {
            EXPECT_EQ(readFile(back / name), bytes);
        }
    }
}

TEST_F(OutputDirTest, CommandLinesThatCannotWorkAreRefusedBeforeAnythingIsMade) {
    makeTree({{"one/docs/a", 10}, {"two/docs/b", 10}, {"docs/c", 10}});
    const fs::path docs = m_dir.path() / "docs";
    const std::vector<std::tuple<std::string, fs::path, std::vector<fs::path>, std::string>> cases = {
        {"two folders of one name",
         m_dir.path() / "out",
         {m_dir.path() / "one/docs", m_dir.path() / "two/docs"},
         "two folders given are named docs"},
        {"the output folder inside a source", docs / "out", {docs}, "lies inside"},
        {"the output folder a source itself", docs / ".", {docs}, "lies inside"},
        {"the output folder inside a source reached through ..",
         m_dir.path() / "one/../docs/x/y",
         {docs},
         "lies inside"},
    };
    for (const auto& [what, outputDir, paths, error] : cases) {
        SCOPED_TRACE(what);
        const auto before = testsupport::listNames(m_dir.path());
        const ChildResult result = runInto("encrypt", outputDir, paths);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(contains(result.err, error)) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(testsupport::listNames(m_dir.path()), before);
        EXPECT_EQ(testsupport::listNames(docs), std::vector<std::string>{"c"});
    }
}

TEST_F(OutputDirTest, ATakenNameIsRefusedAndLeftAlone) {
    fs::create_directory(m_dir.path() / "out");
    const auto plain = m_dir.writeFile("a.txt", sampleBytes(100, 1));
    const auto taken = m_dir.writeFile("out/a.txt.brisklet", sampleBytes(10, 2));
    const ChildResult result = runInto("encrypt", m_dir.path() / "out", {plain});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, plain.string() + ": failed (a.txt.brisklet already exists)\n");
    EXPECT_EQ(readFile(taken), sampleBytes(10, 2));
    EXPECT_EQ(readFile(plain), sampleBytes(100, 1));
}

TEST_F(OutputDirTest, AWrongPassphraseWritesNothingThere) {
    fs::create_directory(m_dir.path() / "in");
    const auto plain = m_dir.writeFile("in/a.txt", sampleBytes(1000));
    ASSERT_EQ(runWith("encrypt", "right", {plain}).exitCode, 0);
    const fs::path out = m_dir.path() / "out";
    fs::create_directory(out);
    const ChildResult result = runInto("decrypt", out, {m_dir.path() / "in"}, "wrong");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(contains(result.out, "passphrase might be wrong")) << result.out;
    EXPECT_EQ(testsupport::listNames(out), std::vector<std::string>{});
}

// On a read-only mount, which even root cannot write: a private mount namespace of the child's own, where
// the source folder is bound read-only onto itself (77 = no such namespace here).
TEST_F(OutputDirTest, ASourceOnAReadOnlyMountIsCopied) {
    fs::create_directory(m_dir.path() / "ro");
    const auto plain = m_dir.writeFile("ro/a.txt", sampleBytes(5000));
    const fs::path source = m_dir.path() / "ro";
    const fs::path out = m_dir.path() / "out";
    const std::string script = "mount --bind \"$1\" \"$1\" && mount -o remount,ro,bind \"$1\" || exit 77\n"
                               "touch \"$1/probe\" 2>/dev/null && exit 78\n"
                               "shift; exec \"$@\"";
    std::vector<std::string> args = {"--mount", "--propagation", "private",        "sh", "-c", script,
                                     "sh",      source.string(), BRISKLET_CLI_PATH};
    std::vector<std::string> command = argsWith("encrypt", "secret", {source});
    command.insert(command.begin() + 1, {"--output-dir", out.string()});
    args.insert(args.end(), command.begin(), command.end());
    const ChildResult result = clitest::runChild("/usr/bin/unshare", args);
    if (result.exitCode == 77 || (result.exitCode == 1 && contains(result.err, "unshare"))) {
        GTEST_SKIP() << "no private mount namespace here: " << result.err;
    }
    ASSERT_NE(result.exitCode, 78) << "the mount was not read-only";
    EXPECT_EQ(result.exitCode, 0) << result.err << result.out;
    EXPECT_EQ(result.out, plain.string() + ": done\n");
    EXPECT_EQ(testsupport::listNames(out / "ro"), std::vector<std::string>{"a.txt.brisklet"});
    EXPECT_EQ(testsupport::listNames(source), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(readFile(plain), sampleBytes(5000));
}

} // namespace
