// SPDX-License-Identifier: GPL-3.0-or-later
// File manager functions: link-following tests, moving without replacing, removal errors, listings.
#include "platform/FileManager.h"

#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace {

using testsupport::readFile;
using testsupport::sampleBytes;

TEST(FileManagerTest, ExistsAndIsDirectoryFollowLinks) {
    testsupport::TempDir dir;
    const auto file = dir.writeFile("file", {1});
    std::filesystem::create_directory(dir.path() / "sub");
    std::filesystem::create_directory_symlink(dir.path() / "sub", dir.path() / "linkToSub");
    std::filesystem::create_symlink(dir.path() / "gone", dir.path() / "dangling");

    EXPECT_TRUE(platform::exists(file));
    EXPECT_FALSE(platform::isDirectory(file));
    EXPECT_TRUE(platform::isDirectory(dir.path() / "linkToSub"));
    EXPECT_FALSE(platform::exists(dir.path() / "dangling"));
    EXPECT_FALSE(platform::exists(dir.path() / "gone"));
}

TEST(FileManagerTest, MoveItemRenames) {
    testsupport::TempDir dir;
    const auto content = sampleBytes(64);
    const auto from = dir.writeFile("a.txt", content);
    ASSERT_TRUE(platform::moveItem(from, dir.path() / "a.txt.brisklet"));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"a.txt.brisklet"});
    EXPECT_EQ(readFile(dir.path() / "a.txt.brisklet"), content);
}

TEST(FileManagerTest, MoveItemNeverReplaces) {
    testsupport::TempDir dir;
    const auto fromContent = sampleBytes(64, 1);
    const auto toContent = sampleBytes(64, 2);
    const auto from = dir.writeFile("a", fromContent);
    const auto to = dir.writeFile("b", toContent);

    EXPECT_FALSE(platform::moveItem(from, to));
    EXPECT_EQ(readFile(from), fromContent);
    EXPECT_EQ(readFile(to), toContent);

    EXPECT_FALSE(platform::moveItem(from, from)) << "a file cannot be moved onto its own name";
    EXPECT_EQ(readFile(from), fromContent);

    EXPECT_FALSE(platform::moveItem(dir.path() / "missing", dir.path() / "c"));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"a", "b"}));
}

TEST(FileManagerTest, RemoveItemReportsTheReason) {
    testsupport::TempDir dir;
    const auto file = dir.writeFile("f", {1, 2});
    EXPECT_EQ(platform::removeItem(file), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(file));

    EXPECT_EQ(platform::removeItem(file), std::string(std::strerror(ENOENT)));

    std::filesystem::create_directories(dir.path() / "full" / "inner");
    EXPECT_EQ(platform::removeItem(dir.path() / "full"), std::string(std::strerror(ENOTEMPTY)));
    EXPECT_EQ(platform::removeItem(dir.path() / "full" / "inner"), std::nullopt);
}

TEST(FileManagerTest, ContentsOfDirectorySkipsHiddenEntriesAndSorts) {
    testsupport::TempDir dir;
    for (const char* name : {"b", ".hidden", "a", "C"}) {
        dir.writeFile(name, {});
    }
    std::filesystem::create_directory(dir.path() / ".hiddenDir");
    std::filesystem::create_directory(dir.path() / "sub");

    const auto contents = platform::contentsOfDirectory(dir.path());
    ASSERT_TRUE(contents.has_value());
    EXPECT_EQ(*contents, (std::vector<std::filesystem::path>{dir.path() / "C", dir.path() / "a",
                                                             dir.path() / "b", dir.path() / "sub"}));

    EXPECT_EQ(platform::contentsOfDirectory(dir.path() / "missing"), std::nullopt);
    EXPECT_EQ(platform::contentsOfDirectory(dir.path() / "a"), std::nullopt) << "a file is no directory";
}

TEST(FileManagerTest, TemporaryDirectoryHonoursTmpdir) {
    {
        testsupport::ScopedEnv env("TMPDIR", "/some/where");
        EXPECT_EQ(platform::temporaryDirectory(), "/some/where");
    }
    {
        testsupport::ScopedEnv env("TMPDIR", "");
        EXPECT_EQ(platform::temporaryDirectory(), "/tmp");
    }
    {
        testsupport::ScopedEnv env("TMPDIR", std::nullopt);
        EXPECT_EQ(platform::temporaryDirectory(), "/tmp");
    }
}

} // namespace
