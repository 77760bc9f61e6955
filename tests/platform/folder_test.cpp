// SPDX-License-Identifier: GPL-3.0-or-later
// Folder: unnamed files that appear only when linked, no-replace renames with and without RENAME_NOREPLACE,
// regular-file opens relative to the folder, listings with hidden entries, close-on-exec descriptors.
#include "platform/Folder.h"

#include "platform/FileManager.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using platform::FileHandle;
using platform::Folder;
using testsupport::readFile;
using testsupport::sampleBytes;

bool closeOnExec(int fd) {
    const int flags = ::fcntl(fd, F_GETFD);
    return flags != -1 && (flags & FD_CLOEXEC) != 0;
}

mode_t permissions(int fd) {
    struct stat info {};
    EXPECT_EQ(::fstat(fd, &info), 0);
    return info.st_mode & 07777;
}

std::unique_ptr<Folder> openFolder(const testsupport::TempDir& dir) {
    auto folder = Folder::open(dir.path());
    EXPECT_NE(folder, nullptr);
    return folder;
}

TEST(FolderTest, OpensOnlyFoldersAndNoLinkAtTheEnd) {
    testsupport::TempDir dir;
    std::filesystem::create_directory(dir.path() / "sub");
    std::filesystem::create_directory_symlink(dir.path() / "sub", dir.path() / "link");
    const auto file = dir.writeFile("f", {});

    const auto folder = Folder::open(dir.path() / "sub");
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->path(), dir.path() / "sub");
    EXPECT_TRUE(closeOnExec(folder->descriptor()));
    ASSERT_TRUE(folder->status().has_value());
    EXPECT_TRUE(S_ISDIR(folder->status()->mode));
    EXPECT_NE(Folder::open(dir.path() / "link" / "."), nullptr) << "a link earlier in the path is followed";
    // With O_DIRECTORY the kernel reports a link at the end as no folder rather than as a loop.
    for (const auto& notFolder : {dir.path() / "link", file}) {
        SCOPED_TRACE(notFolder.string());
        errno = 0;
        EXPECT_EQ(Folder::open(notFolder), nullptr);
        EXPECT_EQ(errno, ENOTDIR);
    }
}

// Nothing in the folder shows the file until it is linked, and a link never replaces a name.
TEST(FolderTest, AnUnnamedFileAppearsOnlyWhenLinkedAndNeverReplaces) {
    testsupport::TempDir dir;
    const auto folder = openFolder(dir);
    auto created = folder->createFile(".j-");
    ASSERT_TRUE(created.has_value());
    if (!created->name.empty()) {
        GTEST_SKIP() << "no O_TMPFILE on " << dir.path();
    }
    FileHandle& handle = *created->handle;
    EXPECT_TRUE(closeOnExec(handle.descriptor()));
    EXPECT_EQ(permissions(handle.descriptor()), 0600u);
    const auto content = sampleBytes(100);
    ASSERT_TRUE(handle.writeAt(content.data(), content.size(), 0));
    EXPECT_EQ(dir.names(), std::vector<std::string>{});

    ASSERT_TRUE(folder->link(handle, "a"));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"a"});
    EXPECT_EQ(readFile(dir.path() / "a"), content);

    auto other = folder->createFile(".j-");
    ASSERT_TRUE(other.has_value());
    errno = 0;
    EXPECT_FALSE(folder->link(*other->handle, "a"));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(readFile(dir.path() / "a"), content);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"a"});
}

// The fallback of file systems without O_TMPFILE, called directly.
TEST(FolderTest, NamedFilesAreNewPrivateAndRandomlyNamed) {
    testsupport::TempDir dir;
    const auto folder = openFolder(dir);
    const std::string prefix = ".j-";
    std::vector<std::string> names;
    for (int i = 0; i < 2; ++i) {
        auto created = folder->createNamedFile(prefix);
        ASSERT_TRUE(created.has_value());
        const std::string& name = created->name;
        ASSERT_EQ(name.size(), prefix.size() + 12) << name;
        EXPECT_TRUE(name.starts_with(prefix));
        EXPECT_TRUE(std::all_of(name.begin() + 3, name.end(), [](char c) { return std::isalnum(c) != 0; }))
            << name;
        EXPECT_TRUE(closeOnExec(created->handle->descriptor()));
        EXPECT_EQ(permissions(created->handle->descriptor()), 0600u);
        EXPECT_EQ(std::filesystem::file_size(dir.path() / name), 0u);
        names.push_back(name);
    }
    EXPECT_NE(names[0], names[1]);
    errno = 0;
    EXPECT_FALSE(folder->createNamedFile("sub/x").has_value());
    EXPECT_EQ(errno, EINVAL);
}

// Only a regular file is opened for I/O, and a FIFO is refused without waiting for a writer.
TEST(FolderTest, OpenFileOpensOnlyRegularFilesAndFollowsNoLink) {
    testsupport::TempDir dir;
    const auto content = sampleBytes(50);
    const auto file = dir.writeFile("f", content);
    std::filesystem::create_symlink(file, dir.path() / "link");
    ASSERT_EQ(::mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.path() / "sub");
    dir.writeFile("sub/inner", {});
    const auto folder = openFolder(dir);
    struct Case {
        const char* name;
        FileHandle::Refusal refusal;
        int error;
    };
    const Case cases[] = {
        {"f", FileHandle::Refusal::None, 0},
        {"link", FileHandle::Refusal::SymbolicLink, 0},
        {"fifo", FileHandle::Refusal::NotRegularFile, 0},
        {"sub", FileHandle::Refusal::NotRegularFile, 0},
        {"missing", FileHandle::Refusal::SystemError, ENOENT},
        {"sub/inner", FileHandle::Refusal::SystemError, EINVAL},
        {"", FileHandle::Refusal::SystemError, EINVAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FileHandle::Refusal refusal = FileHandle::Refusal::None;
        errno = 0;
        const auto handle = folder->openFile(c.name, FileHandle::Access::ReadWrite, refusal);
        EXPECT_EQ(refusal, c.refusal);
        ASSERT_EQ(handle != nullptr, c.refusal == FileHandle::Refusal::None);
        if (handle) {
            EXPECT_TRUE(closeOnExec(handle->descriptor()));
            EXPECT_EQ(handle->readDataAt(0, 100), content);
        }
        if (c.error != 0) {
            EXPECT_EQ(errno, c.error);
        }
    }
}

TEST(FolderTest, RenameNoReplaceRenamesAndNeverReplaces) {
    testsupport::TempDir dir;
    const auto a = sampleBytes(10, 1);
    const auto b = sampleBytes(10, 2);
    dir.writeFile("a", a);
    dir.writeFile("b", b);
    std::filesystem::create_symlink(dir.path() / "gone", dir.path() / "dangling");
    const auto folder = openFolder(dir);
    struct Case {
        const char* from;
        const char* to;
        int error;
    };
    const Case cases[] = {
        {"a", "b", EEXIST},       {"a", "dangling", EEXIST}, {"a", "a", EEXIST},
        {"missing", "c", ENOENT}, {"a", "sub/c", EINVAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
        errno = 0;
        EXPECT_FALSE(folder->renameNoReplace(c.from, c.to));
        EXPECT_EQ(errno, c.error);
    }
    EXPECT_EQ(readFile(dir.path() / "a"), a);
    EXPECT_EQ(readFile(dir.path() / "b"), b);
    ASSERT_TRUE(folder->renameNoReplace("a", "c"));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"b", "c", "dangling"}));
    EXPECT_EQ(readFile(dir.path() / "c"), a);
}

// The rename of file systems without RENAME_NOREPLACE, called directly, here across two folders as
// moveItem() does.
TEST(FolderTest, RenameUnderFolderLockChecksFirstAndNeverReplaces) {
    testsupport::TempDir dir;
    std::filesystem::create_directory(dir.path() / "to");
    const auto content = sampleBytes(10, 1);
    dir.writeFile("from", content);
    dir.writeFile("to/taken", {9});
    std::filesystem::create_symlink(dir.path() / "gone", dir.path() / "to" / "dangling");
    const auto from = openFolder(dir);
    const auto to = Folder::open(dir.path() / "to");
    ASSERT_NE(to, nullptr);
    for (const char* taken : {"taken", "dangling"}) {
        SCOPED_TRACE(taken);
        errno = 0;
        EXPECT_FALSE(platform::renameUnderFolderLock(from->descriptor(), "from", to->descriptor(), taken));
        EXPECT_EQ(errno, EEXIST);
    }
    EXPECT_EQ(readFile(dir.path() / "to" / "taken"), std::vector<uint8_t>{9});
    ASSERT_TRUE(platform::renameUnderFolderLock(from->descriptor(), "from", to->descriptor(), "new"));
    EXPECT_EQ(readFile(dir.path() / "to" / "new"), content);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "from"));
}

// The folder's lock is held through its descriptor: the rename waits for it although it is given that
// same descriptor. If it did not wait, the name would show before the release (and the check below
// fails); if it waits, nothing here depends on timing.
TEST(FolderTest, RenameUnderFolderLockWaitsForTheFoldersLock) {
    testsupport::TempDir dir;
    dir.writeFile("from", {1});
    const auto folder = openFolder(dir);
    ASSERT_EQ(::flock(folder->descriptor(), LOCK_EX), 0);
    const int fd = folder->descriptor();
    std::thread renamer([fd] { EXPECT_TRUE(platform::renameUnderFolderLock(fd, "from", fd, "to")); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "to")) << "renamed while the folder was locked";
    ASSERT_EQ(::flock(folder->descriptor(), LOCK_UN), 0);
    renamer.join();
    EXPECT_EQ(dir.names(), std::vector<std::string>{"to"});
}

TEST(FolderTest, NamesStartingWithSeesHiddenEntriesAndSorts) {
    testsupport::TempDir dir;
    for (const char* name : {".j-b", "j-c", ".j-a", ".other", "plain"}) {
        dir.writeFile(name, {});
    }
    std::filesystem::create_directory(dir.path() / ".j-dir");
    const auto folder = openFolder(dir);
    EXPECT_EQ(folder->namesStartingWith(".j-"), (std::vector<std::string>{".j-a", ".j-b", ".j-dir"}));
    EXPECT_EQ(folder->namesStartingWith(""),
              (std::vector<std::string>{".j-a", ".j-b", ".j-dir", ".other", "j-c", "plain"}));
    EXPECT_EQ(folder->namesStartingWith("none"), std::vector<std::string>{});
    EXPECT_EQ(folder->namesStartingWith(".j-"), folder->namesStartingWith(".j-")) << "a second listing";
}

TEST(FolderTest, StatusOfDescribesLinksAndRemoveAndSyncWork) {
    testsupport::TempDir dir;
    dir.writeFile("f", sampleBytes(7));
    std::filesystem::create_symlink(dir.path() / "f", dir.path() / "link");
    const auto folder = openFolder(dir);
    const auto file = folder->statusOf("f");
    ASSERT_TRUE(file.has_value());
    EXPECT_TRUE(file->isRegularFile());
    EXPECT_EQ(file->length, 7u);
    const auto link = folder->statusOf("link");
    ASSERT_TRUE(link.has_value());
    EXPECT_TRUE(S_ISLNK(link->mode));
    EXPECT_EQ(folder->statusOf("missing"), std::nullopt);

    ASSERT_TRUE(folder->remove("link"));
    errno = 0;
    EXPECT_FALSE(folder->remove("link"));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_TRUE(folder->sync());
    EXPECT_EQ(dir.names(), std::vector<std::string>{"f"});
}

// The change time is statx's, not the modification time, and moves with a change to the inode alone.
TEST(FolderTest, StatusReportsTheChangeTime) {
    testsupport::TempDir dir;
    const auto path = dir.writeFile("f", {});
    const struct timespec past[2] = {{1'000'000, 0}, {1'000'000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), past, 0), 0);
    const auto folder = openFolder(dir);
    const auto before = folder->statusOf("f");
    ASSERT_TRUE(before.has_value());
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(before->changedNanoseconds, info.st_ctim.tv_sec * 1'000'000'000LL + info.st_ctim.tv_nsec);
    EXPECT_EQ(before->modifiedNanoseconds, 1'000'000 * 1'000'000'000LL);

    // Kernels without fine-grained change times may give the chmod the same clock tick: wait for the
    // next one rather than assert on timing.
    std::optional<platform::FileStatus> after;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        ASSERT_EQ(::chmod(path.c_str(), attempt % 2 == 0 ? 0640 : 0600), 0);
        after = folder->statusOf("f");
        ASSERT_TRUE(after.has_value());
        if (after->changedNanoseconds != before->changedNanoseconds) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GT(after->changedNanoseconds, before->changedNanoseconds);
    EXPECT_EQ(after->modifiedNanoseconds, before->modifiedNanoseconds);
}

} // namespace

TEST(FolderTest, MissingFoldersAreMadeOwnerOnlyWithoutFollowingLinks) {
    testsupport::TempDir dir;
    const mode_t saved = ::umask(0);
    auto made = Folder::openMakingMissing(dir.path() / "a" / "b" / "c" / "");
    ::umask(saved);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->path(), dir.path() / "a" / "b" / "c");
    for (const auto& folder : {dir.path() / "a", dir.path() / "a" / "b", dir.path() / "a" / "b" / "c"}) {
        struct stat info {};
        ASSERT_EQ(::stat(folder.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0700u) << folder;
    }

    // A folder that is there keeps its mode; a link, a file and a taken name in the way are refused.
    std::filesystem::create_directory(dir.path() / "open");
    ::chmod((dir.path() / "open").c_str(), 0755);
    const auto parent = openFolder(dir);
    const auto existing = parent->makeFolder("open");
    ASSERT_NE(existing, nullptr);
    EXPECT_EQ(permissions(existing->descriptor()), 0755u);
    std::filesystem::create_directory_symlink(dir.path() / "open", dir.path() / "link");
    dir.writeFile("file", {1});
    for (const char* name : {"link", "file"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(parent->makeFolder(name), nullptr);
    }
    EXPECT_EQ(Folder::openMakingMissing(dir.path() / "link" / "inside"), nullptr);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "open" / "inside"));
}
