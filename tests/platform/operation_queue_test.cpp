// SPDX-License-Identifier: GPL-3.0-or-later
// The operation queue: every operation runs and is destroyed, several at once, in order, and cancellably.
#include "platform/OperationQueue.h"

#include "tests/support/thread_flag.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using platform::Operation;
using platform::OperationQueue;

using testsupport::Flag;
using testsupport::kPatience;

// Runs a given body; counts its own destruction when it happens on the thread that ran main().
class TestOperation : public Operation {
public:
    explicit TestOperation(std::function<void(TestOperation&)> body,
                           std::atomic<int>* destroyedAfterMain = nullptr)
        : m_body(std::move(body)), m_destroyedAfterMain(destroyedAfterMain) {}
    ~TestOperation() override {
        if (m_destroyedAfterMain != nullptr && m_mainThread == std::this_thread::get_id()) {
            ++*m_destroyedAfterMain;
        }
    }
    void main() override {
        m_mainThread = std::this_thread::get_id();
        m_body(*this);
    }

private:
    std::function<void(TestOperation&)> m_body;
    std::atomic<int>* m_destroyedAfterMain;
    std::thread::id m_mainThread;
};

template <class Body>
std::unique_ptr<Operation> operation(Body body, std::atomic<int>* destroyedAfterMain = nullptr) {
    return std::make_unique<TestOperation>(std::move(body), destroyedAfterMain);
}

std::size_t threadsInProcess() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        ++count;
    }
    return count;
}

TEST(OperationQueueTest, RunsEveryOperationAndDestroysItOnItsWorkerAfterMain) {
    constexpr int kOperations = 200;
    std::atomic<int> ran{0};
    std::atomic<int> destroyedAfterMain{0};
    OperationQueue queue;
    for (int i = 0; i < kOperations; ++i) {
        queue.addOperation(operation([&](TestOperation&) { ++ran; }, &destroyedAfterMain));
    }
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(ran, kOperations);
    EXPECT_EQ(destroyedAfterMain, kOperations);
    EXPECT_EQ(queue.operationCount(), 0u);
}

TEST(OperationQueueTest, DefaultPoolRunsAsManyOperationsAtOnceAsTheMachineHasThreads) {
    const std::size_t expected = std::max<std::size_t>(2, std::thread::hardware_concurrency());
    ASSERT_EQ(OperationQueue::defaultThreadCount(), expected);

    // Each operation waits until all of them have started, which only happens if they run at once.
    std::mutex mutex;
    std::condition_variable arrivedChanged;
    std::size_t arrived = 0;
    std::atomic<std::size_t> metAll{0};
    OperationQueue queue;
    for (std::size_t i = 0; i < expected; ++i) {
        queue.addOperation(operation([&](TestOperation&) {
            std::unique_lock lock(mutex);
            ++arrived;
            arrivedChanged.notify_all();
            if (arrivedChanged.wait_for(lock, kPatience, [&] { return arrived == expected; })) {
                ++metAll;
            }
        }));
    }
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(metAll, expected);
}

TEST(OperationQueueTest, StartsNoThreadUntilTheFirstOperationIsAdded) {
    const std::size_t before = threadsInProcess();
    OperationQueue queue(3);
    EXPECT_EQ(threadsInProcess(), before);
    queue.addOperation(operation([](TestOperation&) {}));
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_GE(threadsInProcess(), before + 3);
}

TEST(OperationQueueTest, StartsOperationsInTheOrderAdded) {
    constexpr int kOperations = 20;
    Flag allAdded;
    std::vector<int> order; // touched by the single worker only, read after the wait
    OperationQueue queue(1);
    queue.addOperation(operation([&](TestOperation&) { EXPECT_TRUE(allAdded.waitSet()); }));
    for (int i = 0; i < kOperations; ++i) {
        queue.addOperation(operation([&order, i](TestOperation&) { order.push_back(i); }));
    }
    allAdded.set();
    queue.waitUntilAllOperationsAreFinished();
    ASSERT_EQ(order.size(), static_cast<std::size_t>(kOperations));
    for (int i = 0; i < kOperations; ++i) {
        EXPECT_EQ(order[i], i);
    }
}

TEST(OperationQueueTest, CountsQueuedAndRunningOperationsAndWaitsForThemAll) {
    Flag started;
    Flag release;
    std::atomic<int> ran{0};
    std::atomic<int> destroyedAfterMain{0};
    OperationQueue queue(1);
    queue.addOperation(operation(
        [&](TestOperation&) {
            started.set();
            EXPECT_TRUE(release.waitSet());
            ++ran;
        },
        &destroyedAfterMain));
    queue.addOperation(operation([&](TestOperation&) { ++ran; }, &destroyedAfterMain));
    queue.addOperation(operation([&](TestOperation&) { ++ran; }, &destroyedAfterMain));
    ASSERT_TRUE(started.waitSet());
    EXPECT_EQ(queue.operationCount(), 3u);

    std::jthread releaser([&] { release.set(); });
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(ran, 3);
    EXPECT_EQ(destroyedAfterMain, 3);
    EXPECT_EQ(queue.operationCount(), 0u);
}

TEST(OperationQueueTest, ExceptionEscapingMainDoesNotStopTheQueue) {
    std::atomic<int> destroyedAfterMain{0};
    bool ranAfterThrows = false; // the single worker writes it before the wait returns
    OperationQueue queue(1);
    queue.addOperation(
        operation([](TestOperation&) { throw std::runtime_error("operation failed"); }, &destroyedAfterMain));
    queue.addOperation(operation([](TestOperation&) { throw 42; }, &destroyedAfterMain));
    queue.addOperation(operation([&](TestOperation&) { ranAfterThrows = true; }, &destroyedAfterMain));
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_TRUE(ranAfterThrows);
    EXPECT_EQ(destroyedAfterMain, 3);
}

TEST(OperationQueueTest, DestructorRunsQueuedOperationsToTheirEndThenJoins) {
    constexpr int kQueuedBehind = 10;
    std::atomic<int> ran{0};
    std::atomic<int> destroyedAfterMain{0};
    {
        Flag release;
        OperationQueue queue(1);
        queue.addOperation(operation(
            [&](TestOperation&) {
                EXPECT_TRUE(release.waitSet());
                ++ran;
            },
            &destroyedAfterMain));
        for (int i = 0; i < kQueuedBehind; ++i) {
            queue.addOperation(operation([&](TestOperation&) { ++ran; }, &destroyedAfterMain));
        }
        // The worker is held in the first operation, so the others are all still queued here.
        release.set();
    }
    EXPECT_EQ(ran, kQueuedBehind + 1);
    EXPECT_EQ(destroyedAfterMain, kQueuedBehind + 1);
}

TEST(OperationQueueTest, CancelAllOperationsReachesQueuedAndRunningOnesWhichStillRun) {
    Flag started;
    std::atomic<bool> runningSawCancel{false};
    std::atomic<int> queuedRanCancelled{0};
    std::atomic<bool> laterRanCancelled{true};
    OperationQueue queue(1);
    queue.addOperation(operation([&](TestOperation& self) {
        started.set();
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (!self.isCancelled() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        runningSawCancel = self.isCancelled();
    }));
    for (int i = 0; i < 2; ++i) {
        queue.addOperation(operation([&](TestOperation& self) {
            if (self.isCancelled()) {
                ++queuedRanCancelled;
            }
        }));
    }
    ASSERT_TRUE(started.waitSet());
    queue.cancelAllOperations();
    queue.addOperation(operation([&](TestOperation& self) { laterRanCancelled = self.isCancelled(); }));
    queue.waitUntilAllOperationsAreFinished();

    EXPECT_TRUE(runningSawCancel);
    EXPECT_EQ(queuedRanCancelled, 2);
    EXPECT_FALSE(laterRanCancelled);
}

TEST(OperationQueueTest, OperationsMayAddFurtherOperationsToTheirOwnQueue) {
    std::atomic<int> ran{0};
    OperationQueue queue(2);
    queue.addOperation(operation([&](TestOperation&) {
        ++ran;
        queue.addOperation(operation([&](TestOperation&) { ++ran; }));
    }));
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(ran, 2);
}

} // namespace
