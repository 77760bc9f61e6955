// The fault injector: which call fails, how calls are counted, each platform call it guards, and its use
// from several threads at once.
#include "platform/FaultInjection.h"

#include "platform/FileHandle.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <functional>
#include <string>
#include <thread>

namespace {

using platform::FaultInjector;
using platform::FaultMode;
using platform::FaultPoint;
using platform::shouldFail;

constexpr FaultPoint kAllPoints[] = {FaultPoint::Open,      FaultPoint::Read,     FaultPoint::Write,
                                     FaultPoint::Seek,      FaultPoint::Truncate, FaultPoint::Rename,
                                     FaultPoint::CreateTemp};

TEST(FaultInjectionTest, InactiveNeverFails) {
    for (const FaultPoint point : kAllPoints) {
        EXPECT_FALSE(shouldFail(point));
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
    EXPECT_EQ(injector.callCount(FaultPoint::Seek), 0);
}

TEST(FaultInjectionTest, FromThenOnFailsEveryLaterCall) {
    FaultInjector injector(FaultPoint::Seek, 2, FaultMode::FromThenOn);
    EXPECT_FALSE(shouldFail(FaultPoint::Seek));
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(shouldFail(FaultPoint::Seek)) << "call " << i + 2;
    }
    EXPECT_FALSE(shouldFail(FaultPoint::Open));
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

// Each guarded platform call, made once on a fresh file; true when it succeeded.
struct GuardedCall {
    const char* name;
    FaultPoint point;
    std::function<bool(const std::filesystem::path& file)> call;
};

bool withHandle(const std::filesystem::path& file, const std::function<bool(platform::FileHandle&)>& use) {
    auto handle = platform::FileHandle::openForUpdate(file);
    return handle != nullptr && use(*handle);
}

const GuardedCall kGuardedCalls[] = {
    {"openForUpdate", FaultPoint::Open,
     [](const auto& file) { return platform::FileHandle::openForUpdate(file) != nullptr; }},
    {"read", FaultPoint::Read,
     [](const auto& file) {
         return withHandle(file, [](platform::FileHandle& handle) {
             uint8_t byte = 0;
             return handle.read(&byte, 1) == 1u;
         });
     }},
    {"readData", FaultPoint::Read,
     [](const auto& file) {
         return withHandle(file, [](platform::FileHandle& handle) { return handle.readData(4).has_value(); });
     }},
    {"write", FaultPoint::Write,
     [](const auto& file) {
         return withHandle(file, [](platform::FileHandle& handle) {
             const uint8_t byte = 7;
             return handle.write(&byte, 1);
         });
     }},
    {"seek", FaultPoint::Seek,
     [](const auto& file) {
         return withHandle(file, [](platform::FileHandle& handle) { return handle.seek(2); });
     }},
    {"seekToEnd", FaultPoint::Seek,
     [](const auto& file) {
         return withHandle(file, [](platform::FileHandle& handle) { return handle.seekToEnd().has_value(); });
     }},
    {"truncate", FaultPoint::Truncate,
     [](const auto& file) {
         return withHandle(file, [](platform::FileHandle& handle) { return handle.truncate(1); });
     }},
    {"moveItem", FaultPoint::Rename,
     [](const auto& file) { return platform::moveItem(file, file.parent_path() / "moved"); }},
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
            EXPECT_EQ(dir.names(), std::vector<std::string>{"f"});
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
