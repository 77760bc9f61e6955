// SPDX-License-Identifier: GPL-3.0-or-later
// First-line reading of passphrase files and descriptors.
#include "cli/LineReader.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

using testsupport::TempDir;

std::vector<uint8_t> bytesOf(std::string_view text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

TEST(LineReaderTest, FirstLineWithoutItsLineEnd) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"secret\n", "secret"},
        {"secret\r\n", "secret"},
        {"secret", "secret"},
        {"secret\nsecond line\n", "secret"},
        {"secret\r\nsecond line\r\n", "secret"},
        {"\n", ""},
        {"\r\n", ""},
        {"", ""},
        // Only a whole "\r\n" is a line end; other carriage returns are part of the passphrase.
        {"sec\rret\n", "sec\rret"},
        {"secret\r", "secret\r"},
        {"secret\r\r\n", "secret\r"},
        {" padded \t\n", " padded \t"},
        {std::string("nul\0inside\n", 11), std::string("nul\0inside", 10)},
    };
    const TempDir dir;
    for (const auto& [content, line] : cases) {
        SCOPED_TRACE(::testing::PrintToString(content));
        const auto file = dir.writeFile("passphrase", bytesOf(content));
        const cli::LineRead read = cli::readFirstLineOfFile(file);
        EXPECT_EQ(read.error, 0);
        EXPECT_FALSE(read.tooLong);
        EXPECT_EQ(read.line.view(), line);
    }
}

TEST(LineReaderTest, MissingFileAndDirectoryGiveTheirErrors) {
    const TempDir dir;
    const cli::LineRead missing = cli::readFirstLineOfFile(dir.path() / "absent");
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_TRUE(missing.line.empty());
    EXPECT_EQ(cli::readFirstLineOfFile(dir.path()).error, EISDIR);
    EXPECT_EQ(cli::readFirstLine(-1).error, EBADF);
}

TEST(LineReaderTest, LineWithoutEndBeyondCapacityIsTooLong) {
    const TempDir dir;
    const auto file = dir.writeFile("passphrase", std::vector<uint8_t>(cli::kSecretCapacity + 1, 'a'));
    const cli::LineRead read = cli::readFirstLineOfFile(file);
    EXPECT_TRUE(read.tooLong);
    EXPECT_TRUE(read.line.empty());

    const auto fits = dir.writeFile("fits", std::vector<uint8_t>(cli::kSecretCapacity, 'a'));
    EXPECT_EQ(cli::readFirstLineOfFile(fits).line.size(), cli::kSecretCapacity);
}

TEST(LineReaderTest, DescriptorIsReadNoFurtherThanTheLineEnd) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const std::string written = "secret\r\nfor someone else\n";
    ASSERT_EQ(::write(fds[1], written.data(), written.size()), static_cast<ssize_t>(written.size()));
    ::close(fds[1]);

    EXPECT_EQ(cli::readFirstLine(fds[0]).line.view(), "secret");
    char rest[64] = {};
    EXPECT_EQ(std::string(rest, static_cast<size_t>(::read(fds[0], rest, sizeof rest))),
              "for someone else\n");
    ::close(fds[0]);
}

} // namespace
