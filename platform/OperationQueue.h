// SPDX-License-Identifier: GPL-3.0-or-later
// Runs operations on a pool of worker threads, several at once, in the order they were added.
#pragma once

#include "platform/Operation.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

class OperationQueue {
public:
    // The default setting: one worker per hardware thread the machine reports, and at least 2, so that
    // operations run at the same time even where the machine reports a single thread or none.
    static std::size_t defaultThreadCount();

    // No thread is started until the first operation is added; a queue that never runs anything costs
    // none. `threadCount` of 0 counts as 1.
    explicit OperationQueue(std::size_t threadCount = defaultThreadCount());
    // Lets every operation already added run to its end, then joins all workers. Must not run on one of
    // this queue's own workers (from inside one of its operations).
    ~OperationQueue();
    OperationQueue(const OperationQueue&) = delete;
    OperationQueue& operator=(const OperationQueue&) = delete;

    // The queue owns `operation` from now on. Operations start in the order they were added, each on a
    // worker thread, as soon as one is free; each is destroyed on its worker right after its main()
    // returns. An exception escaping main() is swallowed so that the worker and the queue go on:
    // operations are expected to catch their own. May be called from inside a running operation.
    // A null operation is ignored. If not even one worker thread can be started, std::system_error
    // propagates and nothing is queued.
    void addOperation(std::unique_ptr<Operation> operation);

    // Asks every queued and running operation to stop (Operation::cancel()); each still runs its main(),
    // which decides what to skip. Operations added afterwards are not affected.
    void cancelAllOperations();

    // Blocks until every operation added so far, and any added meanwhile, has run and been destroyed.
    // Must not be called from inside one of this queue's operations (it would wait for itself).
    void waitUntilAllOperationsAreFinished();

    // Operations queued, running, or being destroyed after running.
    std::size_t operationCount() const;

private:
    void startWorkers();
    void workerLoop();

    const std::size_t m_threadCount;

    mutable std::mutex m_mutex;
    std::condition_variable m_workAvailable;
    std::condition_variable m_allFinished;
    std::deque<std::unique_ptr<Operation>> m_queued;
    std::vector<Operation*> m_running; // not owned: each worker owns the operation it runs
    std::size_t m_unfinished = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};

} // namespace platform
