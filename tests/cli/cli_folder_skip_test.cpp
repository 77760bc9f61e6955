// SPDX-License-Identifier: GPL-3.0-or-later
// encrypt and decrypt over folders pass over the files already in the form they would give them; files
// named on the command line are processed as asked.
#include "tests/cli/child_process.h"
#include "tests/cli/cli_fixture.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

using clitest::ChildResult;
using clitest::CliTest;
using testsupport::readFile;
using testsupport::sampleBytes;
namespace fs = std::filesystem;

std::string line(const fs::path& path, const std::string& outcome) {
    return path.string() + ": " + outcome + "\n";
}

fs::path encryptedName(fs::path path) {
    return path += ".brisklet";
}

class FolderSkipTest : public CliTest {
protected:
    void SetUp() override {
        fs::create_directories(m_folder / "sub");
        testsupport::writeFile(m_plain, sampleBytes(100, 1));
        testsupport::writeFile(m_upperCase, sampleBytes(100, 2));
        testsupport::writeFile(m_encrypted, sampleBytes(100, 3));
        ASSERT_EQ(runWith("encrypt", "first", {m_encrypted}).exitCode, 0);
    }

    const fs::path m_folder = m_dir.path() / "folder";
    const fs::path m_plain = m_folder / "notes.txt";
    // The extension is matched case by case: this one is not the product's.
    const fs::path m_upperCase = m_folder / "photo.BRISKLET";
    // Encrypted in SetUp: only its encrypted form is there.
    const fs::path m_encrypted = m_folder / "sub" / "old.pdf";
};

TEST_F(FolderSkipTest, EncryptingAFolderSkipsWhatIsAlreadyEncrypted) {
    const auto before = readFile(encryptedName(m_encrypted));
    const ChildResult result = runWith("encrypt", "second", {m_folder});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, line(encryptedName(m_encrypted), "already encrypted; skipped") +
                              line(m_plain, "done") + line(m_upperCase, "done"));
    EXPECT_EQ(readFile(encryptedName(m_encrypted)), before);
    EXPECT_TRUE(fs::exists(encryptedName(m_plain)));
    EXPECT_TRUE(fs::exists(encryptedName(m_upperCase)));
}

TEST_F(FolderSkipTest, NamedFilesAndIncludeEncryptedAreEncryptedAsAsked) {
    const ChildResult named = runWith("encrypt", "second", {encryptedName(m_encrypted)});
    EXPECT_EQ(named.exitCode, 0) << named.err;
    EXPECT_EQ(named.out, line(encryptedName(m_encrypted), "done"));
    EXPECT_TRUE(fs::exists(encryptedName(encryptedName(m_encrypted))));

    std::vector<std::string> args = argsWith("encrypt", "third", {m_folder});
    args.push_back("--include-encrypted");
    const ChildResult included = run(args);
    EXPECT_EQ(included.exitCode, 0) << included.err;
    EXPECT_EQ(included.out, line(m_plain, "done") + line(m_upperCase, "done") +
                                line(encryptedName(encryptedName(m_encrypted)), "done"));
    EXPECT_TRUE(fs::exists(encryptedName(encryptedName(encryptedName(m_encrypted)))));
}

TEST_F(FolderSkipTest, DecryptingAFolderSkipsFilesWithoutTheExtension) {
    const ChildResult result = runWith("decrypt", "first", {m_folder});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, line(m_plain, "not a .brisklet file; skipped") +
                              line(m_upperCase, "not a .brisklet file; skipped") +
                              line(encryptedName(m_encrypted), "done"));
    EXPECT_EQ(readFile(m_encrypted), sampleBytes(100, 3));
    EXPECT_EQ(readFile(m_plain), sampleBytes(100, 1));

    // Named, a file is tried whatever its name.
    const ChildResult named = runWith("decrypt", "first", {m_plain});
    EXPECT_EQ(named.exitCode, 1);
    EXPECT_EQ(named.out.find(line(m_plain, "not a .brisklet file; skipped")), std::string::npos);
}

// Nothing left to do is not a failure.
TEST_F(FolderSkipTest, AFolderWithOnlySkippedFilesSucceeds) {
    const fs::path sub = m_folder / "sub";
    const ChildResult result = runWith("encrypt", "second", {sub});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, line(encryptedName(m_encrypted), "already encrypted; skipped"));
}

} // namespace
