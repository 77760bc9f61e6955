// SPDX-License-Identifier: GPL-3.0-or-later
// The fault injector: which call fails, how calls are counted, each platform call it guards, and its use
// from several threads at once.
#include "platform/FaultInjection.h"

#include "platform/FileHandle.h"
#include "platform/FileManager.h"
#include "platform/Folder.h"
#include "platform/Lease.h"
#include "platform/Log.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using platform::FaultInjector;
using platform::FaultMode;
using platform::FaultPoint;
using platform::shouldFail;

TEST(FaultInjectionTest, InactiveNeverFails) {
    for (int point = 0; point < platform::kFaultPointCount; ++point) {
        EXPECT_FALSE(shouldFail(static_cast<FaultPoint>(point)));
    }
}

TEST(FaultInjectionTest, OnceFailsOnlyTheNthCallOfItsKind) {
    FaultInjector injector(FaultPoint::Read, 3);
    EXPECT_FALSE(shouldFail(FaultPoint::Write));
    EXPECT_FALSE(shouldFail(FaultPoint::Read));
    EXPECT_FALSE(shouldFail(FaultPoint::Read));
    errno = 0;
    EXPECT_TRUE(shouldFail(FaultPoint::Read));
    EXPECT_EQ(errno, EIO);
    EXPECT_FALSE(shouldFail(FaultPoint::Read));
    EXPECT_EQ(injector.callCount(FaultPoint::Read), 4);
    EXPECT_EQ(injector.callCount(FaultPoint::Write), 1);
    EXPECT_EQ(injector.callCount(FaultPoint::Sync), 0);
}

TEST(FaultInjectionTest, FromThenOnFailsEveryLaterCallWithTheChosenError) {
    FaultInjector injector(FaultPoint::Sync, 2, FaultMode::FromThenOn, ENOSPC);
    EXPECT_FALSE(shouldFail(FaultPoint::Sync));
    for (int i = 0; i < 5; ++i) {
        errno = 0;
        EXPECT_TRUE(shouldFail(FaultPoint::Sync)) << "call " << i + 2;
        EXPECT_EQ(errno, ENOSPC);
    }
    EXPECT_FALSE(shouldFail(FaultPoint::Open));
}

// The log names what each call acted on, so that a test can tell the syncs of two files apart.
TEST(FaultInjectionTest, CallsAreLoggedWithTheirSubjects) {
    testsupport::TempDir dir;
    const auto file = dir.writeFile("f", {1});
    FaultInjector logger(FaultPoint::Open, INT_MAX);
    auto handle = platform::FileHandle::openNoFollow(file, platform::FileHandle::Access::ReadWrite);
    ASSERT_NE(handle, nullptr);
    ASSERT_TRUE(handle->sync());
    ASSERT_TRUE(platform::syncDirectory(dir.path()));
    const auto calls = logger.calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].point, FaultPoint::Open);
    EXPECT_EQ(calls[0].subject, file.string());
    EXPECT_EQ(calls[1].point, FaultPoint::Sync);
    EXPECT_EQ(calls[1].subject, std::filesystem::canonical(file).string()) << "a descriptor's file, by name";
    EXPECT_EQ(calls[2].subject, dir.path().string());
}

// The nth call ends the process on the spot, as a kill would: nothing after it runs.
TEST(FaultInjectionTest, ExitProcessEndsAForkedChildAtTheNthCall) {
    const pid_t child = ::fork();
    if (child == 0) {
        const FaultInjector crash(FaultPoint::Rename, 2, FaultMode::ExitProcess);
        shouldFail(FaultPoint::Rename);
        shouldFail(FaultPoint::Rename);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), platform::kFaultExitStatus);
}

TEST(FaultInjectionTest, CountsStartAtConstructionAndEndWithDestruction) {
    {
        FaultInjector injector(FaultPoint::Open, INT_MAX);
        shouldFail(FaultPoint::Open);
        shouldFail(FaultPoint::Open);
    }
    {
        FaultInjector injector(FaultPoint::Open, 1, FaultMode::FromThenOn);
        EXPECT_EQ(injector.callCount(FaultPoint::Open), 0);
        EXPECT_TRUE(shouldFail(FaultPoint::Open));
    }
    EXPECT_FALSE(shouldFail(FaultPoint::Open));
}

// The hook runs at the nth call only, on the calling thread and without the injector's lock (its own
// guarded calls would deadlock otherwise, and they are counted); the call it stands before then goes on.
TEST(FaultInjectionTest, HookRunsAtTheNthCallWhichThenSucceeds) {
    int runs = 0;
    std::thread::id ranOn;
    FaultInjector injector(FaultPoint::Rename, 2, [&] {
        ++runs;
        ranOn = std::this_thread::get_id();
        EXPECT_FALSE(shouldFail(FaultPoint::Rename));
        EXPECT_FALSE(shouldFail(FaultPoint::Open));
        errno = EBADF;
    });
    EXPECT_FALSE(shouldFail(FaultPoint::Rename));
    EXPECT_EQ(runs, 0);
    errno = 0;
    EXPECT_FALSE(shouldFail(FaultPoint::Rename));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_EQ(errno, 0) << "the hook's errno does not leak into the call";
    EXPECT_FALSE(shouldFail(FaultPoint::Rename));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(injector.callCount(FaultPoint::Rename), 4);
    EXPECT_EQ(injector.callCount(FaultPoint::Open), 1);
}

// What the hook is for: another process's action between an operation's calls. Here a name appears just
// before a no-replace rename, which must then refuse rather than replace it.
TEST(FaultInjectionTest, HookPutsAnotherProcesssActionIntoTheWindow) {
    testsupport::TempDir dir;
    dir.writeFile("from", {1});
    const auto folder = platform::Folder::open(dir.path());
    ASSERT_NE(folder, nullptr);
    const std::string target = (dir.path() / "to").string();
    FaultInjector injector(FaultPoint::Rename, 1, [&] {
        const pid_t child = ::fork();
        if (child == 0) {
            testsupport::writeFile(target, {2});
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
    });
    errno = 0;
    EXPECT_FALSE(folder->renameNoReplace("from", "to"));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(testsupport::readFile(target), std::vector<uint8_t>{2});
}

// Each guarded platform call, made once on a fresh file; true when it succeeded.
struct GuardedCall {
    const char* name;
    FaultPoint point;
    std::function<bool(const std::filesystem::path& file)> call;
};

bool withHandle(const std::filesystem::path& file, const std::function<bool(platform::FileHandle&)>& use) {
    auto handle = platform::FileHandle::openNoFollow(file, platform::FileHandle::Access::ReadWrite);
    return handle != nullptr && use(*handle);
}

bool withFolder(const std::filesystem::path& file, const std::function<bool(platform::Folder&)>& use) {
    auto folder = platform::Folder::open(file.parent_path());
    return folder != nullptr && use(*folder);
}

using platform::FileHandle;

const GuardedCall kGuardedCalls[] = {
    {"openNoFollow", FaultPoint::Open,
     [](const auto& file) {
         return FileHandle::openNoFollow(file, FileHandle::Access::ReadOnly) != nullptr;
     }},
    {"openRegular", FaultPoint::Open,
     [](const auto& file) {
         FileHandle::Refusal refusal = FileHandle::Refusal::None;
         return FileHandle::openRegular(file, FileHandle::Access::ReadWrite, refusal) != nullptr;
     }},
    {"readAt", FaultPoint::Read,
     [](const auto& file) {
         return withHandle(file, [](FileHandle& handle) {
             uint8_t byte = 0;
             return handle.readAt(&byte, 1, 0) == 1u;
         });
     }},
    {"readDataAt", FaultPoint::Read,
     [](const auto& file) {
         return withHandle(file, [](FileHandle& handle) { return handle.readDataAt(0, 4).has_value(); });
     }},
    {"writeAt", FaultPoint::Write,
     [](const auto& file) {
         return withHandle(file, [](FileHandle& handle) {
             const uint8_t byte = 7;
             return handle.writeAt(&byte, 1, 8);
         });
     }},
    {"truncate", FaultPoint::Truncate,
     [](const auto& file) {
         return withHandle(file, [](FileHandle& handle) { return handle.truncate(8); });
     }},
    {"allocate", FaultPoint::Fallocate,
     [](const auto& file) {
         return withHandle(file, [](FileHandle& handle) { return handle.allocate(8); });
     }},
    {"sync", FaultPoint::Sync,
     [](const auto& file) { return withHandle(file, [](FileHandle& handle) { return handle.sync(); }); }},
    {"syncFileSystem", FaultPoint::Sync,
     [](const auto& file) {
         return withHandle(file, [](FileHandle& handle) { return handle.syncFileSystem(); });
     }},
    {"syncDirectory", FaultPoint::Sync,
     [](const auto& file) { return platform::syncDirectory(file.parent_path()); }},
    {"tryLock", FaultPoint::Lock,
     [](const auto& file) {
         return withHandle(
             file, [](FileHandle& handle) { return handle.tryLock() == FileHandle::LockResult::Locked; });
     }},
    {"copyRangeFrom", FaultPoint::CopyFileRange,
     [](const auto& file) {
         testsupport::writeFile(file.parent_path() / "source", testsupport::sampleBytes(8, 2));
         return withHandle(file, [&](FileHandle& handle) {
             auto source =
                 FileHandle::openNoFollow(file.parent_path() / "source", FileHandle::Access::ReadOnly);
             return source && handle.copyRangeFrom(*source, 0, 0, 8);
         });
     }},
    {"moveItem", FaultPoint::Rename,
     [](const auto& file) { return platform::moveItem(file, file.parent_path() / "moved"); }},
    {"removeItem", FaultPoint::Unlink,
     [](const auto& file) {
         testsupport::writeFile(file.parent_path() / "spare", {});
         return !platform::removeItem(file.parent_path() / "spare");
     }},
    {"Folder::openFile", FaultPoint::Open,
     [](const auto& file) {
         FileHandle::Refusal refusal = FileHandle::Refusal::None;
         return withFolder(file, [&](platform::Folder& folder) {
             return folder.openFile("f", FileHandle::Access::ReadWrite, refusal) != nullptr;
         });
     }},
    {"Folder::createFile", FaultPoint::CreateTemp,
     [](const auto& file) {
         return withFolder(file,
                           [](platform::Folder& folder) { return folder.createFile(".t-").has_value(); });
     }},
    {"Folder::createNamedFile", FaultPoint::CreateTemp,
     [](const auto& file) {
         return withFolder(
             file, [](platform::Folder& folder) { return folder.createNamedFile(".t-").has_value(); });
     }},
    {"Folder::link", FaultPoint::Rename,
     [](const auto& file) {
         return withFolder(file, [](platform::Folder& folder) {
             auto created = folder.createFile(".t-");
             return created && folder.link(*created->handle, "linked");
         });
     }},
    {"Folder::renameNoReplace", FaultPoint::Rename,
     [](const auto& file) {
         return withFolder(file,
                           [](platform::Folder& folder) { return folder.renameNoReplace("f", "moved"); });
     }},
    {"Folder::remove", FaultPoint::Unlink,
     [](const auto& file) {
         testsupport::writeFile(file.parent_path() / "spare", {});
         return withFolder(file, [](platform::Folder& folder) { return folder.remove("spare"); });
     }},
    {"Folder::sync", FaultPoint::Sync,
     [](const auto& file) {
         return withFolder(file, [](platform::Folder& folder) { return folder.sync(); });
     }},
    {"takeWriteLease", FaultPoint::Lease,
     [](const auto& file) {
         return withHandle(file, [](FileHandle& handle) {
             return platform::takeWriteLease(handle.descriptor(), std::chrono::milliseconds(0)) ==
                    platform::LeaseResult::Granted;
         });
     }},
};

TEST(FaultInjectionTest, EachGuardedCallFailsWithEioAndThenWorksAgain) {
    for (const GuardedCall& guarded : kGuardedCalls) {
        SCOPED_TRACE(guarded.name);
        testsupport::TempDir dir;
        const auto content = testsupport::sampleBytes(8);
        const auto file = dir.writeFile("f", content);
        {
            FaultInjector injector(guarded.point, 1);
            errno = 0;
            EXPECT_FALSE(guarded.call(file));
            EXPECT_EQ(errno, EIO);
            EXPECT_EQ(injector.callCount(guarded.point), 1);
            EXPECT_FALSE(std::filesystem::exists(dir.path() / "moved"));
            EXPECT_EQ(testsupport::readFile(file), content) << "a failed call changes nothing";
            EXPECT_TRUE(guarded.call(file)) << "only the first call fails";
        }
    }
}

TEST(FaultInjectionTest, InjectorAndLogCaptureServeSeveralThreads) {
    constexpr int kThreads = 4;
    constexpr int kCallsPerThread = 250;
    constexpr int kCalls = kThreads * kCallsPerThread;
    for (const FaultMode mode : {FaultMode::Once, FaultMode::FromThenOn}) {
        constexpr int kNth = 101;
        platform::LogCapture capture;
        FaultInjector injector(FaultPoint::Write, kNth, mode);
        std::atomic<int> failures{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([t, &failures] {
                for (int i = 0; i < kCallsPerThread; ++i) {
                    if (shouldFail(FaultPoint::Write)) {
                        ++failures;
                    }
                    platform::log("thread " + std::to_string(t) + " line " + std::to_string(i));
                }
            });
        }
        for (auto& thread : threads) {
            thread.join();
        }
        EXPECT_EQ(injector.callCount(FaultPoint::Write), kCalls);
        EXPECT_EQ(failures.load(), mode == FaultMode::Once ? 1 : kCalls - kNth + 1);
        const auto lines = capture.lines();
        ASSERT_EQ(lines.size(), static_cast<size_t>(kCalls));
        for (int t = 0; t < kThreads; ++t) {
            const std::string last =
                "thread " + std::to_string(t) + " line " + std::to_string(kCallsPerThread - 1);
            EXPECT_NE(std::find(lines.begin(), lines.end(), last), lines.end()) << last;
        }
    }
}

} // namespace
